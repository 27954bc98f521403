#pragma once
// What the installer's main window says of its own: the caption, the welcome
// text that the memo shows below the caption's line, and the start of the
// status line while a file is written. Portable, so that the build-time
// previews of the skin show the same words as the program.
namespace installer {

inline constexpr const char *ShownCaption = "Setup MERKANO ZUVO 2019 23.12.2019 Demo";

inline constexpr const char *WelcomeLines[] = {
    "vygenerujeme MERKANO ZUVO CZ 1.9 23.12.2019",
    "do složky c:\\merkano_zuvo",
    "",
    "po dokončení se spustí MERKZUVO.EXE",
    "",
    "Děkujeme za Vaši přízeň.",
    "MERKANO team.",
    "Novinky: Podpora tisku vstupenek ve službách pokud je v názvu Vstup",
    "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X –1 v konfiguraci.",
};

// Followed by the installed name of the file being written.
inline constexpr const char *StatusPrefix = "Generuji : ";

} // namespace installer
