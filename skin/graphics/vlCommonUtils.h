#pragma once
// Small routines that every part of the skinning library calls: the
// ini-style reader over string lists (the options text of a skin), word and
// character-set helpers, geometry builders, the record of what lies behind a
// painted piece, published properties by name, and folder helpers. The
// routines of the second half speak to Windows (metrics, registry, message
// boxes, process probes, files).
//
// Strings are UTF-8; the word and set helpers work on bytes.
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>

#include <memory>

#include "vcl/GdiObjects.h"
#include "vcl/Icon.h"
#include "vcl/Messages.h"
#endif

#include "vcl/StringList.h"
#include "vcl/SysUtils.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TControl;
class TGraphic;
}

namespace skin {

// A set of byte values (the delimiters of the word helpers).
class TCharSet {
public:
    TCharSet() = default;
    // The set of the bytes of Chars.
    TCharSet(std::string_view Chars);
    bool Contains(char C) const { return FBits.test(static_cast<unsigned char>(C)); }
    TCharSet &Include(char C);

private:
    std::bitset<256> FBits;
};

// What lies behind a painted piece: an image and the piece's place in it, or
// a colour.
struct TvlBgInfo {
    vcl::TBitmap *Bmp = nullptr;        // not owned: the image behind
    std::int32_t X = 0;                 // where the piece lies in Bmp
    std::int32_t Y = 0;
    vcl::TColor Color = vcl::clFuchsia; // used without an image; 0xFF00FF means none
    vcl::TRect R;
    bool UseBmp = false;                // true: Bmp is to be used; false: Color
};

// Bmp, X, Y, colour none, an empty R, UseBmp true.
void InitBgInfo(vcl::TBitmap *Bmp, int X, int Y, TvlBgInfo &Info);

// Ini-style text: one string list per section.
//
// Clears Sections and fills it with one entry per "[name]" line of Lines,
// whose object is a new list of the section's lines (Sections is made to
// own them, and frees them when it is cleared or freed). Empty lines and lines starting with ";" are skipped; lines
// before the first header are dropped; nothing is trimmed.
void SplitIniSections(const vcl::TStrings &Lines, vcl::TStringList &Sections);
// The text after "Key=" in the section, or Default when the section or the
// key is missing. Section and key are found without regard to case.
std::string ReadIniString(const vcl::TStringList &Sections, std::string_view Section, std::string_view Key,
                          const std::string &Default);
// The same read as an integer: decimal, "$" hexadecimal or "0x" hexadecimal;
// Default for a missing or malformed value.
int ReadIniInteger(const vcl::TStringList &Sections, std::string_view Section, std::string_view Key, int Default);

// Choices and numbers.
inline std::string IfThenStr(bool Condition, const std::string &A, const std::string &B) { return Condition ? A : B; }
inline int IfThenInt(bool Condition, int A, int B) { return Condition ? A : B; }
// Min <= Value <= Max; with Swap and Min >= Max, Max <= Value <= Min.
bool IsBetween(int Value, int Min, int Max, bool Swap);
inline int MaxOf(int A, int B) { return A > B ? A : B; }
// Min when Value < Min, else Max when Value > Max (Min is tested first).
int LimitTo(int Value, int Min, int Max);
void SwapInts(int &A, int &B);

// Geometry. Note MakeRect's order: width and height first, so that
// MakeRect(W, H, 0, 0) is the W x H area at the origin.
inline vcl::TRect MakeRect(int Right, int Bottom, int Left, int Top) { return {Left, Top, Right, Bottom}; }
inline vcl::TPoint MakePoint(int X, int Y) { return {X, Y}; }
inline vcl::TSize MakeSize(int cx, int cy) { return {cx, cy}; }
inline vcl::TRect SizeRect(const vcl::TSize &Size) { return {0, 0, Size.cx, Size.cy}; }
// Right - Left and Bottom - Top; 0 instead of a negative value with NonNegative.
int WidthOf(const vcl::TRect &R, bool NonNegative);
int HeightOf(const vcl::TRect &R, bool NonNegative);
inline vcl::TSize RectSize(const vcl::TRect &R) { return {WidthOf(R, true), HeightOf(R, true)}; }
// The two overlap (strict comparisons) and R2 is not empty.
bool RectsIntersect(const vcl::TRect &R1, const vcl::TRect &R2);
// R := the larger Left and Top, the smaller Right and Bottom (may be empty).
void IntersectRects(const vcl::TRect &R1, const vcl::TRect &R2, vcl::TRect &R);

// Words: maximal runs of bytes outside Delimiters. (The range-checked
// variants that some callers name are these: every set test here is safe.)
bool IsCharInSet(char C, const TCharSet &Set);
// 1-based position of word N's first byte; 0 when N < 1 or there is no word N.
int NthWordPos(int N, std::string_view S, const TCharSet &Delimiters);
// Word N; empty when there is none.
std::string ExtractNthWord(int N, std::string_view S, const TCharSet &Delimiters);
int CountWords(std::string_view S, const TCharSet &Delimiters);

// S without any occurrence of C.
std::string DeleteChars(std::string_view S, char C);
// Every occurrence of OldPattern (case-sensitive, left to right, without
// overlap; replaced text is not searched again) replaced by NewPattern. An
// empty OldPattern changes nothing.
std::string ReplaceAll(std::string_view S, std::string_view OldPattern, std::string_view NewPattern);

// Folders: a name ending in "\" stays; a final "/" becomes "\"; a single
// character (a drive letter) gets ":\"; anything else gets "\"; empty stays empty.
std::string NormalizeDir(std::string_view S);
inline bool DirExists(const std::string &Path) { return vcl::DirectoryExists(Path); }
inline int FindFirstEntry(const std::string &Path, int Attr, vcl::TSearchRec &Rec) {
    return vcl::FindFirst(Path, Attr, Rec);
}
inline int FindNextEntry(vcl::TSearchRec &Rec) { return vcl::FindNext(Rec); }
inline void FindCloseSearch(vcl::TSearchRec &Rec) { vcl::FindClose(Rec); }

// Published properties by name, for controls of other libraries whose
// classes the skin cannot know. Each is silent when the object (which may
// be null) publishes no property of that name or kind.
bool HasProperty(const vcl::TObject *Obj, std::string_view Name);
// The object held by an object-typed property; null without one.
vcl::TObject *GetObjectProperty(const vcl::TObject *Obj, std::string_view Name);
// Whether the set property holds the element of that name (case-sensitive).
bool SetPropertyHas(const vcl::TObject *Obj, std::string_view SetName, std::string_view ElementName);
// Adds the element to the set property or removes it. A name that is not
// an element of the set's type changes nothing.
void ChangeSetProperty(vcl::TObject *Obj, std::string_view SetName, std::string_view ElementName, bool Include);
// The value of an ordinal property (a colour, an enumeration, a set's bits); -1 without one.
std::int64_t GetOrdProperty(const vcl::TObject *Obj, std::string_view Name);
// Sets an ordinal property that exists and can be written.
void SetOrdProperty(vcl::TObject *Obj, std::string_view Name, std::int64_t Value);

#ifdef _WIN32
// A library of the system folder, loaded by its full path so that a DLL of
// the same name next to the program is never picked up, and freed with this
// object. Flags as LoadLibraryExW takes them (LOAD_LIBRARY_AS_DATAFILE when
// only its resources are wanted). Handle() is null when it did not load.
class TSystemLibrary {
public:
    explicit TSystemLibrary(const wchar_t *Name, DWORD Flags = 0);
    TSystemLibrary(const TSystemLibrary &) = delete;
    TSystemLibrary &operator=(const TSystemLibrary &) = delete;
    ~TSystemLibrary();

    HMODULE Handle() const { return FModule; }
    // The export of that name, or null.
    FARPROC Proc(const char *Name) const { return FModule ? GetProcAddress(FModule, Name) : nullptr; }

private:
    HMODULE FModule = nullptr;
};

// System metrics and settings.
// lfHeight of the system caption font; 0 when the system does not say.
int CaptionFontHeight();
// A font of the system caption font's description; empty when the system does not say.
vcl::TFontHandle CreateCaptionFont();
// Whether windows animate when they shrink to and grow from the taskbar;
// false when the system does not say.
bool GetMinAnimation();
// Switches that animation for this session (not saved); answers the call's success.
bool SetMinAnimation(bool On);
// Puts a setting of its own in the system's place for its lifetime (On, at
// first off): Wine keeps none, so a test reads and writes this one. UI
// thread only.
class TMinAnimationOverride {
public:
    TMinAnimationOverride();
    ~TMinAnimationOverride();
    TMinAnimationOverride(const TMinAnimationOverride &) = delete;
    TMinAnimationOverride &operator=(const TMinAnimationOverride &) = delete;

    bool On = false;

private:
    TMinAnimationOverride *FReplaced;
};

// The integer value Name of Root\Key. Raises vcl::ERegistryException when the
// key does not open, the value is missing or it is not an integer.
int ReadRegistryInteger(HKEY Root, const std::string &Key, const std::string &Name);

inline vcl::TMessage MakeMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT Result) {
    return {Msg, WParam, LParam, Result};
}

// (0, 0, Width, Height) of a graphic or a control; their size; a control's place.
vcl::TRect GraphicRect(const vcl::TGraphic &Graphic);
vcl::TSize GraphicSize(const vcl::TGraphic &Graphic);
vcl::TRect ControlRect(const vcl::TControl &Control);
vcl::TPoint ControlPos(const vcl::TControl &Control);

// The class library's message box with one OK button.
void ShowWarning(const std::string &Text);
void ShowError(const std::string &Text);
// Keeps the application's messages flowing for Milliseconds (by the tick
// count, so that its wrap after 49.7 days does no harm).
void WaitWithMessages(unsigned Milliseconds);

// Process probes, bound on first use.
// True under a debugger, and also when the system cannot tell.
bool DebuggerAttached();
// True when this 32-bit process runs on 64-bit Windows.
bool RunningUnderWow64();
// True when the desktop window manager composes the screen (Windows 6 and later).
bool DwmCompositionActive();
// RunningUnderWow64 and no composition, as found on first use: the skinned
// dialog frames need a different path then.
bool Wow64WithoutComposition();

// The folder of the program's own file, with its trailing backslash.
std::string AppFolder();
// The shell's icon of an existing file (Flags: SHGFI_ values, SHGFI_ICON is
// added); null when the file is missing or the shell gives no icon.
std::unique_ptr<vcl::TIcon> GetFileIcon(const std::string &FileName, UINT Flags);
#endif

} // namespace skin
