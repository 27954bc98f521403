// The manager's settings that reach beyond its tables: the screen-scale
// class from the user's registry, the scroll-bar width, the events of the
// skin list, stored skins copied, the unpacker's message shown plain, the
// option setters that refresh the forms, and the colour interception
// switched while the hooks are in.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/manager/sSysColors.h"
#include "skin/manager/vlSkinConvertor.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

class ManagerSettings : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
};

// The user's "AppliedDPI" for a scope; what was there before comes back.
class AppliedDpi {
public:
    AppliedDpi() {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &FKey, nullptr);
        DWORD size = sizeof FSaved;
        FHad = RegQueryValueExW(FKey, Name, nullptr, &FType, reinterpret_cast<BYTE *>(&FSaved), &size) == ERROR_SUCCESS;
    }
    ~AppliedDpi() {
        if (FHad)
            RegSetValueExW(FKey, Name, 0, FType, reinterpret_cast<const BYTE *>(&FSaved), sizeof FSaved);
        else
            RegDeleteValueW(FKey, Name);
        RegCloseKey(FKey);
    }
    AppliedDpi(const AppliedDpi &) = delete;
    AppliedDpi &operator=(const AppliedDpi &) = delete;

    void Set(DWORD Value) {
        ASSERT_EQ(RegSetValueExW(FKey, Name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&Value), sizeof Value),
                  ERROR_SUCCESS);
    }
    void Remove() { RegDeleteValueW(FKey, Name); }

private:
    static constexpr const wchar_t *Name = L"AppliedDPI";
    HKEY FKey = nullptr;
    bool FHad = false;
    DWORD FType = REG_DWORD;
    DWORD FSaved = 0;
};

TEST_F(ManagerSettings, ScreenScaleClassComesFromTheUsersAppliedDpi) {
    AppliedDpi dpi;
    for (const auto &[value, scale] : {std::pair{96, 0}, std::pair{119, 0}, std::pair{120, 1}, std::pair{143, 1},
                                       std::pair{144, 2}, std::pair{192, 2}}) {
        dpi.Set(static_cast<DWORD>(value));
        EXPECT_EQ(NewManager()->DPIClass, scale) << value;
    }
    dpi.Remove();
    EXPECT_EQ(NewManager()->DPIClass, 0);
}

TEST_F(ManagerSettings, ScrollBarWidthIsTheManagersUnlessNegative) {
    const int system = GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_GT(system, 3);
    EXPECT_EQ(ScrollBarWidth(nullptr), system);
    EXPECT_EQ(ScrollBarWidthAtLeastSystem(nullptr), system);
    ManagerPtr m = NewManager();
    EXPECT_EQ(ScrollBarWidth(m.get()), system);  // -1: the system's
    m->ScrollsOptions()->SetScrollSize(system - 3);
    EXPECT_EQ(ScrollBarWidth(m.get()), system - 3);
    EXPECT_EQ(ScrollBarWidthAtLeastSystem(m.get()), system);
    m->ScrollsOptions()->SetScrollSize(system + 9);
    EXPECT_EQ(ScrollBarWidth(m.get()), system + 9);
    EXPECT_EQ(ScrollBarWidthAtLeastSystem(m.get()), system + 9);
    m->ScrollsOptions()->SetScrollSize(0);
    EXPECT_EQ(ScrollBarWidth(m.get()), 0);
}

struct EventCounter {
    int Count = 0;
    void Tick(vcl::TObject *) { ++Count; }
};

TEST_F(ManagerSettings, SkinListChangesAreToldForTheDirectoryAndTheStoredSkins) {
    EventCounter changes;
    {
        ManagerPtr m = NewManager();
        m->OnSkinListChanged = vcl::TNotifyEvent::Bind<&EventCounter::Tick>(&changes);
        m->SetSkinDirectory(m->SkinDirectory());
        EXPECT_EQ(changes.Count, 0);
        m->SetSkinDirectory("skins");
        EXPECT_EQ(changes.Count, 1);
        EXPECT_EQ(m->SkinData->SkinPath, AppFolder() + "skins\\");
        EXPECT_EQ(m->SkinName(), "");  // nothing is read

        AddStoredSkin(*m, "One", {});
        EXPECT_EQ(changes.Count, 2);
        m->InternalSkins()->BeginUpdate();
        AddStoredSkin(*m, "Two", {});
        AddStoredSkin(*m, "Three", {});
        m->InternalSkins()->EndUpdate();
        EXPECT_EQ(changes.Count, 3);
        m->InternalSkins()->Delete(0);
        EXPECT_EQ(changes.Count, 4);
    }
    EXPECT_EQ(changes.Count, 4);  // a manager that goes tells nothing of its stored skins going
}

TEST_F(ManagerSettings, StoredSkinCopiesTakeTheWholeDataWhereverItStands) {
    ManagerPtr m = NewManager();
    const Bytes data = TestSkin{}.Packed();
    AddStoredSkin(*m, "Source", data);
    TsStoredSkin &source = *m->InternalSkins()->Items(0);
    source.Author = "A";
    source.Description = "D";
    source.Version = 9.5;
    source.BorderColor = 0x112233;
    source.Shadow1Blur = 4;
    source.Shadow1Color = 0x445566;
    source.Shadow1Offset = 2;
    source.Shadow1Transparency = 30;
    source.MasterBitmap()->SetSize(3, 2);
    source.Data().SetPosition(source.Data().Size());  // read to its end

    auto *copy = static_cast<TsStoredSkin *>(m->InternalSkins()->Add());
    copy->Assign(&source);
    EXPECT_EQ(StreamBytes(copy->Data()), data);
    EXPECT_EQ(copy->Data().Position(), 0);
    EXPECT_EQ(copy->Name, "Source");
    EXPECT_EQ(copy->Author, "A");
    EXPECT_EQ(copy->Description, "D");
    EXPECT_EQ(copy->Version, 9.5);
    EXPECT_EQ(copy->BorderColor, 0x112233);
    EXPECT_EQ(copy->Shadow1Blur, 4);
    EXPECT_EQ(copy->Shadow1Color, 0x445566);
    EXPECT_EQ(copy->Shadow1Offset, 2);
    EXPECT_EQ(copy->Shadow1Transparency, 30);
    EXPECT_EQ(copy->MasterBitmap()->Width(), 3);
    EXPECT_NE(copy->MasterBitmap(), source.MasterBitmap());

    // Onto itself it stays whole.
    copy->Assign(copy);
    EXPECT_EQ(StreamBytes(copy->Data()), data);
    EXPECT_THROW(copy->Assign(m->Options()), vcl::EConvertError);

    // A second manager given the collection reads the copied skin.
    ManagerPtr second = NewManager();
    second->SetInternalSkins(m->InternalSkins());
    ASSERT_EQ(second->InternalSkins()->Count(), 2);
    second->SetSkinName("Source");
    EXPECT_EQ(second->GetSkinInfo(), "10");
}

// Runs on the UI thread while a message form of this process is shown:
// Seen sees the manager then, and the form is closed.
struct WhileMessageShown {
    std::function<void()> Seen;
    int Shown = 0;

    explicit WhileMessageShown(std::function<void()> F) : Seen(std::move(F)) {
        Current = this;
        FTimer = SetTimer(nullptr, 0, 20, &Tick);
    }
    ~WhileMessageShown() {
        KillTimer(nullptr, FTimer);
        Current = nullptr;
    }
    WhileMessageShown(const WhileMessageShown &) = delete;
    WhileMessageShown &operator=(const WhileMessageShown &) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!Current) return;
        for (HWND w : uitest::TopLevelWindows("TMessageForm", GetCurrentProcessId())) {
            if (!IsWindowVisible(w)) continue;
            ++Current->Shown;
            Current->Seen();
            PostMessageW(w, WM_CLOSE, 0, 0);
        }
    }
    static inline WhileMessageShown *Current = nullptr;
    UINT_PTR FTimer = 0;
};

TEST_F(ManagerSettings, NotAPackedSkinIsToldUnskinnedAndInTheSystemsColours) {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "S", TestSkin{}.Packed());
    m->SetSkinName("S");
    m->Options()->SetFlag(ofChangeSysColors, true);
    ASSERT_EQ(GetSysColor(COLOR_WINDOW), 0x40E0F0u) << "GetSysColor has no hot-patch prologue here";

    vcl::TMemoryStream notASkin;
    FillStream(notASkin, BytesOf("this is no packed skin"));
    bool dialogs = true, recolouring = true;
    COLORREF shownIn = 0;
    const auto unpack = [&] {
        TvlSkinConvertor convertor;
        convertor.Source = &notASkin;
        WhileMessageShown watch([&] {
            dialogs = m->SkinningRules().Contains(srStdDialogs);
            recolouring = m->Options()->GetFlag(ofChangeSysColors);
            shownIn = GetSysColor(COLOR_WINDOW);
        });
        const bool unpacked = UnpackSkinStream(convertor, m.get());
        convertor.Source = nullptr;
        EXPECT_FALSE(unpacked);
        return watch.Shown;
    };
    EXPECT_EQ(unpack(), 1);
    EXPECT_FALSE(dialogs);
    EXPECT_FALSE(recolouring);
    EXPECT_EQ(shownIn, window);
    // Afterwards both are as they were.
    EXPECT_TRUE(m->SkinningRules().Contains(srStdDialogs));
    EXPECT_TRUE(m->Options()->GetFlag(ofChangeSysColors));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x40E0F0u);

    // What was off stays off.
    m->SetSkinningRules({srStdForms});
    m->Options()->SetFlag(ofChangeSysColors, false);
    EXPECT_EQ(unpack(), 1);
    EXPECT_EQ(m->SkinningRules(), (TvlSkinningRules{srStdForms}));
    EXPECT_FALSE(m->Options()->GetFlag(ofChangeSysColors));
    EXPECT_FALSE(SysColorsPatched());
}

TEST_F(ManagerSettings, OptionSettersRefreshTheFormsOncePerChange) {
    TestForm form;
    form.Show();
    std::vector<std::string> log;
    Recorder refresh(log, "refresh", form.Form, SC_SKIN_REFRESH);
    Recorder metrics(log, "metrics", form.Form, SC_FRAME_METRICS_CHANGED);
    const auto heard = [&] { return std::exchange(log, {}); };
    using Log = std::vector<std::string>;
    ManagerPtr m = SectionsManager();
    heard();  // the skin's own refresh
    TvlSkinEffects &effects = *m->Effects();
    TvlScrollBarsSupport &scrolls = *m->ScrollsOptions();

    effects.SetAllowOuterEffects(true);
    EXPECT_EQ(heard(), Log{"refresh"});
    effects.SetDiscoloredGlyphs(true);
    EXPECT_EQ(heard(), Log{"refresh"});
    scrolls.SetButtonsSize(20);
    EXPECT_EQ(heard(), Log{"refresh"});
    scrolls.SetScrollSize(20);
    EXPECT_EQ(heard(), Log{"metrics"});

    // The same value again sends nothing.
    effects.SetAllowOuterEffects(true);
    effects.SetDiscoloredGlyphs(true);
    scrolls.SetButtonsSize(20);
    scrolls.SetScrollSize(20);
    EXPECT_EQ(heard(), Log{});

    // Inside an update the effects wait; the scroll options do not.
    m->BeginUpdate();
    effects.SetAllowOuterEffects(false);
    effects.SetDiscoloredGlyphs(false);
    EXPECT_EQ(heard(), Log{});
    scrolls.SetButtonsSize(21);
    scrolls.SetScrollSize(21);
    EXPECT_EQ(heard(), (Log{"refresh", "metrics"}));
    m->UpdatingFlag = false;
    EXPECT_FALSE(effects.AllowOuterEffects());
    EXPECT_FALSE(effects.DiscoloredGlyphs());

    // While a skin is read nothing is sent, but every value is kept.
    {
        TvlStateOverride loading(ModuleState().SkinIsLoading, true);
        effects.SetAllowOuterEffects(true);
        effects.SetDiscoloredGlyphs(true);
        scrolls.SetButtonsSize(22);
        scrolls.SetScrollSize(22);
    }
    EXPECT_EQ(heard(), Log{});
    EXPECT_TRUE(effects.AllowOuterEffects());
    EXPECT_EQ(scrolls.ScrollSize(), 22);
}

TEST_F(ManagerSettings, ColourInterceptionFollowsItsOptionWhileTheHooksAreIn) {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "S", TestSkin{}.Packed());
    m->Options()->SetFlag(ofChangeSysColors, true);
    ASSERT_TRUE(SysColorsPatched()) << "GetSysColor has no hot-patch prologue here";
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);  // on without a skin: the real colour
    m->SetSkinName("S");
    ASSERT_TRUE(m->HooksInstalled);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x40E0F0u);

    m->Options()->SetFlag(ofChangeSysColors, false);
    EXPECT_TRUE(m->HooksInstalled);
    EXPECT_FALSE(SysColorsPatched());
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
    m->Options()->SetFlag(ofChangeSysColors, true);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x40E0F0u);

    // The skin's removal takes the interception with the hooks.
    m->SetActive(false);
    EXPECT_FALSE(m->HooksInstalled);
    EXPECT_FALSE(SysColorsPatched());
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
}

} // namespace
} // namespace skin
