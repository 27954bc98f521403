#pragma once
// Drives windows as a user would, for tests that run a program (or a modal
// loop of their own process) and must find its windows, read them, click
// them and keep a picture of them. Windows only; text is UTF-8 here as in
// the product.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <string_view>
#include <vector>

namespace uitest {

using namespace std::chrono_literals;

std::string ClassNameOf(HWND window);
std::string TextOf(HWND window);

// Visible or not, every top-level window of the class; with a process id,
// only that process's windows.
std::vector<HWND> TopLevelWindows(std::string_view className, DWORD processId = 0);

// Direct and indirect children, in the order the system lists them;
// an empty class name takes every child.
std::vector<HWND> ChildWindows(HWND parent, std::string_view className = {});

// The first child of the class whose text is `text`; 0 when none.
HWND FindChild(HWND parent, std::string_view className, std::string_view text);

// Polls until `probe` answers a window or the time is up (then 0). Polling
// instead of waiting on an event: the window may belong to another process.
HWND WaitForWindow(const std::function<HWND()> &probe, std::chrono::milliseconds timeout);

// The first visible top-level window of the class, waited for.
HWND WaitForTopLevelWindow(std::string_view className, std::chrono::milliseconds timeout,
                           DWORD processId = 0);

// From a thread other than `loopThread`, for a window that a modal loop of
// `loopThread` will show: the first visible top-level window of the class in
// this process, waited for. When none comes in time, WM_QUIT is posted to
// `loopThread`, so that its modal loop ends (and the test fails) instead of
// waiting for ever; then 0.
HWND WaitForModalWindow(std::string_view className, DWORD loopThread, std::chrono::milliseconds timeout);

// From a thread other than the window's: brings the window to the front,
// waits until it is the foreground window (input sent while the system is
// still activating it can be lost) and runs `answer`, which should close it.
// Tries a few times, and at last posts WM_CLOSE, so that the modal loop
// waiting on the window always ends and a lost answer fails a test instead
// of hanging it. True when `answer` closed the window.
bool AnswerModalWindow(HWND window, const std::function<void()> &answer);

// What a test saw of a message form it answered.
struct TSeenBox {
    std::string Caption;
    std::vector<std::string> Buttons;
    bool Clicked = false;
};

// From a second thread, as a user would: waits for the message form (class
// TMessageForm) that this thread's modal loop shows, reads it and clicks the
// button with the given text, by BM_CLICK or with the mouse. Never leaves
// the loop waiting (WaitForModalWindow, AnswerModalWindow). Call it on the
// thread that runs the modal loop, before the loop starts.
std::future<TSeenBox> AnswerMessageForm(std::string button, bool withMouse = false);

// For a window of this thread: brings it to the front and processes this
// thread's messages until it is the active foreground window, so that
// keyboard and mouse input sent next reaches it. False when time ran out.
bool ActivateAndWait(HWND window, std::chrono::milliseconds timeout);

// Clicks a button the way its keyboard and mouse handling would
// (BM_CLICK, sent: it returns after the click has been handled).
void ClickButton(HWND button);

// Moves the mouse to the centre of the window and clicks the left button
// through the system's input queue.
void ClickWithMouse(HWND window);

// Mouse input at a screen point through the system's input queue: a move
// there, with the button flags given.
void MouseInput(DWORD flags, POINT at);

// From a second thread while this one processes its messages (the system's
// move or size loop runs inside the press): presses the left button at
// `grip`, drags it by (dx, dy) in 15 steps 20 ms apart and lets go;
// `beforeRelease`, when given, runs on that thread just before the release.
// Processes messages until the release is sent and `settled` (when given)
// answers true, for 5 s at most; answers whether both came in time.
bool DragWithMouse(POINT grip, int dx, int dy, const std::function<bool()> &settled = {},
                   const std::function<void()> &beforeRelease = {});

// Full-window dragging on while it lives (the system's move loop then moves
// the window itself; Wine leaves it off); the setting it found comes back
// at its end.
class TFullWindowDrag {
public:
    TFullWindowDrag();
    ~TFullWindowDrag();
    TFullWindowDrag(const TFullWindowDrag &) = delete;
    TFullWindowDrag &operator=(const TFullWindowDrag &) = delete;

private:
    BOOL was_ = FALSE;
};

// Waits until the window is gone or hidden; true when it is.
bool WaitUntilClosed(HWND window, std::chrono::milliseconds timeout);

// Processes this thread's messages until `done` answers true or the time is
// up; answers `done()` at the end.
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);

// A top-down 32-bit picture (blue, green, red, alpha bytes).
struct TImage32 {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// What the window shows, frame included, read from its own DC.
TImage32 CaptureWindow(HWND window);

// The window as the X server holds it, frame included: xwd of the window's
// own X window (its id is in the property "__wine_x11_whole_window"). Where
// two windows of one process overlap, the X root window and the screen DC
// show black, the window's own X window holds its picture. Under Wine only;
// an empty picture when it cannot be taken.
TImage32 CaptureXWindow(HWND window);

// Whether a picture shows something drawn: some colours, and not mostly black.
bool IsDrawn(const TImage32 &image);

// Writes an RGB PNG file; throws std::runtime_error when it cannot.
void WritePng(const std::string &path, const TImage32 &image);

} // namespace uitest
