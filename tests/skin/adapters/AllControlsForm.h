#pragma once
// A test form with every plain window class and every class-library
// control that the window adapters skin, on an MDI parent with two
// children, under a manager with our stored skin. Each control family is
// added by a function of its own; each window added is listed with the
// adapter class that is to serve it. Class-library controls are adapted by
// the form provider (its ThirdParty lists name their classes); plain
// windows get their adapter from the factory by kind, as the window hook
// would give them. Windows only; the benchmarks use it too.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "skin/adapters/vlSBUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "vcl/Forms.h"

namespace vcl {
class TBitmap;
class TCustomImageList;
}

namespace skin::test {

class AllControlsForm {
public:
    // One window and who is to serve it.
    struct Entry {
        std::string Name;
        HWND Plain;                     // a plain window, or null
        vcl::TWinControl *Control;      // a class-library control (its window may be made again), or null
        const std::type_info *Adapter;  // the adapter's exact class; null: none is to serve it
        HWND Window() const;
    };

    // Shown false: every window is made and adapted while the form stays
    // hidden, as it is before its first show; it is no MDI parent then.
    explicit AllControlsForm(TsSkinManager &Manager, bool Shown = true);
    ~AllControlsForm();
    AllControlsForm(const AllControlsForm &) = delete;
    AllControlsForm &operator=(const AllControlsForm &) = delete;

    // The adapters of the plain windows made (again) or taken away, as a
    // window hook would when the skin comes and goes.
    void AdaptPlainWindows();
    void FreePlainWindowAdapters();
    // Everything painted now.
    void Redraw() const;

    vcl::TForm &Form() const { return *FForm; }
    TsSkinProvider &Provider() const { return *FProvider; }
    const std::vector<Entry> &Entries() const { return FEntries; }

private:
    // The families.
    void AddEditFamily();
    void AddListsAndCombos();
    void AddScrollBarsAndButtons();
    void AddGrids();
    void AddMDIChildren();
    void AddStaticFamily();
    void AddContainers();
    void AddButtonFamily();
    void AddTabs();
    void AddBars();

    // A class-library control listed under Kind in the provider's lists.
    // Inside Parent (the form when null; only the form's children move down
    // below the tool bar).
    template <class C>
    C *AddControl(C *Control, int Kind, int X, int Y, int W, int H, const std::type_info &Adapter,
                  vcl::TWinControl *Parent = nullptr);
    // A plain window whose adapter the factory makes by Kind; AsDialogChild:
    // the kind a system dialog's child of its class and style gets.
    static constexpr int AsDialogChild = -1;
    HWND AddWindow(const wchar_t *Class, DWORD Style, DWORD ExStyle, int X, int Y, int W, int H, int Kind,
                   const std::type_info &Adapter, const std::string &Name);
    void ListClass(int Kind, const std::string &ClassName);

    TsSkinManager &FManager;
    std::unique_ptr<vcl::TForm> FForm;
    TsSkinProvider *FProvider = nullptr;  // owned by the form
    std::vector<Entry> FEntries;
    struct Plain {
        HWND Window;
        int Kind;
    };
    std::vector<Plain> FPlain;
    std::vector<std::unique_ptr<TvlWindowAdapter>> FPlainAdapters;
    std::vector<std::string> FLists;  // the provider's ThirdParty texts by kind
    std::vector<std::unique_ptr<vcl::TBitmap>> FPictures;  // glyphs and the bitmap static's picture
    vcl::TCustomImageList *FImages = nullptr;               // the tool bar's, owned by the form
};

} // namespace skin::test
