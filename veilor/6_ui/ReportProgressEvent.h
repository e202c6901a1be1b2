#pragma once

#include <wx/event.h>

// Progress of the file in work: a command event with id 0 whose integer is
// the step number, 0 to 99.
wxDECLARE_EVENT(EVT_REPORT_PROGRESS, wxCommandEvent);

// Hands one progress step synchronously to the handler (normally the report
// window); does nothing without a handler.
void SendReportProgress(wxEvtHandler* handler, int step);
