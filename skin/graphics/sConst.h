#pragma once
// The skinning library's shared small types, the tab side names, and the
// values prepared once at start: the Windows version code, five cached
// system metrics and 32 captions in the user's language.
//
// The values are read-only after InitializeConstants, which the library's
// start-up calls once before any skinned window exists (Windows only; on
// other systems the values keep their defaults: empty captions and zeros).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/StringList.h"
#include "vcl/System.h"
#include "vcl/Types.h"

namespace skin {

enum TvlOuterVisibility { ovNone, ovAlways };
enum TvlAnimType { atFading, atAero };
enum TvlBtnEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TvlBtnEvents = vcl::TSet<TvlBtnEvent>;
enum TvlOptimizingPriority { opSpeed, opMemory };

using TStringLists = std::vector<std::unique_ptr<vcl::TStringList>>;  // owns its lists
using TRects = std::vector<vcl::TRect>;
using TAOR = std::vector<vcl::TRect>;  // the pieces of a window region
// TsGradArray, the gradient stops, is declared with the gradients (vlGradients.h).

// Appended to a section name ("PAGECONTROL") to find the section for tabs on
// that side: top, bottom, left, right. Top has no suffix.
inline constexpr std::array<std::string_view, 4> TabSideNames{"", "BOTTOM", "LEFT", "RIGHT"};

// Identifiers of the program's own string table (sConst.rc): fallbacks of
// the captions and four texts of the skin dialogs.
inline constexpr unsigned sidRoot = 65308;
inline constexpr unsigned sidDirectoryWithSkins = 65309;
inline constexpr unsigned sidSelectSkin = 65310;
inline constexpr unsigned sidSkinPreview = 65311;

// 8 for Windows 6.2, else the major version number.
int WindowsVersionCodeOf(int Major, int Minor);

// Prepared by InitializeConstants.
extern int WindowsVersionCode;
extern int CachedHScrollArrowWidth;   // SM_CXHSCROLL
extern int CachedSizeFrameWidth;      // SM_CXSIZEFRAME
extern int CachedFixedFrameWidth;     // SM_CXFIXEDFRAME
extern int CachedCaptionHeight;       // SM_CYCAPTION
extern int CachedSmallCaptionHeight;  // SM_CYSMCAPTION

// Captions in the user's language (UTF-8). A caption whose system library
// is missing stays empty; one that the library lacks gets its fallback.
extern std::string LocOK, LocCancel, LocHelp, LocClose;
extern std::string LocAddToCustomColors;
extern std::string LocDefineColors, LocAdditionalColors, LocDecimal, LocRoot, LocCreate;
extern std::string LocRestore, LocSize, LocMove, LocMaximize, LocMinimize;
extern std::string LocCalculator;
extern std::string LocFileOpen, LocSelectDirectory, LocRed, LocGreen, LocBlue;
extern std::string LocColor, LocHex;
extern std::string LocFont, LocFontColor;
extern std::string LocInvalidDate, LocAvailableStyles, LocInternal;
extern std::string LocDirectoryWithSkins, LocSelectSkin, LocSkinPreview;
extern std::string LocFrameAdapterError;

#ifdef _WIN32
// Prepares the values above, once; later calls do nothing.
void InitializeConstants();

// Library is a module handle (HMODULE) or null for a library that could not
// be loaded, which leaves Caption unchanged. Otherwise Caption := string Id
// of the library followed by Suffix; when the library has no such string,
// Caption := the program's own string FallbackId (no suffix), unless
// FallbackId is 0.
void LoadDllString(std::string &Caption, void *Library, unsigned Id, std::string_view Suffix, unsigned FallbackId);
// The same with a fallback text.
void LoadDllStringDef(std::string &Caption, void *Library, unsigned Id, std::string_view Suffix,
                      std::string_view Fallback);
// String Id of the program's own string table; empty when there is none.
std::string LoadOwnString(unsigned Id);
#endif

} // namespace skin
