#include "6_ui/ReportProgressEvent.h"

wxDEFINE_EVENT(EVT_REPORT_PROGRESS, wxCommandEvent);

void SendReportProgress(wxEvtHandler* handler, int step) {
  if (!handler) return;
  wxCommandEvent event(EVT_REPORT_PROGRESS, 0);
  event.SetInt(step);
  handler->ProcessEvent(event);
}
