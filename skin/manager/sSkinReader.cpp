// Reading a skin: the choice of its source (a packed file, a folder, a
// stored skin or the text an editor pushed), the version notices, the
// section table of a load and the reception of a pushed skin.
#include <cstring>
#include <new>

#include "sOptionsFile.h"
#include "sSkinCommands.h"
#include "sSkinImages.h"
#include "sSkinManager.h"
#include "sStoredSkins.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlCommonUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/SysUtils.h"
#include "vlSkinConvertor.h"

namespace skin {

namespace {

std::unique_ptr<TvlOptionsFile> OptionsOf(vcl::TMemoryStream &Text) {
    return std::make_unique<TvlOptionsFile>(
        std::string_view(reinterpret_cast<const char *>(Text.Memory()), static_cast<std::size_t>(Text.Size())));
}

void ShowFormatError(const std::string &SkinName) {
    vcl::ShowMessage("Internal format error in the \"" + SkinName +
                     "\" skin. Please, update this skin to latest version.");
}

} // namespace

// TvlSkinLoad: the section table and the whole run

TvlSkinLoad::TvlSkinLoad(TsSkinManager &Manager, const TvlOptionsFile &Options, TvlSkinConvertor *Convertor,
                         std::string SkinPath)
    : TvlMaskTableReader(Manager, Options), FManager(Manager), FConvertor(Convertor), FSkinPath(std::move(SkinPath)) {
    Data.SkinPath = FSkinPath;
    Data.Version = ReadSkinVersion(FOptions);
}

void TvlSkinLoad::ReadSectionTable(int FrameWidth) {
    ReadGlobalInfo(FOptions, Data, FrameWidth);
    OutEffects = ReadOuterEffects(FOptions);
    LoadOuterEffectMask(OutEffects[1], "SH_MASK");
    LoadOuterEffectMask(OutEffects[0], "LO_MASK");
    ReadTabsCovering(FOptions, Data);
    Sections = ReadSections(FOptions);
    AddCommonSections(*FManager.CommonSections(), Sections);
    Colors = ReadSkinColors(FOptions, Sections);
    AddTransparentSection(Sections, Colors[scGlobalFontColor]);
    FManager.ApplyColorEffectsToTables(Sections, Colors, Master.get(), Masks, ExtImages, Data);
}

void TvlSkinLoad::Run(int FrameWidth) {
    LoadSkinImages();
    ReadSectionTable(FrameWidth);
    CacheCommonElements(Elements, Sections, Masks);
}

// TsSkinManager: reading

void TsSkinManager::CheckSkinVersion(double Version) {
    // Once per load, though both readers check: the same modal notice twice
    // for one skin change would make the user dismiss one message twice.
    if (FVersionNoticeShown) return;
    if (Version < 7.45 && Designing()) {
        FVersionNoticeShown = true;
        vcl::ShowMessage("You are using an old version of the \"" + FSkinName + "\" skin. " +
                         "Please, update skins to latest or contact the Velvetine support for upgrading of existing "
                         "skin.\r\n\r\nThis notification occurs in design-time only for your information and will "
                         "not occur in real-time.");
    } else if (Version > 10.99) {
        FVersionNoticeShown = true;
        const bool dialogs = FSkinningRules.Contains(srStdDialogs);
        FSkinningRules.Exclude(srStdDialogs);  // the notice itself stays unskinned
        vcl::MessageDlg("This version of the skin has not complete support by used Velvetine package release.\r\n"
                        "Components must be updated to latest version for using this skin.",
                        vcl::mtWarning, {vcl::mbOK}, 0);
        if (dialogs) FSkinningRules.Include(srStdDialogs);
    }
}

void TsSkinManager::ReadFromOptions(std::unique_ptr<TvlOptionsFile> Options,
                                    std::unique_ptr<TvlSkinConvertor> Convertor, const std::string &SkinPath) {
    FVersionNoticeShown = false;
    TvlSkinLoad load(*this, *Options, Convertor.get(), SkinPath);
    CheckSkinVersion(load.Data.Version);
    try {
        load.Run(GetSystemMetrics(SM_CXFRAME));
    } catch (const std::bad_alloc &) {
        throw vcl::EInvalidGraphic("Not enough memory to read the skin \"" + FSkinName + "\"");
    } catch (const vcl::Exception &) {
        throw;
    } catch (const std::exception &e) {
        // Whatever a reader below lets through is reported like the rest.
        throw vcl::EReadError("The skin \"" + FSkinName + "\" cannot be read: " + e.what());
    }

    // The whole skin was read: it replaces the tables of the one before.
    FreeSkinImages();
    MasterBitmap = std::move(load.Master);
    Masks = std::move(load.Masks);
    ExtImages = std::move(load.ExtImages);
    Sections = std::move(load.Sections);
    SkinColors = load.Colors;
    OutEffects = std::move(load.OutEffects);
    CommonElements = std::move(load.Elements);
    StdSectionIndexes = CommonElements.StdSectionIndexes;
    MainColor = SkinColors[scGlobalColor];
    const bool active = SkinData->Active;
    *SkinData = load.Data;
    SkinData->Active = active;
    PrepareExtBorderImages();
    if (OnSkinLoading) OnSkinLoading(this);
}

bool TsSkinManager::ReadSkin() {
    if (!FActive) return false;
    TvlLoadingScope loading;
    const std::string skinPath = ResolveSkinDirectory() + FSkinName + "\\";
    const std::string optionsFile = skinPath + "Options.dat";

    if (FPushedOptions) {
        ReadFromOptions(std::make_unique<TvlOptionsFile>(std::string_view(*FPushedOptions)), nullptr, skinPath);
        return true;
    }
    if (vcl::FileExists(optionsFile)) {
        IsPacked = false;
        ReadFromOptions(OptionsOf(*ReadSkinFile(optionsFile)), nullptr, skinPath);
        return true;
    }

    // A stored skin: the one of that name, else the first one.
    int index = FInternalSkins->IndexOf(FSkinName);
    if (index < 0 && FInternalSkins->Count() > 0) {
        FSkinName = FInternalSkins->Items(0)->Name;
        index = 0;
    }
    // No skin at all (or only an empty stored one): the manager switches off.
    if (index < 0 || FInternalSkins->Items(index)->Data().Size() == 0) {
        FActive = false;
        return true;
    }
    auto convertor = std::make_unique<TvlSkinConvertor>();
    convertor->Source = &FInternalSkins->Items(index)->Data();  // borrowed: the stored skin keeps it
    const bool unpacked = UnpackSkinStream(*convertor, this);
    convertor->Source = nullptr;
    if (!unpacked) return false;  // the unpacker has told the user
    if (!convertor->Options) {
        ShowFormatError(FSkinName);
        return false;
    }
    IsPacked = true;
    auto options = OptionsOf(*convertor->Options);
    ReadFromOptions(std::move(options), std::move(convertor), std::string());
    return true;
}

bool TsSkinManager::ReadPackedSkin() {
    if (!FActive) return false;
    TvlLoadingScope loading;
    const std::string fileName = PackedFileName();
    if (!vcl::FileExists(fileName)) {
        ShowFormatError(FSkinName);
        return false;
    }
    auto convertor = std::make_unique<TvlSkinConvertor>();
    convertor->OwnedSource = ReadSkinFile(fileName);
    convertor->Source = convertor->OwnedSource.get();
    const bool unpacked = UnpackSkinStream(*convertor, this);
    convertor->Source = nullptr;
    convertor->OwnedSource.reset();
    // A file that did not unpack has no options either: after the
    // unpacker's own error the reader says that it cannot read this skin.
    if (!unpacked || !convertor->Options) {
        ShowFormatError(FSkinName);
        return false;
    }
    auto options = OptionsOf(*convertor->Options);
    ReadFromOptions(std::move(options), std::move(convertor), ResolveSkinDirectory());
    return true;
}

// Made absolute against the program's folder, as the folder skins are:
// taken as it stands, a relative directory would find the packed files only
// when the program happens to start in its own folder (not from a shortcut
// that starts it elsewhere), and a folder skin but not its packed twin.
std::string TsSkinManager::PackedFileName() const { return ResolveSkinDirectory() + FSkinName + ".gmz"; }

bool TsSkinManager::ChoosePackedSource() const {
    // An editor's preview shows the folder it works in, even beside a
    // packed file of the same name.
    if (ModuleState().PreviewMode && vcl::DirectoryExists(ResolveSkinDirectory() + FSkinName)) return false;
    return vcl::FileExists(PackedFileName());
}

bool TsSkinManager::ReadCurrentSkin() {
    IsPacked = ChoosePackedSource();
    return IsPacked ? ReadPackedSkin() : ReadSkin();
}

bool TsSkinManager::ReadCurrentSkinReporting() {
    try {
        return ReadCurrentSkin();
    } catch (const vcl::Exception &e) {
        ShowError(e.Message());
    } catch (const std::exception &e) {
        ShowError(e.what());
    }
    return false;
}

// A pushed skin

bool TsSkinManager::ReceivePushedSkin(vcl::TMessage &Message) {
    // Only one push is taken at a time, even from nested message loops.
    bool &takingPush = ModuleState().TakingPush;
    if (Message.Result != 0 || takingPush) return false;
    takingPush = true;
    const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(Message.LParam);
    if (data && Message.WParam == 7 && IsPushedSkinBlock(data->lpData, data->cbData)) {
        std::memcpy(PushedSkin.data(), data->lpData, PushedSkin.size());
        PostMessageW(vcl::Application->Handle(), SM_SKINCOMMAND, SkinCommand(SC_APPLY_PUSHED_SKIN), 0);
        Message.Result = 1;
    }
    takingPush = false;
    return true;
}

void TsSkinManager::ApplyPushedSkin(const TvlPushedSkinBlock &Block) {
    const std::optional<TvlPushedSkin> pushed = ReadPushedSkin(Block);
    if (!pushed) return;
    ModuleState().PreviewMode = true;
    BeginUpdate();
    FPushedOptions = pushed->Options;
    SetSkinDirectory(CodePageToUtf8(pushed->SkinDirectory));
    SetSkinName(CodePageToUtf8(pushed->SkinName));
    EndUpdate(true, false);
    FPushedOptions.reset();
}

} // namespace skin
