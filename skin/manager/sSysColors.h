#pragma once
// The system-colour interception: while the default manager's option
// ChangeSysColors is on, the process's GetSysColor, GetSysColorBrush and
// CreatePen answer skin colours for some system colours, so that what the
// system paints follows the skin. Windows only.
//
// The functions are patched through their hot-patch prologue: five bytes
// of padding before the entry receive a jump to the replacement, then the
// two-byte "mov edi, edi" at the entry becomes a short jump back into them,
// written in one store. The replacement calls the real function at entry + 2
// (the prologue is a no-op), so the patch never has to come off for a call,
// and no thread can run a half-written entry. Removal puts back only the
// entry, in one store, and leaves the padding's jump for a thread already on
// its way; installing again finds its own jump there. A function without
// that prologue (or a build for another processor) is left alone.
#include <windows.h>

namespace skin {

// Each patch is installed once; its unpatch does nothing unless it is in
// place. The answers: true when the function is (now) patched.
bool PatchGetSysColor();
bool PatchGetSysColorBrush();
bool PatchCreatePen();
void UnpatchGetSysColor();
void UnpatchGetSysColorBrush();
void UnpatchCreatePen();
// All three.
void PatchSysColors();
void UnpatchSysColors();
bool SysColorsPatched();
// Module shut-down: removes the interception and frees the brushes that
// SkinnedGetSysColorBrush handed out. Until then they live (one per colour),
// whether the interception is on or not: their users never free them.
void FinalizeSysColors();

// The replacements. Without an applied skin of the default manager they
// answer what the real functions answer.
DWORD WINAPI SkinnedGetSysColor(int Index);
HBRUSH WINAPI SkinnedGetSysColorBrush(int Index);
HPEN WINAPI SkinnedCreatePen(int Style, int Width, COLORREF Color);

// The entry that a call of Function really reaches: import thunks
// ("jmp [address]") are followed. Null for null.
void *ResolveApiEntry(void *Function);

} // namespace skin
