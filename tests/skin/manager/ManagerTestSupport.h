#pragma once
// Skins that the manager tests build themselves (options text, a master
// bitmap drawn by a rule, a texture), written as a folder, a packed file or
// a stored skin; a manager owned by the test; and a watcher that answers and
// counts the message forms that a load shows. Windows only.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../../support/UiDriver.h"
#include "../../vcl/TempFolder.h"
#include "PackedSkinBuilder.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Dialogs.h"

namespace skin::test {

// A 24-bit BMP file whose pixel (x, y) is Rule(x, y) as a colour value.
inline Bytes Bmp24(int W, int H, const std::function<vcl::TColor(int, int)> &Rule) {
    vcl::TBitmap b;
    b.SetPixelFormat(vcl::pf24bit);
    b.SetSize(W, H);
    for (int y = 0; y < H; ++y) {
        auto *row = static_cast<std::uint8_t *>(b.ScanLine(y));
        for (int x = 0; x < W; ++x) {
            const vcl::TColor c = Rule(x, y);
            row[x * 3] = static_cast<std::uint8_t>(c >> 16);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c);
        }
    }
    vcl::TMemoryStream s;
    b.SaveToStream(s);
    return StreamBytes(s);
}

constexpr vcl::TColor MasterRed = 0x0000C0;
constexpr vcl::TColor Fuchsia = 0xFF00FF;

// The master of the test skin: red, with a key-colour corner where the
// FORM border mask starts, and an unused right column and bottom row.
inline Bytes TestMaster() {
    return Bmp24(41, 61, [](int x, int y) { return x == 0 && y == 10 ? Fuchsia : MasterRed; });
}

// A small skin that touches every source of the loader: a master bitmap
// whose name the options write in lower case, inline and fixed items, a
// texture file, inheritance, the title glyphs.
inline std::string TestOptions(const std::string &Version = "10") {
    return "[GLOBALINFO]\r\nVERSION=" + Version +
           "\r\nMASTERBITMAP=master.bmp\r\nAUTHOR=Tests\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
           "BIKEEPHUE=1\r\nBICONCLOSE=@0000,0000,0010,0010,1,0\r\nBICONMAX=@0010,0000,0020,0010,1,0\r\n"
           "[FORM]\r\nCOLOR=0xF0F0F0\r\nBORDERSMASK=^0000,0010,0030,0040,0000,0000,0000,0000,1,1,0,3\r\n"
           "[BUTTON]\r\nCOLOR=0x808080\r\nHOTCOLOR=0x909090\r\nCOLOR2=0xA0A0A0\r\nUSESTATE2=1\r\n"
           "PATTERN=TILE.BMP\r\n"
           "[MYBUTTON]\r\nPARENTCLASS=BUTTON\r\n"
           "[EDIT]\r\nCOLOR=0x40E0F0\r\nFONTCOLOR=0x000080\r\nSTATES=1\r\n";
}

struct TestSkin {
    std::string Options = TestOptions();
    std::vector<PackedEntry> Files{{"MASTER.BMP", TestMaster()}, {"tile.bmp", Bmp24(4, 4, [](int, int) { return 0x00FF00; })}};

    std::vector<PackedEntry> Entries() const {
        std::vector<PackedEntry> all{{"Options.dat", BytesOf(Options)}};
        all.insert(all.end(), Files.begin(), Files.end());
        return all;
    }
    Bytes Packed() const { return PackSkin(Entries()); }
};

inline void WriteFile(const std::string &Path, const Bytes &Data) {
    std::ofstream f(vcl::test::TempFolder::Native(Path), std::ios::binary);
    f.write(reinterpret_cast<const char *>(Data.data()), static_cast<std::streamsize>(Data.size()));
}

inline void WriteFolder(const std::string &Folder, const TestSkin &Skin) {
    std::filesystem::create_directories(vcl::test::TempFolder::Native(Folder));
    for (const PackedEntry &e : Skin.Entries()) WriteFile(Folder + "\\" + e.Name, e.Data);
}

// A path of the build machine as the programs under Wine see it.
inline std::string HostPath(const std::string &UnixPath) {
    std::string path = "Z:" + UnixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

inline Bytes FileBytes(const std::string &Path) {
    vcl::TMemoryStream s;
    s.LoadFromFile(Path);
    return StreamBytes(s);
}

// A manager of the test's own, destroyed with the pointer.
struct ManagerDelete {
    void operator()(TsSkinManager *M) const { delete M; }
};
using ManagerPtr = std::unique_ptr<TsSkinManager, ManagerDelete>;
inline ManagerPtr NewManager() { return ManagerPtr(vcl::Create<TsSkinManager>(nullptr)); }

inline void AddStoredSkin(TsSkinManager &M, const std::string &Name, const Bytes &Data) {
    auto *item = static_cast<TsStoredSkin *>(M.InternalSkins()->Add());
    item->Name = Name;
    FillStream(item->Data(), Data);
}

// Answers (with OK) and counts every message form shown while it lives,
// keeping their captions in the order shown.
class MessageWatcher {
public:
    MessageWatcher() : FThread([this] { Watch(); }) {}
    ~MessageWatcher() {
        FStop = true;
        FThread.join();
    }
    MessageWatcher(const MessageWatcher &) = delete;
    MessageWatcher &operator=(const MessageWatcher &) = delete;

    int Count() const { return FCount; }
    std::vector<std::string> Captions() const {
        std::lock_guard<std::mutex> lock(FLock);
        return FCaptions;
    }

private:
    void Watch() {
        while (!FStop) {
            for (HWND w : uitest::TopLevelWindows("TMessageForm", GetCurrentProcessId())) {
                if (!IsWindowVisible(w)) continue;
                if (HWND ok = uitest::FindChild(w, "TButton", "OK")) {
                    {
                        std::lock_guard<std::mutex> lock(FLock);
                        FCaptions.push_back(uitest::TextOf(w));
                    }
                    ++FCount;  // before the answer: the shower goes on once it is given
                    uitest::AnswerModalWindow(w, [ok] { PostMessageW(ok, BM_CLICK, 0, 0); });
                }
            }
            Sleep(20);
        }
    }

    std::atomic<bool> FStop{false};
    std::atomic<int> FCount{0};
    mutable std::mutex FLock;
    std::vector<std::string> FCaptions;
    std::thread FThread;
};

} // namespace skin::test
