#include "sSysColors.h"

#include <cstdint>
#include <cstring>
#include <map>

#include "sSkinManager.h"
#include "skin/graphics/vlImageHelpers.h"
#include "vcl/GdiObjects.h"

namespace skin {

namespace {

// One patched function: where its entry is, what its padding held, and the
// real function to call (entry + 2, past the prologue).
struct THotPatch {
    void *Entry = nullptr;
    std::uint8_t SavedPad[5] = {};
    bool Patched = false;
};

THotPatch GetSysColorPatch, GetSysColorBrushPatch, CreatePenPatch;

constexpr std::uint8_t MovEdiEdi[2] = {0x8B, 0xFF};
constexpr std::uint8_t JumpBack[2] = {0xEB, 0xF9};  // jmp short -7: into the padding

bool IsPadding(std::uint8_t b) { return b == 0x90 || b == 0xCC; }

// Writes Bytes at Where in our own code, the protection opened around it.
bool WriteCode(void *Where, const void *Bytes, std::size_t Count, bool Atomic16) {
    DWORD old = 0;
    if (!VirtualProtect(Where, Count, PAGE_EXECUTE_READWRITE, &old)) return false;
    if (Atomic16) {
        // The entry changes in one store: a thread reaches either prologue
        // or jump, never a mix.
        std::uint16_t value;
        std::memcpy(&value, Bytes, 2);
        __atomic_store_n(static_cast<std::uint16_t *>(Where), value, __ATOMIC_SEQ_CST);
    } else {
        std::memcpy(Where, Bytes, Count);
    }
    DWORD ignored = 0;
    VirtualProtect(Where, Count, old, &ignored);
    FlushInstructionCache(GetCurrentProcess(), Where, Count);
    return true;
}

bool Install(THotPatch &Patch, void *Function, void *Replacement) {
    if (Patch.Patched) return true;
#if defined(__i386__)
    auto *entry = static_cast<std::uint8_t *>(ResolveApiEntry(Function));
    if (!entry || std::memcmp(entry, MovEdiEdi, 2) != 0) return false;
    std::uint8_t *pad = entry - 5;
    for (int i = 0; i < 5; ++i)
        if (!IsPadding(pad[i])) return false;
    std::memcpy(Patch.SavedPad, pad, 5);
    std::uint8_t jump[5] = {0xE9};
    const auto displacement = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(Replacement) -
                                                        reinterpret_cast<std::intptr_t>(entry));
    std::memcpy(jump + 1, &displacement, 4);
    if (!WriteCode(pad, jump, 5, false)) return false;
    if (!WriteCode(entry, JumpBack, 2, true)) {
        WriteCode(pad, Patch.SavedPad, 5, false);
        return false;
    }
    Patch.Entry = entry;
    Patch.Patched = true;
    return true;
#else
    (void)Function;
    (void)Replacement;
    return false;
#endif
}

void Remove(THotPatch &Patch) {
    if (!Patch.Patched) return;
    WriteCode(Patch.Entry, MovEdiEdi, 2, true);
    WriteCode(static_cast<std::uint8_t *>(Patch.Entry) - 5, Patch.SavedPad, 5, false);
    Patch.Patched = false;
}

// The real function of a patch: its body after the two-byte prologue.
template <class F> F Real(const THotPatch &Patch, F Unpatched) {
    if (!Patch.Patched) return Unpatched;
    return reinterpret_cast<F>(static_cast<std::uint8_t *>(Patch.Entry) + 2);
}

void *UserProc(const char *Name) { return reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32.dll"), Name)); }
void *GdiProc(const char *Name) { return reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"gdi32.dll"), Name)); }

// The manager whose colours the replacements answer; null while none has
// an applied skin.
const TsSkinManager *SkinColorSource() {
    const TsSkinManager *m = DefaultManager();
    return m && m->SkinData && m->SkinData->Active ? m : nullptr;
}

vcl::TColor Shadow(const TsSkinManager &M) { return MixColors(M.SkinColors[scGlobalColor], 0, 0.8); }
vcl::TColor Light(const TsSkinManager &M) { return MixColors(M.SkinColors[scGlobalColor], 0xFFFFFF, 0.8); }

// The brushes handed out for skin colours: one per colour, kept until the
// patch comes off, since callers of GetSysColorBrush never free them.
std::map<COLORREF, vcl::TBrushHandle> &SkinBrushes() {
    static std::map<COLORREF, vcl::TBrushHandle> brushes;
    return brushes;
}

HBRUSH SkinBrush(vcl::TColor Color) {
    const auto colour = static_cast<COLORREF>(Color);
    auto &brushes = SkinBrushes();
    auto it = brushes.find(colour);
    if (it == brushes.end()) it = brushes.emplace(colour, vcl::TBrushHandle(CreateSolidBrush(colour))).first;
    return it->second.Get();
}

} // namespace

void *ResolveApiEntry(void *Function) {
    auto *code = static_cast<std::uint8_t *>(Function);
    // An import thunk "jmp dword ptr [address]" leads to the function; a few
    // of them may be chained.
    for (int hops = 0; code && hops < 4 && code[0] == 0xFF && code[1] == 0x25; ++hops) {
        void **slot = nullptr;
#if defined(__i386__)
        std::memcpy(&slot, code + 2, 4);
#else
        std::int32_t relative;
        std::memcpy(&relative, code + 2, 4);
        slot = reinterpret_cast<void **>(code + 6 + relative);
#endif
        code = static_cast<std::uint8_t *>(*slot);
    }
    return code;
}

bool PatchGetSysColor() {
    return Install(GetSysColorPatch, UserProc("GetSysColor"), reinterpret_cast<void *>(&SkinnedGetSysColor));
}
bool PatchGetSysColorBrush() {
    return Install(GetSysColorBrushPatch, UserProc("GetSysColorBrush"),
                   reinterpret_cast<void *>(&SkinnedGetSysColorBrush));
}
bool PatchCreatePen() {
    return Install(CreatePenPatch, GdiProc("CreatePen"), reinterpret_cast<void *>(&SkinnedCreatePen));
}
void UnpatchGetSysColor() { Remove(GetSysColorPatch); }
void UnpatchGetSysColorBrush() {
    Remove(GetSysColorBrushPatch);
    SkinBrushes().clear();
}
void UnpatchCreatePen() { Remove(CreatePenPatch); }

void PatchSysColors() {
    PatchGetSysColor();
    PatchGetSysColorBrush();
    PatchCreatePen();
}

void UnpatchSysColors() {
    UnpatchGetSysColor();
    UnpatchGetSysColorBrush();
    UnpatchCreatePen();
}

bool SysColorsPatched() { return GetSysColorPatch.Patched || GetSysColorBrushPatch.Patched || CreatePenPatch.Patched; }

DWORD WINAPI SkinnedGetSysColor(int Index) {
    if (const TsSkinManager *m = SkinColorSource()) {
        switch (Index) {
        case COLOR_WINDOW: return static_cast<DWORD>(m->GetEditColor());
        case COLOR_WINDOWFRAME: return static_cast<DWORD>(m->SkinColors[scBorderColor]);
        case COLOR_WINDOWTEXT: return static_cast<DWORD>(m->GetEditFontColor());
        case COLOR_HIGHLIGHT: return static_cast<DWORD>(m->GetSelectionColor(true));
        case COLOR_HIGHLIGHTTEXT: return static_cast<DWORD>(m->GetSelectionFontColor(true));
        case COLOR_BTNSHADOW:
        case COLOR_3DDKSHADOW: return static_cast<DWORD>(Shadow(*m));
        case COLOR_3DLIGHT: return static_cast<DWORD>(Light(*m));
        default: break;
        }
    }
    return Real(GetSysColorPatch, &GetSysColor)(Index);
}

HBRUSH WINAPI SkinnedGetSysColorBrush(int Index) {
    if (const TsSkinManager *m = SkinColorSource()) {
        switch (Index) {
        case COLOR_WINDOW: return SkinBrush(m->GetEditColor());
        case COLOR_WINDOWTEXT: return SkinBrush(m->GetEditFontColor());
        case COLOR_HIGHLIGHT: return SkinBrush(m->GetSelectionColor(true));
        case COLOR_HIGHLIGHTTEXT: return SkinBrush(m->GetSelectionFontColor(true));
        default: break;
        }
    }
    return Real(GetSysColorBrushPatch, &GetSysColorBrush)(Index);
}

HPEN WINAPI SkinnedCreatePen(int Style, int Width, COLORREF Color) {
    if (const TsSkinManager *m = SkinColorSource()) {
        vcl::TColor c = static_cast<vcl::TColor>(Color);
        switch (Color) {
        case 5: c = m->GetEditColor(); break;
        case 6: c = m->SkinColors[scBorderColor]; break;
        case 13: c = m->GetSelectionColor(true); break;
        case 14: c = m->GetSelectionFontColor(true); break;
        case 15: c = m->SkinColors[scGlobalColor]; break;
        case 16:
        case 21: c = Shadow(*m); break;
        case 22: c = Light(*m); break;
        case 0xC0C0C0:
        case 0xF0F0F0: c = MixColors(m->GetEditFontColor(), m->GetEditColor(), 0.15); break;
        default: break;
        }
        Color = static_cast<COLORREF>(c);
    }
    return Real(CreatePenPatch, &CreatePen)(Style, Width, Color);
}

} // namespace skin
