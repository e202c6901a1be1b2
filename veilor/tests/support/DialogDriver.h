#pragma once

#include <chrono>
#include <functional>
#include <type_traits>
#include <vector>

#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include "6_ui/XPDialog.h"

class wxButton;

// The window of type W that currently runs a modal loop, or null.
template <class W>
W* FindModalWindow() {
  for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it) {
    W* window = dynamic_cast<W*>(*it);
    if (!window) continue;
    if constexpr (std::is_base_of_v<CXPDialog, W>) {
      if (window->IsRunningModal()) return window;
    } else {
      if (window->IsModal() && window->IsShown()) return window;
    }
  }
  return nullptr;
}

// Plays steps against modal windows as they come up: each step waits until a
// window of its type runs modally, then acts on it once. It runs on a timer,
// so it keeps working inside nested modal loops; an action must therefore
// not block: it opens further windows with ClickLater, never with Click.
// When time runs out the innermost modal windows are ended one by one and
// Finished() stays false.
class DialogDriver : public wxTimer {
public:
  explicit DialogDriver(std::chrono::milliseconds deadline = std::chrono::seconds(20));

  template <class W>
  DialogDriver& On(std::function<void(W&)> action) {
    steps_.push_back([action]() {
      W* window = FindModalWindow<W>();
      if (!window) return false;
      action(*window);
      return true;
    });
    return *this;
  }

  // True once every step ran.
  bool Finished() const { return next_ == steps_.size(); }

  void Notify() override;

private:
  std::vector<std::function<bool()>> steps_;
  std::size_t next_ = 0;
  bool inStep_ = false;
  std::chrono::steady_clock::time_point deadline_;
};

// A button click handled at once.
void Click(wxButton* button);
// A button click handled by the event loop, for buttons that open a modal
// window of their own.
void ClickLater(wxButton* button);
