#pragma once

#include <chrono>
#include <functional>

#include <wx/colour.h>
#include <wx/event.h>
#include <wx/gdicmn.h>
#include <wx/timer.h>

// Runs an action once the next event loop (normally a modal one that the
// test is about to enter) processes events.
void WhenLoopRuns(std::function<void()> action);

// Lets the toolkit process everything pending, for about the given time, so
// that windows are mapped, painted and focused.
void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(300));

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
