#pragma once
// The installer's program: one running copy at a time, the main form and
// the about box, and the message loop.

namespace installer {

// The application's title; also the name of the mutex that marks a running
// copy and of the window message a second copy broadcasts.
inline constexpr const char *ApplicationTitle = "Setup MERKANO ZUVO DEMO EET 2020";
inline constexpr const char *AlreadyRunningMessage = "Program je již spuštěn, vícenásobné spuštění není dovoleno";

// Runs the program and answers its exit code: 0 also when another copy
// runs (after saying so); 1 when the forms cannot be made.
int ProgramMain();

} // namespace installer
