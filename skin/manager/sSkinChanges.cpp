// Switching a skin on, changing it, reading it again and switching it off:
// the setters that start a change, the update bracket, and the steps of
// applying and removing a skin.
#include <algorithm>

#include "sMessages.h"
#include "sSkinCommands.h"
#include "sSkinManager.h"
#include "sSkinMeasures.h"
#include "sSkinQueries.h"
#include "sSysColors.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Bitmap.h"

namespace skin {

namespace {

// A setter lets nothing out: what a receiver or an event handler raises
// is shown in the error dialog, as a skin that cannot be read is.
template <class F> void Reporting(F Step) {
    try {
        Step();
    } catch (const vcl::Exception &e) {
        ShowError(e.Message());
    } catch (const std::exception &e) {
        ShowError(e.what());
    }
}

} // namespace

void TsSkinManager::BroadcastCommand(unsigned SubCommand) {
    BroadcastToForms({SM_SKINCOMMAND, SkinCommand(SubCommand), reinterpret_cast<LPARAM>(this), 0});
}

void TsSkinManager::SetSkinName(const std::string &Value) { ChangeSkin(Value); }

bool TsSkinManager::ChangeSkin(const std::string &Value) {
    const std::string previous = FSkinName;
    FSkinName = Value;
    if (!FActive) return false;
    bool read = false;
    TSkinChangePreparation preparation;
    Reporting([&] {
        if (OnBeforeChange) OnBeforeChange(this);
        if (GetExtendedBorders() && !UpdatingFlag && FAnimEffects->SkinChanging->Active && FEffects->AllowAnimation)
            preparation = PrepareFormsForSkinChange(*this);
        const bool wasActive = SkinData->Active;
        {
            // Up until the new skin is applied everywhere, down before the
            // after-change event.
            TvlLoadingScope loading;
            SetSkinDataActive(false);
            FSkinName = StripPackedExtension(Value);
            read = ReadCurrentSkinReporting();
            if (!read) {
                // The skin before stays whole and stays what is applied: a
                // read error is never followed by "applied".
                FSkinName = previous;
                SetSkinDataActive(wasActive);
            } else if (FActive) {
                if (!UpdatingFlag) BroadcastSkinApplied(true);
                if (OnActivate && !Designing() && !LoadingOrReading()) OnActivate(this);
            } else {
                BroadcastSkinRemoved();
                if (OnActivate && !Designing()) OnActivate(this);
            }
        }
        if (OnAfterChange) OnAfterChange(this);
    });
    // Only an applied skin's broadcast finishes what the preparation raised:
    // a read that failed or switched the manager off leaves it to this.
    if (!(read && FActive)) CancelFormsSkinChange(*this, preparation);
    return read;
}

void TsSkinManager::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        // The flag follows what is applied: a skin that cannot be read
        // leaves the manager off, as it was.
        if (!ChangeSkin(FSkinName)) FActive = false;
    } else if (!FSkinName.empty()) {
        Reporting([&] {
            if (!ComponentState().Contains(vcl::csLoading)) BroadcastSkinRemoved();
            CacheCommonElements();
            if (OnDeactivate && !Designing()) OnDeactivate(this);
        });
    }
}

void TsSkinManager::SetSkinDirectory(const std::string &Value) {
    if (FSkinDirectory == Value) return;
    FSkinDirectory = Value;
    SkinData->SkinPath = ResolveSkinDirectory();
    if (OnSkinListChanged) Reporting([&] { OnSkinListChanged(this); });
}

void TsSkinManager::SetCommonSections(const vcl::TStrings *Value) {
    vcl::Updating(*FCommonSections, [&] {
        FCommonSections->Clear();
        if (!Value) return;
        for (int i = 0; i < Value->Count(); ++i) {
            std::string line = Value->Strings(i);
            if (!line.empty() && line[0] != ';') line = DeleteChars(line, ' ');
            FCommonSections->Add(line);
        }
    });
    SetSkinName(FSkinName);
}

void TsSkinManager::SetSkinnedPopups(bool Value) {
    if (FSkinnedPopups == Value) return;
    FSkinnedPopups = Value;
    if (Designing() || DefaultManager() != this) return;
    if (Value)
        SkinableMenus().ApplyToAllForms();
    else
        SkinableMenus().SetActive(false);
}

void TsSkinManager::SetHueOffset(int Value) {
    if (FHueOffset == Value) return;
    FHueOffset = Value;
    ReloadSkin();
}

void TsSkinManager::SetSaturation(int Value) {
    if (FSaturation == Value) return;
    FSaturation = Value;
    ReloadSkin();
}

void TsSkinManager::SetBrightness(int Value) {
    Value = std::clamp(Value, -100, 100);
    if (FBrightness == Value) return;
    FBrightness = Value;
    ReloadSkin();
}

bool TsSkinManager::GetExtendedBorders() const { return FExtendedBorders && LayeredWindowsAvailable(); }

void TsSkinManager::SetExtendedBorders(bool Value) {
    if (FExtendedBorders == Value) return;
    FExtendedBorders = Value;
    if (!SkinData->Active) return;
    {
        TvlLoadingScope loading;  // its earlier value back on every way out
        PrepareExtBorderImages();
        ReadCurrentSkinReporting();
    }
    // A read that failed has kept the tables it found whole: repainting with them is safe.
    if (!LoadingOrReading() && !Designing()) Reporting([&] { RepaintAllSkinned(true); });
}

void TsSkinManager::ReloadSkin() {
    if (!FActive || LoadingOrReading()) return;
    Reporting([&] {
        TvlLoadingScope loading;  // up through the after-change event too
        ReadCurrentSkinReporting();
        if (OnAfterChange) OnAfterChange(this);
    });
    if (!UpdatingFlag) Reporting([&] { RepaintAllSkinned(true); });
}

void TsSkinManager::EndUpdate(bool Repaint, bool Animated) {
    UpdatingFlag = false;
    TvlSkinChanging &changing = *FAnimEffects->SkinChanging;
    const bool animation = changing.Active;
    if (!Animated) changing.Active = false;
    Reporting([&] { UpdateSkin(Repaint); });
    changing.Active = animation;
}

void TsSkinManager::UpdateSkin(bool Repaint) {
    if (FActive) BroadcastSkinApplied(Repaint);
}

void TsSkinManager::CacheCommonElements() {
    skin::CacheCommonElements(CommonElements, Sections, Masks);
    StdSectionIndexes = CommonElements.StdSectionIndexes;
    PrepareExtBorderImages();
}

void TsSkinManager::BroadcastSkinApplied(bool Repaint) {
    if (LoadingOrReading()) return;
    // Only a skin that was read can be applied: empty tables stay unannounced.
    if (Sections.empty()) return;
    if (DefaultManager() == this) GlowService().ClearGlows(true);
    const bool lock = !Designing() && Repaint;
    if (lock) LockFormsForSkinChange(*this);
    try {
        SkinableMenus().ResetSectionCache();
        SetSkinDataActive(false);
        CacheCommonElements();
        BroadcastCommand(SC_SKIN_APPLIED);
        SetSkinDataActive(true);
        if (DefaultManager() == this && !HooksInstalled) InstallSkinHooks();
        if (Repaint) RepaintAllSkinned(false);
    } catch (...) {
        // Forms whose redraw was stopped for the change get it back.
        if (lock) FinishFormsSkinChange(*this, false);
        throw;
    }
}

void TsSkinManager::BroadcastSkinRemoved() {
    struct TRemoving {
        bool &Flag;
        ~TRemoving() { Flag = false; }
    } removing{IsRemoving = true};
    GlowService().ClearGlows(true);
    RemoveSkinHooks();
    SetSkinDataActive(false);
    BroadcastCommand(SC_SKIN_REMOVED);
    FreeSkinImages();
    Sections.clear();
}

void TsSkinManager::RepaintAllSkinned(bool Animate) {
    if (!Designing()) BroadcastCommand(SC_STOP_ANIMATION);
    if (ComponentState().Contains(vcl::csLoading)) {
        BroadcastCommand(SC_SKIN_REFRESH);
    } else {
        if (Animate) LockFormsForSkinChange(*this);
        BroadcastCommand(SC_SKIN_REFRESH);
        FinishFormsSkinChange(*this, !UpdatingFlag);
    }
    ForEachHookedDialog([](TvlHookedDialog &Dialog) {
        if (HWND window = Dialog.DialogWindow(); window && IsWindowVisible(window))
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    });
}

void TsSkinManager::FreeSkinImages() {
    // Pictures shared with the external-image table go with the last owner.
    while (!Masks.empty()) Masks.pop_back();
    FreeExternalImages();
    MasterBitmap.reset();
}

void TsSkinManager::FreeExternalImages() { ExtImages.clear(); }

void TsSkinManager::LoadThirdPartyLists(bool Reset) {
    for (std::size_t kind = 0; kind < ThirdPartyKindCount; ++kind) {
        const int index = static_cast<int>(kind);
        if (Reset || FThirdParty->GetThirdList(index).empty())
            FThirdParty->SetThirdList(index, std::string(DefaultThirdPartyLists[kind]));
        ThirdPartyLists[kind]->SetText(FThirdParty->GetThirdList(index));
    }
}

void TsSkinManager::SaveThirdPartyLists() {
    for (std::size_t kind = 0; kind < ThirdPartyKindCount; ++kind)
        FThirdParty->SetThirdList(static_cast<int>(kind), ThirdPartyLists[kind]->Text());
}

namespace {

// Frame Index of an extended-border image, or null when it has none.
std::unique_ptr<vcl::TBitmap> BorderFrame(const TsMaskData &Mask, int Index) {
    const int w = GetMaskFrameWidth(Mask), h = GetMaskFrameHeight(Mask);
    const vcl::TBitmapView from = MaskImage(Mask);
    if (w < 1 || h < 1 || !from.HasRows()) return nullptr;
    auto frame = std::make_unique<vcl::TBitmap>();
    frame->SetPixelFormat(vcl::pf32bit);
    frame->SetSize(w, h);
    const vcl::TBitmapView to = frame->View();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = Mask.R.Left + Index * w + x, sy = Mask.R.Top + y;
            to.At(x, y) = sx >= 0 && sy >= 0 && sx < from.Width && sy < from.Height ? from.At(sx, sy) : 0;
        }
    return frame;
}

std::unique_ptr<vcl::TBitmap> CopyOf(const vcl::TBitmap &Bitmap) {
    auto copy = std::make_unique<vcl::TBitmap>();
    copy->Assign(&Bitmap);
    return copy;
}

} // namespace

void TsSkinManager::PrepareExtBorderImages() {
    ExtBorderMargins = {};
    ExtBorderImages[0].reset();
    ExtBorderImages[1].reset();
    // An extended-border picture without pixels (the load takes its rect
    // only where it lies in its image, but an empty one does) has no frames:
    // the skin has none, for the frames and for the slicing of the forms'
    // borders alike.
    if (const int exBorder = CommonElements.ExBorder;
        IsValidMaskIndex(exBorder) && Masks[static_cast<std::size_t>(exBorder)].R.IsEmpty())
        CommonElements.ExBorder = -1;
    if (!FActive || !GetExtendedBorders()) return;
    const int exBorder = CommonElements.ExBorder;
    if (IsValidMaskIndex(exBorder)) {
        const TsMaskData &m = Masks[static_cast<std::size_t>(exBorder)];
        // The form's own border (FORMOFFSET) lies inside the image: with a
        // border mode the image reaches that far beyond the form on every
        // side, else as far as its margins reach past that border.
        ExtBorderMargins = ExtBorderMarginsOf(m, SkinData->FormOffset, SkinData->BorderMode);
        ExtBorderImages[0] = BorderFrame(m, 0);
        ExtBorderImages[1] = m.ImageCount > 1 ? BorderFrame(m, 1)
                                              : (ExtBorderImages[0] ? CopyOf(*ExtBorderImages[0]) : nullptr);
    } else if (const TvlModuleState &state = ModuleState(); state.ShadowActive && state.ShadowInactive) {
        ExtBorderImages[0] = CopyOf(*state.ShadowInactive);
        ExtBorderImages[1] = CopyOf(*state.ShadowActive);
        ExtBorderMargins = {9, 9, 9, 9};
    }
}

} // namespace skin
