#pragma once
// TvlGridWnd and TvlGridEhWnd: the adapters of grid controls of component
// libraries (the "Grid" and "GridEh" kinds). Frame and scroll bars are the
// edit adapter's; the grid itself is recoloured through its published
// properties, found by name at run time, so that a grid lacking one is left
// alone on that point. Every value changed is read first and written back
// when the skin goes. Windows only.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vlEditWnd.h"

namespace skin {

// One recoloured property of a grid: a dotted path from the control
// ("ControlLook.FixedGradientFrom"), when it applies, what the skin gives
// it, and how its value is kept.
struct TvlGridRow {
    std::string Path;
    // The row applies to this control (checked on save, apply and restore);
    // empty: always.
    std::function<bool(vcl::TObject &Control)> Applies;
    // Checked again before the skin's value or the saved one is written;
    // empty: always.
    std::function<bool()> Writes;
    // The skin's value for it.
    std::function<std::int64_t()> Value;
    // Ordinals are kept as they read; colours are read as RGB, and a read
    // of clNone is kept as NoneAs.
    bool Ordinal = false;
    vcl::TColor NoneAs = vcl::clNone;
};

// The value at a dotted path of published properties: the object found by
// every step but the last and the last step's name; null when a step is
// missing.
vcl::TObject *ResolvePropertyPath(vcl::TObject *Control, std::string_view Path, std::string &LastName);
// The path ends in an ordinal property that exists.
bool HasPropertyPath(vcl::TObject *Control, std::string_view Path);
std::int64_t GetPathOrd(vcl::TObject *Control, std::string_view Path);
void SetPathOrd(vcl::TObject *Control, std::string_view Path, std::int64_t Value);

class TvlGridWnd : public TvlEditWnd {
public:
    ~TvlGridWnd() override;
    void SaveControlColors() override;
    void RestoreControlColors() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    bool KeepsVisualStyle(bool) const override { return true; }

    // What a row held before the skin's first apply.
    struct TSaved {
        std::string Path;
        std::int64_t Value = 0;
    };
    std::vector<TSaved> SavedRows;
    bool RowsSaved = false;

protected:
    // The rows of this adapter, with the skin's values of Manager.
    virtual std::vector<TvlGridRow> Rows(const TsSkinManager &Manager) const;
    // The saved value of a path; null when it was not saved.
    const TSaved *SavedOf(std::string_view Path) const;

private:
    void PrintClient(vcl::TMessage &Message);
    void VScroll(const vcl::TMessage &Message);
};

class TvlGridEhWnd : public TvlGridWnd {
public:
    ~TvlGridEhWnd() override;
    void RestoreControlColors() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // "dghFixed3D" stood in "OptionsEh" and the adapter took it out.
    bool Fixed3DRemoved = false;

protected:
    std::vector<TvlGridRow> Rows(const TsSkinManager &Manager) const override;
};

} // namespace skin
