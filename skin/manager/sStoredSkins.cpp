#include "sStoredSkins.h"

#include "sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Dialogs.h"
#include "vcl/TypInfo.h"
#include "vlSkinConvertor.h"

namespace skin {

VCL_PUBLISHED(TsStoredSkin, p) {
    p.Property("Name", &TsStoredSkin::Name);
    p.Property("Author", &TsStoredSkin::Author);
    p.Property("Description", &TsStoredSkin::Description);
    p.Property("Shadow1Blur", &TsStoredSkin::Shadow1Blur).Default(-1);
    p.Property("Shadow1Offset", &TsStoredSkin::Shadow1Offset);
    p.Property("Shadow1Transparency", &TsStoredSkin::Shadow1Transparency);
    p.Property("BorderColor", &TsStoredSkin::BorderColor).Default(vcl::clFuchsia).Idents(vcl::ColorIdents);
    p.Property("Shadow1Color", &TsStoredSkin::Shadow1Color).Idents(vcl::ColorIdents);
    p.Property("Version", &TsStoredSkin::Version);
    p.Property("MasterBitmap", &TsStoredSkin::MasterBitmap);
}

VCL_CLASS_INFO(TsStoredSkins)

TsStoredSkin::TsStoredSkin(vcl::TCollection *Collection)
    : vcl::TCollectionItem(Collection), FMasterBitmap(std::make_unique<vcl::TBitmap>()),
      FData(std::make_unique<vcl::TMemoryStream>()) {}

TsStoredSkin::~TsStoredSkin() = default;

void TsStoredSkin::Assign(const vcl::TPersistent *Source) {
    const auto *other = dynamic_cast<const TsStoredSkin *>(Source);
    if (!other) {
        vcl::TCollectionItem::Assign(Source);
        return;
    }
    if (other == this) return;  // clearing first would lose the data
    FData->Clear();
    FData->CopyFrom(*other->FData);  // the whole stream, wherever it stands
    FData->SetPosition(0);
    FMasterBitmap->Assign(other->FMasterBitmap.get());
    Name = other->Name;
    Author = other->Author;
    Version = other->Version;
    BorderColor = other->BorderColor;
    Description = other->Description;
    Shadow1Blur = other->Shadow1Blur;
    Shadow1Color = other->Shadow1Color;
    Shadow1Offset = other->Shadow1Offset;
    Shadow1Transparency = other->Shadow1Transparency;
}

void TsStoredSkin::DefineProperties(vcl::TFiler &Filer) {
    vcl::TCollectionItem::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](vcl::TStream &s) { FData->LoadFromStream(s); },
        [this](vcl::TStream &s) { FData->SaveToStream(s); }, true);
}

TsStoredSkins::TsStoredSkins(TsSkinManager *Owner)
    : vcl::TCollection(TsStoredSkin::StaticClassInfo(), Owner), FManager(Owner) {}

TsStoredSkins::~TsStoredSkins() { FManager = nullptr; }

int TsStoredSkins::IndexOf(const std::string &Name) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name == Name) return i;
    return -1;
}

void TsStoredSkins::Update(vcl::TCollectionItem *Item) {
    vcl::TCollection::Update(Item);
    if (FManager && FManager->OnSkinListChanged) FManager->OnSkinListChanged(FManager);
}

namespace {

// Takes srStdDialogs and ChangeSysColors away from the manager for the time
// of a message, so that the message is neither skinned nor recoloured.
class TSuspendedDialogSkinning {
public:
    explicit TSuspendedDialogSkinning(TsSkinManager *Manager) : FManager(Manager) {
        if (!FManager) return;
        FHadDialogs = FManager->SkinningRules().Contains(srStdDialogs);
        FManager->SetSkinningRules(FManager->SkinningRules() - TvlSkinningRules{srStdDialogs});
        FHadSysColors = FManager->Options()->GetFlag(ofChangeSysColors);
        FManager->Options()->SetFlag(ofChangeSysColors, false);
    }
    ~TSuspendedDialogSkinning() {
        if (!FManager) return;
        if (FHadDialogs) FManager->SetSkinningRules(FManager->SkinningRules() + TvlSkinningRules{srStdDialogs});
        FManager->Options()->SetFlag(ofChangeSysColors, FHadSysColors);
    }
    TSuspendedDialogSkinning(const TSuspendedDialogSkinning &) = delete;
    TSuspendedDialogSkinning &operator=(const TSuspendedDialogSkinning &) = delete;

private:
    TsSkinManager *FManager;
    bool FHadDialogs = false;
    bool FHadSysColors = false;
};

} // namespace

bool UnpackSkinStream(TvlSkinConvertor &Convertor, TsSkinManager *Manager) {
    if (UnpackSkinData(Convertor)) return true;
    TSuspendedDialogSkinning suspended(Manager);
    vcl::MessageDlg("Loaded data is not a packed Glimmora file", vcl::mtError, {vcl::mbOK}, 0);
    return false;
}

} // namespace skin
