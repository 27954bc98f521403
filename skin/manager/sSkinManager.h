#pragma once
// TsSkinManager: the component that skins an application. It reads one skin
// at a time (from a folder, a packed file, a stored skin or a block pushed
// by a skin editor) into the skin tables of its base TsSkinTables, answers
// the lookups that every skinned part makes, publishes the options that
// they read and tells skinned windows when the skin changes. The first
// manager created is the default manager. Windows only.
//
// The members are implemented by topic: construction, streaming, listing,
// colours and the hover timer here; reading a skin in sSkinReader.cpp and
// sSkinImages.cpp; applying and removing it in sSkinChanges.cpp; the colour
// effects in sColorEffectsWin32.cpp.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sIndexCache.h"
#include "sManagerOptions.h"
#include "sModuleState.h"
#include "sPushedSkin.h"
#include "sSkinData.h"
#include "sSkinServices.h"
#include "sStoredSkins.h"
#include "skin/graphics/sSkinTables.h"
#include "vcl/Component.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Messages.h"
#include "vcl/StringList.h"

namespace vcl {
class TBitmap;
class TControl;
class TFont;
}

namespace skin {

class TsCommonData;
class TvlSkinConvertor;
class TvlOptionsFile;

VCL_ENUM(TvlSkinningRule, srStdForms, srStdDialogs, srThirdParty)
using TvlSkinningRules = vcl::TSet<TvlSkinningRule>;

// The process-wide flags of skin loading, the platform flag and the
// built-in shadow images are in the module's state (sModuleState.h).

// The module's SkinIsLoading set for the time of a read or of a whole
// change, and given back its earlier value on every way out: a read inside
// a change leaves the change's flag up.
class TvlLoadingScope {
public:
    TvlLoadingScope() : Earlier(ModuleState().SkinIsLoading) { ModuleState().SkinIsLoading = true; }
    ~TvlLoadingScope() { ModuleState().SkinIsLoading = Earlier; }
    TvlLoadingScope(const TvlLoadingScope &) = delete;
    TvlLoadingScope &operator=(const TvlLoadingScope &) = delete;

private:
    bool Earlier;
};

// The manager's events that the dialog and menu skinning ask: a system
// dialog about to be skinned (its window; the handler may clear
// AllowSkinning), the extra line of a popup menu (its first item), and the
// font of a popup item about to be drawn. Menu items are the class
// library's components.
using TvlSysDlgInitEvent = vcl::TMethod<void(HWND DialogWindow, bool &AllowSkinning)>;
using TvlMenuExtraLineEvent = vcl::TMethod<void(vcl::TComponent *FirstItem, std::string &SkinSection,
                                                std::string &Caption, vcl::TBitmap *&Glyph, bool &LineVisible)>;
using TvlPopupItemDataEvent = vcl::TMethod<void(vcl::TComponent *Item, std::uint32_t State, vcl::TFont *ItemData)>;

// The library's version.
inline constexpr const char *SkinLibraryVersion = "10.21";

class TsSkinManager : public vcl::TComponent, public TsSkinTables {
    VCL_CLASS(TsSkinManager, vcl::TComponent)
public:
    explicit TsSkinManager(vcl::TComponent *AOwner);
    ~TsSkinManager() override;
    void AfterConstruction() override;
    void Loaded() override;

    // Published properties.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    const std::string &SkinName() const { return FSkinName; }
    void SetSkinName(const std::string &Value);
    const std::string &SkinDirectory() const { return FSkinDirectory; }
    void SetSkinDirectory(const std::string &Value);
    vcl::TStringList *CommonSections() const { return FCommonSections.get(); }
    void SetCommonSections(const vcl::TStrings *Value);
    TsStoredSkins *InternalSkins() const { return FInternalSkins.get(); }
    void SetInternalSkins(TsStoredSkins *Value);
    bool SkinnedPopups() const { return FSkinnedPopups; }
    void SetSkinnedPopups(bool Value);
    // Stored as set; in effect only where layered windows exist.
    bool GetExtendedBorders() const;
    void SetExtendedBorders(bool Value);
    int HueOffset() const { return FHueOffset; }
    void SetHueOffset(int Value);
    int Saturation() const { return FSaturation; }
    void SetSaturation(int Value);
    int Brightness() const { return FBrightness; }
    void SetBrightness(int Value);  // limited to -100 .. 100
    TvlSkinningRules SkinningRules() const { return FSkinningRules; }
    void SetSkinningRules(TvlSkinningRules Value) { FSkinningRules = Value; }
    bool GetIsDefault() const;
    void SetIsDefault(bool Value);
    // The loaded skin's version, "N/A" without an applied skin.
    std::string GetSkinInfo() const;
    std::string GetVersion() const { return SkinLibraryVersion; }

    TvlSkinEffects *Effects() const { return FEffects.get(); }
    TvlAnimEffects *AnimEffects() const { return FAnimEffects.get(); }
    TvlMenuSupport *MenuSupport() const { return FMenuSupport.get(); }
    TvlOptions *Options() const { return FOptions.get(); }
    TvlScrollBarsSupport *ScrollsOptions() const { return FScrollsOptions.get(); }
    TvlButtonsSupport *ButtonsOptions() const { return FButtonsOptions.get(); }
    TvlLabelsSupport *LabelsOptions() const { return FLabelsOptions.get(); }
    ThirdPartyList *ThirdParty() const { return FThirdParty.get(); }

    vcl::TNotifyEvent OnActivate, OnDeactivate, OnSkinLoading, OnAfterChange, OnBeforeChange, OnSkinListChanged;
    TvlSysDlgInitEvent OnSysDlgInit;
    TvlMenuExtraLineEvent OnGetMenuExtraLineData;
    TvlPopupItemDataEvent OnGetPopupItemData;

    // Where skins are looked for: SkinDirectory made absolute against the
    // program's folder, with a trailing backslash.
    std::string ResolveSkinDirectory() const;
    // Kind 0 folder skins, 1 packed files, 2 both; stored skins always; sorted.
    void ListAvailableSkins(vcl::TStrings &List, int Kind, std::string &FirstName) const;

    // Skin colours (GetMainColor of the tables is the main one).
    vcl::TColor GetMainFontColor() const { return SkinColors[scGlobalFontColor]; }
    vcl::TColor GetEditColor() const { return SkinColors[scEditColor]; }
    vcl::TColor GetEditFontColor() const { return SkinColors[scEditFontColor]; }
    vcl::TColor GetSelectionColor(bool Focused) const;
    vcl::TColor GetSelectionFontColor(bool Focused) const;

    // Lookups in the tables (sSkinQueries.h); -1 for anything absent.
    int FindSectionIndex(std::string_view Name) const;
    int FindMaskIndex(std::string_view SectionName, std::string_view PropertyName) const;
    int GetMaskIndex(int SectionIndex, std::string_view PropertyName) const;
    int GetMaskIndexChecked(int SectionIndex, std::string_view SectionName, std::string_view PropertyName) const;
    int GetPatternIndex(int SectionIndex, std::string_view PropertyName) const;
    int GetPatternIndexChecked(int SectionIndex, std::string_view SectionName, std::string_view PropertyName) const;
    int MaskLeftMargin(int MaskIndex) const;
    int MaskTopMargin(int MaskIndex) const;
    int MaskRightMargin(int MaskIndex) const;
    int MaskBottomMargin(int MaskIndex) const;

    // Skin changes (sSkinChanges.cpp).
    void BeginUpdate() { UpdatingFlag = true; }
    void EndUpdate(bool Repaint, bool Animated);
    void UpdateSkin(bool Repaint);
    void ReloadSkin();
    // The index cache of the tables, then the extended-border images.
    void CacheCommonElements();
    void BroadcastSkinApplied(bool Repaint);
    void BroadcastSkinRemoved();
    void RepaintAllSkinned(bool Animate);
    // Sends SM_SKINCOMMAND with the sub-command and this manager to the
    // application's forms and their controls, the skinned forms and the
    // hooked dialogs (sMessages.h).
    void BroadcastCommand(unsigned SubCommand);
    void PrepareExtBorderImages();
    void LoadThirdPartyLists(bool Reset);
    void SaveThirdPartyLists();
    // The thread's window-creation hook (whose events go to the dialog
    // skinning, sSkinServices.h) and the system-colour interception of the
    // default manager (sSkinHooks.cpp).
    void InstallSkinHooks();
    void RemoveSkinHooks();

    // Reading (sSkinReader.cpp). Each does nothing while the manager is not
    // Active. True when a skin was read, or when there was none to read and
    // the manager switched itself off; false (the user told once) when the
    // source is not a skin. Damaged data raises. Either way a read that fails
    // leaves the tables as they were.
    bool ReadSkin();
    bool ReadPackedSkin();
    // The pushed block's skin as the current one; nothing for a wrong magic.
    void ApplyPushedSkin(const TvlPushedSkinBlock &Block);
    // Takes a WM_COPYDATA that carries a pushed skin: true when it was one.
    bool ReceivePushedSkin(vcl::TMessage &Message);

    // Frees the mask table, the pictures and the master bitmap.
    void FreeSkinImages();
    void FreeExternalImages();

    // Hover tracking: the window under the mouse and the graphic control
    // (watched with a free notification). The one left hears SC_MOUSE_LEFT
    // before the one entered hears SC_MOUSE_ENTERED.
    void SetActiveControl(HWND Window);
    void SetActiveGraphControl(vcl::TControl *Control);
    // A window is being destroyed: the manager forgets it, without a word,
    // when it is the one under the mouse (its handle may come back as
    // another window's).
    void WindowDestroyed(HWND Window);

    // The manager's hook of the application window (sSkinHooks.cpp). Our
    // main form owns its taskbar button: the hook's questions about the
    // application's window are asked of the main form, whose system
    // commands pass through the application's hook chain.
    bool MainWindowHook(vcl::TMessage &Message);

    // The skin data that name this manager as theirs; each loses the
    // reference when the manager goes.
    void AddSkinDataReference(TsCommonData *Data);
    void RemoveSkinDataReference(TsCommonData *Data);

    // State (public, as the painters, adapters and forms read it directly).
    std::unique_ptr<TsSkinData> SkinData;
    TvlCommonElements CommonElements;
    TvlSkinColors SkinColors{};
    TvlOutEffArray OutEffects;
    TvlExtArray ExtImages;
    std::array<std::unique_ptr<vcl::TStringList>, ThirdPartyKindCount> ThirdPartyLists;
    std::array<std::unique_ptr<vcl::TBitmap>, 2> ExtBorderImages;  // inactive, active
    vcl::TRect ExtBorderMargins{};
    TvlPushedSkinBlock PushedSkin{};
    int DPIClass = 0;
    bool UpdatingFlag = false;
    bool HooksInstalled = false;
    bool IsPacked = false;
    bool IsRemoving = false;
    std::uint8_t SysCommandState = 0;
    HWND ActiveWindow = nullptr;
    vcl::TControl *ActiveGraphControl = nullptr;  // not owned; cleared when it goes
    // The popup-menu painter: the one the registered menu factory makes for
    // this manager, a null one while none is registered (sSkinServices.h).
    TvlSkinableMenus &SkinableMenus() { return FSkinableMenus.Painter(*this); }

    // SkinData.Active and the painters' SkinActive together.
    void SetSkinDataActive(bool Value);

protected:
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override;

private:
    friend class TvlSkinLoad;

    void HoverTimerTick(vcl::TObject *Sender);
    // The hook's branches (sSkinHooks.cpp).
    bool HideMainFormAnimated(vcl::TMessage &Message);
    bool MainSysCommand(vcl::TMessage &Message);
    bool MenuRegionRequest(vcl::TMessage &Message);
    // The skin tables of a load, built aside and taken over when it succeeds.
    void ReadFromOptions(std::unique_ptr<TvlOptionsFile> Options, std::unique_ptr<TvlSkinConvertor> Convertor,
                         const std::string &SkinPath);
    // The packed file wins over a folder or stored skin, except a folder in
    // an editor's preview.
    bool ChoosePackedSource() const;
    // SetSkinName's work: true when the skin was read.
    bool ChangeSkin(const std::string &Value);
    bool ReadCurrentSkin();
    // The same, with a failure shown in the error dialog (and answered false).
    bool ReadCurrentSkinReporting();
    void CheckSkinVersion(double Version);
    // Applies HueOffset, Saturation and Brightness to the tables just read.
    void ApplyColorEffectsToTables(TsGeneralDataArray &Sections, TvlSkinColors &Colors, vcl::TBitmap *Master,
                                   const TsMaskArray &Masks, const TvlExtArray &Images, TsSkinData &Data) const;
    std::string PackedFileName() const;
    bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
    bool LoadingOrReading() const {
        return ComponentState().Contains(vcl::csLoading) || ComponentState().Contains(vcl::csReading);
    }

    bool FActive = false;
    bool FMainWindowHooked = false;  // this manager's hook is in the application window
    bool FSkinnedPopups = true;
    bool FExtendedBorders = false;
    std::string FSkinName;
    std::string FSkinDirectory;
    int FHueOffset = 0;
    int FSaturation = 0;
    int FBrightness = 0;
    TvlSkinningRules FSkinningRules{srStdForms, srStdDialogs, srThirdParty};
    bool FVersionNoticeShown = false;
    std::unique_ptr<vcl::TStringList> FCommonSections;
    std::unique_ptr<TsStoredSkins> FInternalSkins;
    std::unique_ptr<TvlSkinEffects> FEffects;
    std::unique_ptr<TvlAnimEffects> FAnimEffects;
    std::unique_ptr<TvlMenuSupport> FMenuSupport;
    std::unique_ptr<TvlOptions> FOptions;
    std::unique_ptr<TvlScrollBarsSupport> FScrollsOptions;
    std::unique_ptr<TvlButtonsSupport> FButtonsOptions;
    std::unique_ptr<TvlLabelsSupport> FLabelsOptions;
    std::unique_ptr<ThirdPartyList> FThirdParty;
    // The options text an editor pushed, while it is applied; read as a
    // file's text is, so that a UTF-8 one is known by its byte order mark.
    std::optional<std::string> FPushedOptions;
    TvlSkinableMenusBinding FSkinableMenus;
    vcl::TTimer *FHoverTimer = nullptr;  // owned as a component of the manager
    std::vector<TsCommonData *> FSkinDataRefs;  // not owned
};

// The manager that serves a part without one of its own: the default
// manager as a TsSkinManager (DefaultSkinManager is kept by the tables).
TsSkinManager *DefaultManager();

// The width of a skinned scroll bar: the manager's ScrollSize unless it is
// negative, else (and without a manager) the system's.
int ScrollBarWidth(const TsSkinManager *Manager);
int ScrollBarWidthAtLeastSystem(const TsSkinManager *Manager);

// With desktop composition on: whether the window gives the compositor its
// own iconic pictures (DWMWA_HAS_ICONIC_BITMAP, then, when that was taken,
// DWMWA_FORCE_ICONIC_REPRESENTATION), and the pictures it had are dropped.
void SetDwmIconicBitmap(HWND Wnd, bool Flag);

// Module start-up, once, before any manager is made: the module's state
// (sModuleState.h) from its start values, with the platform flag, the
// shadow images and the program's icons, the glows in the glow slot
// (vlGlow.h); and the switch "/vlver" (which
// shows the library's version). Explicit, because a static initialiser of a
// library may never run. Calls nest: only the first starts the module.
void InitializeSkinManagerModule();
// The last call frees what the start-up loaded, every glow and the
// system-colour brushes, and puts the module's state back to its start values (every slot
// emptied, the hooked dialogs freed).
void FinalizeSkinManagerModule();
// The text that "/vlver" shows.
std::string VersionMessageText();

} // namespace skin
