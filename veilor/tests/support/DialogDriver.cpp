#include "DialogDriver.h"

#include <wx/button.h>

DialogDriver::DialogDriver(std::chrono::milliseconds deadline)
    : deadline_(std::chrono::steady_clock::now() + deadline) {
  Start(30);
}

void DialogDriver::Notify() {
  if (std::chrono::steady_clock::now() > deadline_) {
    // Ends the newest modal window; the next tick ends the one below it.
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it) {
      if (auto* xp = dynamic_cast<CXPDialog*>(*it); xp && xp->IsRunningModal()) {
        xp->EndModal(99);
        return;
      }
      if (auto* dialog = dynamic_cast<wxDialog*>(*it); dialog && dialog->IsModal()) {
        dialog->EndModal(99);
        return;
      }
    }
    return;
  }
  // An action that lets events through (Settle) must not see its own step
  // run again from the nested loop: Windows delivers timers there too.
  if (inStep_ || next_ >= steps_.size()) return;
  inStep_ = true;
  if (steps_[next_]()) ++next_;
  inStep_ = false;
}

namespace {
wxCommandEvent ClickEvent(wxButton* button) {
  wxCommandEvent click(wxEVT_BUTTON, button->GetId());
  click.SetEventObject(button);
  return click;
}
}  // namespace

void Click(wxButton* button) {
  wxCommandEvent click = ClickEvent(button);
  button->GetEventHandler()->ProcessEvent(click);
}

void ClickLater(wxButton* button) {
  button->GetEventHandler()->AddPendingEvent(ClickEvent(button));
}
