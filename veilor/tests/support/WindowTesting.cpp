#include "WindowTesting.h"

#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

void WhenLoopRuns(std::function<void()> action) { wxTheApp->CallAfter(std::move(action)); }

void Settle(std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + time;
  do {
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < end);
}

bool SettleUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool HasFocus(const wxWindow* window) {
  for (const wxWindow* focus = wxWindow::FindFocus(); focus; focus = focus->GetParent()) {
    if (focus == window) return true;
    if (focus->IsTopLevel()) break;
  }
  return false;
}

void ProcessPending() {
  wxTheApp->Yield(true);
  wxTheApp->ProcessIdle();
}

namespace {
// Notes the pointer's arrival in a window and the windows inside it.
class PointerWatch : public wxEvtHandler {
public:
  explicit PointerWatch(wxWindow* window) { Watch(window, true); }
  ~PointerWatch() override {
    for (wxWindow* window : watched_) {
      window->Unbind(wxEVT_MOTION, &PointerWatch::OnPointer, this);
      window->Unbind(wxEVT_ENTER_WINDOW, &PointerWatch::OnPointer, this);
    }
  }
  bool Arrived() const { return arrived_; }

private:
  void Watch(wxWindow* window, bool top) {
    if (!top && window->IsTopLevel()) return;
    window->Bind(wxEVT_MOTION, &PointerWatch::OnPointer, this);
    window->Bind(wxEVT_ENTER_WINDOW, &PointerWatch::OnPointer, this);
    watched_.push_back(window);
    for (wxWindow* child : window->GetChildren()) Watch(child, false);
  }
  void OnPointer(wxMouseEvent& event) {
    arrived_ = true;
    event.Skip();
  }

  std::vector<wxWindow*> watched_;
  bool arrived_ = false;
};
}  // namespace

bool MovePointerOnto(wxWindow* window, const wxPoint& point) {
  PointerWatch watch(window);
  wxUIActionSimulator mouse;
  // A move away first: a pointer already at the point would report nothing.
  mouse.MouseMove(point + wxPoint(1, 1));
  mouse.MouseMove(point);
#ifdef __WXMSW__
  // Windows places a shown window at once, and the toolkit reports no pointer
  // moves over native controls there: the pointer at the point is enough.
  return SettleUntil([&] { return watch.Arrived() || wxGetMousePosition() == point; });
#else
  return SettleUntil([&] { return watch.Arrived(); });
#endif
}

wxColour ScreenPixel(const wxPoint& point) {
  wxScreenDC screen;
  wxBitmap bitmap(1, 1);
  wxMemoryDC memory(bitmap);
  memory.Blit(0, 0, 1, 1, &screen, point.x, point.y);
  memory.SelectObject(wxNullBitmap);
  const wxImage image = bitmap.ConvertToImage();
  return wxColour(image.GetRed(0, 0), image.GetGreen(0, 0), image.GetBlue(0, 0));
}

SafetyNet::SafetyNet(std::function<void()> onTimeout, std::chrono::milliseconds deadline)
    : onTimeout_(std::move(onTimeout)) {
  StartOnce(static_cast<int>(deadline.count()));
}

void SafetyNet::Notify() { onTimeout_(); }

wxKeyEvent KeyUp(int keyCode, bool shift, bool control, bool alt) {
  wxKeyEvent event(wxEVT_KEY_UP);
  event.m_keyCode = keyCode;
  event.SetShiftDown(shift);
  event.SetControlDown(control);
  event.SetAltDown(alt);
  return event;
}
