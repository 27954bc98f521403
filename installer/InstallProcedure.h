#pragma once
// The install procedure behind the "Instaluj" button: makes the install
// folder, removes the previous main program, writes the stored files one
// after the other under the two progress bars and the status line, says
// "Hotovo", then starts the installed program, puts its desktop shortcut
// and closes the main form.
//
// An expected failure (folder, old program, a target that cannot be
// created) is shown as a message and ends the install with the form ready
// for another try. Anything else (a damaged element, a failed write, the
// shortcut) is raised to the caller; either way the button is enabled
// again, InstallBusy is cleared and every file opened here is closed.
// Files written before a failure stay.
#include <array>
#include <string>

#include "installer/PayloadFiles.h"
#include "installer/SDIMAIN.h"

namespace installer {

using TPayloadTable = std::array<PayloadFile, PayloadFileCount>;

inline constexpr const char *InstallFolder = "c:\\merkano_zuvo";
// The installed main program: removed first, started last.
inline constexpr const char *ProgramFileName = "c:\\merkano_zuvo\\merkzuvo.exe";
// File 3: kept when it exists and the title lacks ProductionWord.
inline constexpr std::size_t KeptFileIndex = 2;
inline constexpr const char *ProductionWord = "Produkční";
// Files from this one on advance the overall bar before they are written
// and clear the status line after.
inline constexpr std::size_t FirstLateFileIndex = 6;

inline constexpr const char *FolderFailedMessage = "Nelze zalozit adresář c:\\merkano_zuvo";
inline constexpr const char *OldProgramMessage =
    "Nelze smazat původni verzi MERKANO ZUVO, ukončete jej před instalací !";

// Creates one folder level; false when that fails.
bool MakeDirectory(const std::string &Folder);

// Button1Click's work over a table of stored files (PayloadFiles() for the
// product; tests give tables of their own).
void InstallProduct(TSDIAppForm &Form, const TPayloadTable &Files);

} // namespace installer
