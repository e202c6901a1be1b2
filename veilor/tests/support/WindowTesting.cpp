#include "WindowTesting.h"

#include <thread>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
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
