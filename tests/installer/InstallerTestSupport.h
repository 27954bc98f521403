#pragma once
// Shared by the installer's in-process tests: message boxes answered on the
// GUI thread and small stored files made from bytes. What an install leaves
// on disk is looked at through InstalledProduct.h.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "InstalledProduct.h"
#include "installer/InstallProcedure.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"

namespace installer::test {

// Answers every message box of this program when it shows, from a timer of
// the GUI thread: records its text, lets the caller look at the program's
// state, then presses OK.
class TMessageAnswerer {
public:
    using TSeen = std::function<void(const std::string &Text)>;
    explicit TMessageAnswerer(TSeen OnSeen = {});
    ~TMessageAnswerer();
    TMessageAnswerer(const TMessageAnswerer &) = delete;
    TMessageAnswerer &operator=(const TMessageAnswerer &) = delete;

    const std::vector<std::string> &Texts() const { return FTexts; }

private:
    void Tick(vcl::TObject *Sender);
    void Idle(vcl::TObject *Sender);

    TSeen FOnSeen;
    std::vector<std::string> FTexts;
    std::unique_ptr<vcl::TTimer> FTimer;
    vcl::TMessageForm *FShown = nullptr;  // not owned: seen, not answered yet
    int FIdles = 0;
    int FIdlesWhenShown = 0;
    vcl::TNotifyEvent FPreviousIdle;
};

// The text of a message form (the caption of its message label).
std::string MessageText(vcl::TMessageForm &Form);

// A table of eleven stored files made from bytes, laid out like the
// generated module's: element arrays with the sentinel, buffers of N + 1
// bytes, file 3 collected in file 2's buffer, files 5 and 6 without one.
class TStoredFiles {
public:
    explicit TStoredFiles(const std::vector<std::string> &Contents);
    // Replaces element i (from 0) of file k with text (for damaged data).
    void SetElement(std::size_t k, std::size_t i, const char *text);
    const TPayloadTable &Table() const { return FTable; }
    const std::string &Content(std::size_t k) const { return FContents[k]; }

private:
    std::vector<std::string> FContents;
    std::vector<std::string> FElements;
    std::vector<std::vector<std::uint8_t>> FBuffers;
    TPayloadTable FTable;
};

// Eleven small contents, each file its own bytes.
std::vector<std::string> SmallContents();

} // namespace installer::test
