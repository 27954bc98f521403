#pragma once
// Skins stored in a form's description: the manager's collection
// InternalSkins of TsStoredSkin items, each holding a packed skin as its
// binary block "Data". And UnpackSkinStream, which unpacks such data (or a
// packed file) and tells the user when it is not a packed skin at all.
// Windows only.
#include <memory>
#include <string>

#include "vcl/Collection.h"
#include "vcl/Streams.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsSkinManager;
class TvlSkinConvertor;

class TsStoredSkin : public vcl::TCollectionItem {
    VCL_CLASS(TsStoredSkin, vcl::TCollectionItem)
public:
    explicit TsStoredSkin(vcl::TCollection *Collection);
    ~TsStoredSkin() override;

    // From another stored skin: its whole packed data (from its start), its
    // bitmap and its descriptive values.
    void Assign(const vcl::TPersistent *Source) override;
    // The packed data as the binary property "Data", always written.
    void DefineProperties(vcl::TFiler &Filer) override;
    std::string DisplayName() const override { return Name; }

    std::string Name;
    std::string Author;
    std::string Description;
    std::int32_t Shadow1Blur = -1;
    std::int32_t Shadow1Offset = 0;
    std::int32_t Shadow1Transparency = 0;
    vcl::TColor BorderColor = vcl::clFuchsia;
    vcl::TColor Shadow1Color = 0;
    double Version = 0;
    vcl::TBitmap *MasterBitmap() const { return FMasterBitmap.get(); }
    vcl::TMemoryStream &Data() const { return *FData; }

private:
    std::unique_ptr<vcl::TBitmap> FMasterBitmap;
    std::unique_ptr<vcl::TMemoryStream> FData;
};

class TsStoredSkins : public vcl::TCollection {
    VCL_CLASS(TsStoredSkins, vcl::TCollection)
public:
    explicit TsStoredSkins(TsSkinManager *Owner);
    // Lets the owner go first, so that no change reaches a manager that is
    // being destroyed.
    ~TsStoredSkins() override;

    TsStoredSkin *Items(int Index) const { return static_cast<TsStoredSkin *>(TCollection::Items(Index)); }
    // The first item of exactly that name (case-sensitive); -1 when none.
    int IndexOf(const std::string &Name) const;

protected:
    // Every change is announced to the owner's OnSkinListChanged.
    void Update(vcl::TCollectionItem *Item) override;

private:
    TsSkinManager *FManager;  // not owned: the manager owns the collection
};

// Unpacks Convertor.Source (UnpackSkinData). When the data is not a packed
// skin, the message "Loaded data is not a packed Glimmora file" is shown,
// unskinned and without system-colour interception, and the answer is false.
// Damaged contents raise the container's errors.
bool UnpackSkinStream(TvlSkinConvertor &Convertor, TsSkinManager *Manager);

} // namespace skin
