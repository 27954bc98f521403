#include "installer/CreateShortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "installer/ComInterface.h"
#include "vcl/Registry.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"

namespace installer {

namespace {

const char *const ExplorerKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
const char *const GrpConvKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\GrpConv";

// The folder of a location as the registry names it; "" when unknown.
std::string LocationFolder(ShortcutLocation Location, const std::string &SubFolder) {
    const vcl::TRegIniFile explorer(ExplorerKey);
    switch (Location) {
    case DesktopLocation: return explorer.ReadString("Shell Folders", "Desktop", "");
    case QuickLaunchLocation: {
        const vcl::TRegIniFile grpConv(GrpConvKey);
        return grpConv.ReadString("MapGroups", "Quick Launch", "");
    }
    case SendToLocation: return explorer.ReadString("Shell Folders", "SendTo", "");
    case StartMenuLocation: return explorer.ReadString("Shell Folders", "Start Menu", "");
    case OwnFolderLocation: return SubFolder;
    default: return "";
    }
}

} // namespace

void CreateShortcut(const std::string &FileName, ShortcutLocation Location, const std::string &SubFolder) {
    // Declared first: the interfaces go before COM does.
    TComApartment apartment;
    TInterface<IShellLinkW> link;
    const HRESULT created =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Out());
    if (FAILED(created))
        throw vcl::EOleSysError("The shell's link object cannot be created: " + vcl::SysErrorMessage(created),
                                created);
    TInterface<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())))
        throw vcl::EIntfCastError("The shell's link object cannot be saved to a file: interface not supported");

    link->SetWorkingDirectory(vcl::Utf8ToWide(vcl::ExtractFilePath(FileName)).c_str());
    link->SetPath(vcl::Utf8ToWide(FileName).c_str());

    const std::string linkName = vcl::ChangeFileExt(vcl::ExtractFileName(FileName), ".lnk");
    const std::string folder = LocationFolder(Location, SubFolder);
    if (folder.empty()) return;
    const std::string fullName = !SubFolder.empty() && Location != OwnFolderLocation
                                     ? folder + "\\" + SubFolder + "\\" + linkName
                                     : folder + "\\" + linkName;
    file->Save(vcl::Utf8ToWide(fullName).c_str(), FALSE);
}

} // namespace installer
