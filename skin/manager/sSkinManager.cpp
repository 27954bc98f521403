#include "sSkinManager.h"

#include <shellapi.h>

#include <algorithm>

#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinCommands.h"
#include "sSkinImages.h"
#include "sSkinQueries.h"
#include "sSysColors.h"
#include "vlFormAnimations.h"
#include "vlGlow.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/ResourceStream.h"
#include "vcl/SysUtils.h"
#include "vcl/TypInfo.h"
#include "vcl/WideText.h"

namespace skin {

VCL_PUBLISHED(TsSkinManager, p) {
    p.Property("InternalSkins", &TsSkinManager::InternalSkins, &TsSkinManager::SetInternalSkins);
    p.Property("Active", &TsSkinManager::Active, &TsSkinManager::SetActive).Default(true);
    p.Property("AnimEffects", &TsSkinManager::AnimEffects);
    p.Property("Brightness", &TsSkinManager::Brightness, &TsSkinManager::SetBrightness).Default(0);
    p.Property("ButtonsOptions", &TsSkinManager::ButtonsOptions);
    p.Property("CommonSections", &TsSkinManager::CommonSections,
               [](TsSkinManager &m, vcl::TStringList *v) { m.SetCommonSections(v); });
    p.Property("Effects", &TsSkinManager::Effects);
    p.Property("ExtendedBorders", &TsSkinManager::GetExtendedBorders, &TsSkinManager::SetExtendedBorders)
        .Default(false);
    p.Property("HueOffset", &TsSkinManager::HueOffset, &TsSkinManager::SetHueOffset).Default(0);
    p.Property("IsDefault", &TsSkinManager::GetIsDefault, &TsSkinManager::SetIsDefault).Default(true);
    p.Property("LabelsOptions", &TsSkinManager::LabelsOptions);
    p.Property("MenuSupport", &TsSkinManager::MenuSupport);
    p.Property("Options", &TsSkinManager::Options);
    p.Property("Saturation", &TsSkinManager::Saturation, &TsSkinManager::SetSaturation).Default(0);
    p.Property("ScrollsOptions", &TsSkinManager::ScrollsOptions);
    p.Property("SkinDirectory", &TsSkinManager::SkinDirectory, &TsSkinManager::SetSkinDirectory);
    // Read-only in effect: what a description stores here is not taken.
    p.Property("SkinInfo", &TsSkinManager::GetSkinInfo, [](TsSkinManager &, const std::string &) {});
    p.Property("SkinName", &TsSkinManager::SkinName, &TsSkinManager::SetSkinName);
    p.Property("SkinnedPopups", &TsSkinManager::SkinnedPopups, &TsSkinManager::SetSkinnedPopups).Default(true);
    p.Property("SkinningRules", &TsSkinManager::SkinningRules, &TsSkinManager::SetSkinningRules)
        .Default(TvlSkinningRules{srStdForms, srStdDialogs, srThirdParty});
    p.Property("ThirdParty", &TsSkinManager::ThirdParty);
    p.Property("Version", &TsSkinManager::GetVersion, [](TsSkinManager &, const std::string &) {});
    p.Property("OnActivate", &TsSkinManager::OnActivate);
    p.Property("OnAfterChange", &TsSkinManager::OnAfterChange);
    p.Property("OnBeforeChange", &TsSkinManager::OnBeforeChange);
    p.Property("OnDeactivate", &TsSkinManager::OnDeactivate);
    p.Property("OnSkinListChanged", &TsSkinManager::OnSkinListChanged);
    p.Property("OnSkinLoading", &TsSkinManager::OnSkinLoading);
    p.Property("OnGetMenuExtraLineData", &TsSkinManager::OnGetMenuExtraLineData);
    p.Property("OnGetPopupItemData", &TsSkinManager::OnGetPopupItemData);
    p.Property("OnSysDlgInit", &TsSkinManager::OnSysDlgInit);
}

namespace {

int ReadAppliedDPI() {
    try {
        return ReadRegistryInteger(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", "AppliedDPI");
    } catch (const vcl::Exception &) {
        return 0;  // absent: the usual 96
    }
}

// Module start-up runs once even when called again.
int StartupCount = 0;

} // namespace

TsSkinManager::TsSkinManager(vcl::TComponent *AOwner)
    : vcl::TComponent(AOwner), SkinData(std::make_unique<TsSkinData>()),
      FEffects(std::make_unique<TvlSkinEffects>(this)), FThirdParty(std::make_unique<ThirdPartyList>()) {
    DPIClass = DPIClassOf(ReadAppliedDPI());
    for (auto &list : ThirdPartyLists) {
        list = std::make_unique<vcl::TStringList>();
        list->SetCaseSensitive(true);
    }
    FInternalSkins = std::make_unique<TsStoredSkins>(this);
    FCommonSections = std::make_unique<vcl::TStringList>();
    FCommonSections->SetCaseSensitive(true);
    for (std::size_t i = 0; i < StdSectionNames.size(); ++i)
        StdSectionIndexes[i] = skin::FindSectionIndex(Sections, StdSectionNames[i]);
    FMenuSupport = std::make_unique<TvlMenuSupport>();
    FOptions = std::make_unique<TvlOptions>(this);
    FScrollsOptions = std::make_unique<TvlScrollBarsSupport>(this);
    FButtonsOptions = std::make_unique<TvlButtonsSupport>();
    FLabelsOptions = std::make_unique<TvlLabelsSupport>();
    FAnimEffects = std::make_unique<TvlAnimEffects>();
    FAnimEffects->Manager = this;

    // The first manager is the default one; a later one never takes over here.
    if (!DefaultSkinManager) {
        DefaultSkinManager = this;
        if (ModuleState().IsNTPlatform && !Designing() && vcl::Application) {
            vcl::Application->HookMainWindow(vcl::TWindowHook::Bind<&TsSkinManager::MainWindowHook>(this));
            FMainWindowHooked = true;
        }
    }
    FActive = true;
    FHoverTimer = vcl::Create<vcl::TTimer>(this);
    FHoverTimer->SetInterval(100);
    FHoverTimer->OnTimer = vcl::TNotifyEvent::Bind<&TsSkinManager::HoverTimerTick>(this);
}

void TsSkinManager::AfterConstruction() {
    vcl::TComponent::AfterConstruction();
    LoadThirdPartyLists(false);
    if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
}

void TsSkinManager::Loaded() {
    vcl::TComponent::Loaded();
    if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
    if (FMenuSupport->IcoLineSkin.empty()) FMenuSupport->IcoLineSkin = "ICOLINE";
    LoadThirdPartyLists(false);
    if (FActive && !FSkinName.empty()) BroadcastSkinApplied(false);
    if (OnActivate && FActive && !Designing()) OnActivate(this);
}

TsSkinManager::~TsSkinManager() {
    SetActive(false);
    SetExtendedBorders(false);
    // Skin data that the removal did not reach (a control without a window,
    // one outside every form) must not keep a manager that is gone.
    for (TsCommonData *data : std::exchange(FSkinDataRefs, {})) data->ManagerDestroyed(this);
    if (ActiveGraphControl) RemoveFreeNotification(std::exchange(ActiveGraphControl, nullptr));
    FreeSkinImages();
    // The hook goes with the manager that put it in, even when another one
    // has become the default since: it would call a manager that is gone.
    if (FMainWindowHooked && vcl::Application)
        vcl::Application->UnhookMainWindow(vcl::TWindowHook::Bind<&TsSkinManager::MainWindowHook>(this));
    if (DefaultSkinManager == this) {
        // The interception answers the default manager's colours: it ends
        // with it, whatever the option says.
        UnpatchSysColors();
        DefaultSkinManager = nullptr;
    }
    SaveThirdPartyLists();
}

void TsSkinManager::SetInternalSkins(TsStoredSkins *Value) { FInternalSkins->Assign(Value); }

bool TsSkinManager::GetIsDefault() const { return DefaultSkinManager == this; }

void TsSkinManager::SetIsDefault(bool Value) {
    if (!Value && DefaultSkinManager) return;
    DefaultSkinManager = this;
    if (FActive)
        BroadcastSkinApplied(true);
    else
        BroadcastSkinRemoved();
}

std::string TsSkinManager::GetSkinInfo() const { return SkinData->Active ? VersionText(SkinData->Version) : "N/A"; }

vcl::TColor TsSkinManager::GetSelectionColor(bool Focused) const {
    return SkinColors[Focused ? scFocusedSelectionColor : scSelectionColor];
}

vcl::TColor TsSkinManager::GetSelectionFontColor(bool Focused) const {
    return SkinColors[Focused ? scFocusedSelectionFontColor : scSelectionFontColor];
}

void TsSkinManager::SetSkinDataActive(bool Value) {
    SkinData->Active = Value;
    SkinActive = Value;
}

std::string TsSkinManager::ResolveSkinDirectory() const { return ResolveSkinDirectoryOf(FSkinDirectory, AppFolder()); }

void TsSkinManager::ListAvailableSkins(vcl::TStrings &List, int Kind, std::string &FirstName) const {
    FirstName.clear();
    const std::string folder = ResolveSkinDirectory();
    vcl::TStringList names;
    const auto add = [&](const std::string &name) {
        if (names.Count() == 0) FirstName = name;
        names.Add(name);
    };
    for (int i = 0; i < FInternalSkins->Count(); ++i) add(FInternalSkins->Items(i)->Name);
    if (vcl::DirectoryExists(folder)) {
        vcl::TSearchRec rec;
        for (int found = vcl::FindFirst(folder + "*.*", vcl::faAnyFile, rec); found == 0;
             found = vcl::FindNext(rec)) {
            if (rec.Name.empty() || rec.Name[0] == '.') continue;
            if (rec.Attr & vcl::faDirectory) {
                if ((Kind == 0 || Kind == 2) && vcl::FileExists(folder + rec.Name + "\\Options.dat")) add(rec.Name);
            } else if ((Kind == 1 || Kind == 2) && vcl::ExtractFileExt(rec.Name) == ".gmz") {
                add(rec.Name.substr(0, rec.Name.size() - 4));
            }
        }
        vcl::FindClose(rec);
    }
    names.Sort();
    vcl::Updating(List, [&] {
        List.Clear();
        List.AddStrings(names);
    });
}

// Lookups

int TsSkinManager::FindSectionIndex(std::string_view Name) const { return skin::FindSectionIndex(Sections, Name); }
int TsSkinManager::FindMaskIndex(std::string_view SectionName, std::string_view PropertyName) const {
    return skin::FindMaskIndex(Masks, SectionName, PropertyName);
}
int TsSkinManager::GetMaskIndex(int SectionIndex, std::string_view PropertyName) const {
    return skin::GetMaskIndex(Sections, Masks, SectionIndex, PropertyName);
}
int TsSkinManager::GetMaskIndexChecked(int SectionIndex, std::string_view SectionName,
                                       std::string_view PropertyName) const {
    return skin::GetMaskIndexChecked(Sections, Masks, SectionIndex, SectionName, PropertyName);
}
int TsSkinManager::GetPatternIndex(int SectionIndex, std::string_view PropertyName) const {
    return skin::GetPatternIndex(Sections, Masks, SectionIndex, PropertyName);
}
int TsSkinManager::GetPatternIndexChecked(int SectionIndex, std::string_view SectionName,
                                          std::string_view PropertyName) const {
    return skin::GetPatternIndexChecked(Sections, Masks, SectionIndex, SectionName, PropertyName);
}
int TsSkinManager::MaskLeftMargin(int MaskIndex) const { return skin::MaskLeftMargin(Masks.at(MaskIndex)); }
int TsSkinManager::MaskTopMargin(int MaskIndex) const { return skin::MaskTopMargin(Masks.at(MaskIndex)); }
int TsSkinManager::MaskRightMargin(int MaskIndex) const { return skin::MaskRightMargin(Masks.at(MaskIndex)); }
int TsSkinManager::MaskBottomMargin(int MaskIndex) const { return skin::MaskBottomMargin(Masks.at(MaskIndex)); }

// Hover tracking

void TsSkinManager::HoverTimerTick(vcl::TObject *) {
    if (!ActiveWindow || Designing()) return;
    RECT r{};
    POINT cursor{};
    if (!GetWindowRect(ActiveWindow, &r) || !GetCursorPos(&cursor)) return;
    if (PtInRect(&r, cursor)) return;
    SetActiveControl(nullptr);
    if (ActiveGraphControl)
        ActiveGraphControl->Perform(SM_SKINCOMMAND, SkinCommand(SC_MOUSE_LEFT),
                                    reinterpret_cast<LPARAM>(ActiveGraphControl));
}

TsSkinManager *DefaultManager() { return dynamic_cast<TsSkinManager *>(DefaultSkinManager); }

int ScrollBarWidth(const TsSkinManager *Manager) {
    if (Manager && Manager->ScrollsOptions()->ScrollSize() >= 0) return Manager->ScrollsOptions()->ScrollSize();
    return GetSystemMetrics(SM_CXVSCROLL);
}

int ScrollBarWidthAtLeastSystem(const TsSkinManager *Manager) {
    return std::max(GetSystemMetrics(SM_CXVSCROLL), ScrollBarWidth(Manager));
}

void SetDwmIconicBitmap(HWND Wnd, bool Flag) {
    if (!DwmCompositionActive()) return;
    using TSetAttribute = HRESULT WINAPI(HWND, DWORD, LPCVOID, DWORD);
    using TInvalidate = HRESULT WINAPI(HWND);
    static const TSystemLibrary dwmapi(L"dwmapi.dll");
    static auto *const setAttribute =
        reinterpret_cast<TSetAttribute *>(reinterpret_cast<void *>(dwmapi.Proc("DwmSetWindowAttribute")));
    static auto *const invalidate =
        reinterpret_cast<TInvalidate *>(reinterpret_cast<void *>(dwmapi.Proc("DwmInvalidateIconicBitmaps")));
    const BOOL value = Flag;
    constexpr DWORD HasIconicBitmap = 10, ForceIconicRepresentation = 7;
    if (setAttribute && SUCCEEDED(setAttribute(Wnd, HasIconicBitmap, &value, sizeof value)))
        setAttribute(Wnd, ForceIconicRepresentation, &value, sizeof value);
    if (invalidate) invalidate(Wnd);
}

// Module start-up

std::string VersionMessageText() { return std::string("Velvetine v") + SkinLibraryVersion; }

namespace {

// A shadow image from a PNG resource of the program; null without one.
std::unique_ptr<vcl::TBitmap> LoadShadowImage(const char *Name) {
    try {
        auto stream = vcl::ProgramResource(Name);
        auto bitmap = std::make_unique<vcl::TBitmap>();
        LoadPngStreamToBitmap(*bitmap, *stream);
        ClearEmptyWhitePixels(*bitmap);
        return bitmap;
    } catch (const vcl::Exception &) {
        return nullptr;  // no shadow rather than no program
    }
}

} // namespace

void InitializeSkinManagerModule() {
    if (StartupCount++ > 0) return;
    ResetModuleState();
    TvlModuleState &state = ModuleState();
    InitializeMessagesModule();
    InitializeGlowModule();
    InitializeFormAnimationsModule();
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    state.IsNTPlatform = GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    state.ShadowActive = LoadShadowImage("vlSHDA");
    state.ShadowInactive = LoadShadowImage("vlSHDI");
    int argc = 0;
    if (LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int i = 1; i < argc; ++i)
            if (vcl::LowerCase(vcl::WideToUtf8(argv[i])) == "/vlver") {
                const std::wstring text = vcl::Utf8ToWide(VersionMessageText());
                MessageBoxW(nullptr, text.c_str(), L"", MB_OK);
                break;
            }
        LocalFree(argv);
    }
}

void FinalizeSkinManagerModule() {
    if (StartupCount == 0 || --StartupCount > 0) return;
    FinalizeFormAnimationsModule();
    FinalizeGlowModule();
    FinalizeSysColors();
    FinalizeMessagesModule();
    ResetModuleState();
}

} // namespace skin
