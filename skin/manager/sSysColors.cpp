#include "sSysColors.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "sSkinManager.h"
#include "skin/graphics/vlImageHelpers.h"
#include "vcl/GdiObjects.h"

namespace skin {

namespace {

// One patched function: its entry, known from the first install on (the
// padding keeps leading to the replacement from then), and whether the entry
// leads into the padding now. The replacements read both on any thread.
struct THotPatch {
    std::atomic<std::uint8_t *> Entry{nullptr};
    std::atomic<bool> Patched{false};
};

THotPatch GetSysColorPatch, GetSysColorBrushPatch, CreatePenPatch;

// The two entry forms as one 16-bit store each, little-endian.
constexpr std::uint16_t MovEdiEdi = 0xFF8B;  // 8B FF: the plain prologue
constexpr std::uint16_t JumpBack = 0xF9EB;   // EB F9: jmp short -7, into the padding

bool IsPadding(std::uint8_t b) { return b == 0x90 || b == 0xCC; }

// Runs Change on code of our process with the protection opened around it.
template <class F> bool ChangeCode(void *Where, std::size_t Count, F Change) {
    DWORD old = 0;
    if (!VirtualProtect(Where, Count, PAGE_EXECUTE_READWRITE, &old)) return false;
    const bool changed = Change();
    DWORD ignored = 0;
    VirtualProtect(Where, Count, old, &ignored);
    FlushInstructionCache(GetCurrentProcess(), Where, Count);
    return changed;
}

// Switches the entry from one form to the other in one locked exchange: a
// thread reaches either form, never a mix, and an entry that someone else
// has changed meanwhile is left as it is.
bool SwapEntry(std::uint8_t *Entry, std::uint16_t From, std::uint16_t To) {
    return ChangeCode(Entry, 2, [&] {
        std::uint16_t expected = From;
        return __atomic_compare_exchange_n(reinterpret_cast<std::uint16_t *>(Entry), &expected, To, false,
                                           __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    });
}

bool Install(THotPatch &Patch, void *Function, void *Replacement) {
    if (Patch.Patched) return true;
#if defined(__i386__)
    auto *entry = static_cast<std::uint8_t *>(ResolveApiEntry(Function));
    std::uint16_t prologue = 0;
    if (entry) std::memcpy(&prologue, entry, 2);
    if (prologue != MovEdiEdi) return false;
    std::uint8_t jump[5] = {0xE9};
    const auto displacement = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(Replacement) -
                                                        reinterpret_cast<std::intptr_t>(entry));
    std::memcpy(jump + 1, &displacement, 4);
    std::uint8_t *pad = entry - 5;
    // Our own jump stays in the padding after a removal; anything else
    // there must be filler before it may become the jump. The padding is
    // written only while the entry is the plain prologue, so no thread runs it.
    if (std::memcmp(pad, jump, 5) != 0) {
        for (int i = 0; i < 5; ++i)
            if (!IsPadding(pad[i])) return false;
        if (!ChangeCode(pad, 5, [&] {
                std::memcpy(pad, jump, 5);
                return true;
            }))
            return false;
    }
    Patch.Entry = entry;  // before the entry leads here: the replacement calls entry + 2
    if (!SwapEntry(entry, MovEdiEdi, JumpBack)) return false;
    Patch.Patched = true;
    return true;
#else
    (void)Function;
    (void)Replacement;
    return false;
#endif
}

// Only the entry goes back. A thread that took its short jump a moment ago
// is on its way through the padding, so the padding keeps its jump.
void Remove(THotPatch &Patch) {
    if (!Patch.Patched) return;
    SwapEntry(Patch.Entry, JumpBack, MovEdiEdi);
    Patch.Patched = false;
}

// The real function of a patch: its body after the two-byte prologue, which
// is the same whether the entry is patched or not.
template <class F> F Real(const THotPatch &Patch, F Unpatched) {
    std::uint8_t *entry = Patch.Entry;
    return entry ? reinterpret_cast<F>(entry + 2) : Unpatched;
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
// module stops, because callers of GetSysColorBrush never free what it
// gives and keep it (class backgrounds, WM_CTLCOLOR answers) past any skin
// switch. Any thread may ask, hence the lock.
std::mutex BrushLock;

std::map<COLORREF, vcl::TBrushHandle> &SkinBrushes() {
    static std::map<COLORREF, vcl::TBrushHandle> brushes;
    return brushes;
}

HBRUSH SkinBrush(vcl::TColor Color) {
    const auto colour = static_cast<COLORREF>(Color);
    std::lock_guard lock(BrushLock);
    auto &brushes = SkinBrushes();
    auto it = brushes.find(colour);
    if (it == brushes.end()) {
        vcl::TBrushHandle brush(CreateSolidBrush(colour));
        if (!brush) return nullptr;  // asked again next time rather than kept as none
        it = brushes.emplace(colour, std::move(brush)).first;
    }
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
void UnpatchGetSysColorBrush() { Remove(GetSysColorBrushPatch); }
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

void FinalizeSysColors() {
    UnpatchSysColors();
    std::lock_guard lock(BrushLock);
    SkinBrushes().clear();
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
