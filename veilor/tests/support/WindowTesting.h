#pragma once

#include <chrono>
#include <functional>

#include <wx/colour.h>
#include <wx/event.h>
#include <wx/gdicmn.h>
#include <wx/timer.h>
#include <wx/window.h>

// Runs an action once the next event loop (normally a modal one that the
// test is about to enter) processes events.
void WhenLoopRuns(std::function<void()> action);

// Lets the toolkit process everything pending, for about the given time, so
// that windows are mapped, painted and focused.
void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(300));

// Lets the toolkit process events until `done` holds, and says whether it
// did. The limit only ends a wait for something that never comes, so a test
// waits for the event it needs however slow the machine, never for a time.
bool SettleUntil(const std::function<bool()>& done,
                 std::chrono::milliseconds limit = std::chrono::seconds(8));

// The keyboard focus is in `window` or a window inside it, so simulated
// keys reach it.
bool HasFocus(const wxWindow* window);

// Handles what is pending now (events, idle handlers) once, for checks that
// something did not happen.
void ProcessPending();

// Moves the pointer to `point` (screen coordinates) and waits until `window`
// or a window inside it sees the pointer there: from then on the window is on
// screen and simulated clicks at that point reach it.
bool MovePointerOnto(wxWindow* window, const wxPoint& point);

// The colour of a screen pixel, as the user sees it.
wxColour ScreenPixel(const wxPoint& point);

// Ends a modal loop that a test left running: the action runs after the
// deadline unless the net is destroyed first.
class SafetyNet : public wxTimer {
public:
  SafetyNet(std::function<void()> onTimeout, std::chrono::milliseconds deadline);
  void Notify() override;

private:
  std::function<void()> onTimeout_;
};

// A key release as the toolkit delivers it, with the modifier keys given.
wxKeyEvent KeyUp(int keyCode, bool shift = false, bool control = false, bool alt = false);
