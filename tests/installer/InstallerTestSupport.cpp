#include "InstallerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "vcl/StdCtrls.h"

namespace installer::test {

std::string MessageText(vcl::TMessageForm &Form) { return Form.MessageLabel()->Caption(); }

TMessageAnswerer::TMessageAnswerer(TSeen OnSeen)
    : FOnSeen(std::move(OnSeen)), FTimer(vcl::Create<vcl::TTimer>(nullptr)) {
    FTimer->SetInterval(20);
    FTimer->OnTimer = vcl::TNotifyEvent::Bind<&TMessageAnswerer::Tick>(this);
    FPreviousIdle = vcl::Application->OnIdle;
    vcl::Application->OnIdle = vcl::TNotifyEvent::Bind<&TMessageAnswerer::Idle>(this);
}

TMessageAnswerer::~TMessageAnswerer() {
    vcl::Application->OnIdle = FPreviousIdle;
}

void TMessageAnswerer::Idle(vcl::TObject *Sender) {
    ++FIdles;
    if (FPreviousIdle) FPreviousIdle(Sender);
}

void TMessageAnswerer::Tick(vcl::TObject *) {
    for (int i = 0; i < vcl::Screen->FormCount(); ++i) {
        auto *box = dynamic_cast<vcl::TMessageForm *>(vcl::Screen->Forms(i));
        if (!box || !box->Modal() || box->ModalResult() != vcl::mrNone) continue;
        // Answered once the program has been idle with the box on the
        // screen and no window lags its control: by then the box and the
        // windows behind it show what a reader would see.
        if (box != FShown || FIdles == FIdlesWhenShown || vcl::WindowUpdatesPending()) {
            if (box != FShown) FIdlesWhenShown = FIdles;
            FShown = box;
            continue;
        }
        FShown = nullptr;
        FTexts.push_back(MessageText(*box));
        if (FOnSeen) FOnSeen(FTexts.back());
        box->SetModalResult(vcl::mrOk);
    }
}

TStoredFiles::TStoredFiles(const std::vector<std::string> &Contents) : FContents(Contents) {
    EXPECT_EQ(FContents.size(), PayloadFileCount);
    FContents.resize(PayloadFileCount);
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        const std::string &bytes = FContents[k];
        std::string elements;
        for (unsigned char byte : bytes) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02X", byte);
            elements += pair;
        }
        FElements.push_back(elements + "==");
        FBuffers.emplace_back(bytes.size() + 1);
    }
    // File 3 shares file 2's buffer, which must hold it.
    if (FBuffers[2].size() > FBuffers[1].size()) FBuffers[1].resize(FBuffers[2].size());
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        const PayloadFileInfo &info = PayloadFileInfos()[k];
        std::uint8_t *buffer = k == 4 || k == 5 ? nullptr : k == 2 ? FBuffers[1].data() : FBuffers[k].data();
        FTable[k] = PayloadFile{info.InstalledName, static_cast<std::int64_t>(FContents[k].size()),
                                FElements[k].c_str(), buffer, info.StepKind, info.CreateFailedMessage};
    }
}

void TStoredFiles::SetElement(std::size_t k, std::size_t i, const char *text) {
    FElements[k].replace(2 * i, 2, text, 2);
}

std::vector<std::string> SmallContents() {
    std::vector<std::string> contents;
    // Sizes around the ten-byte steps: empty, below, at and above multiples of ten.
    const std::size_t sizes[PayloadFileCount] = {7, 25, 13, 40, 9, 3, 0, 10, 31, 19, 1};
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        std::string bytes;
        for (std::size_t i = 0; i < sizes[k]; ++i) bytes += static_cast<char>((k * 37 + i * 11) & 0xFF);
        contents.push_back(bytes);
    }
    return contents;
}

} // namespace installer::test
