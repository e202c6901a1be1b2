// Shared main of the test programs: a UTF-8 C library locale (the "ANSI code
// page" of the program on this platform), the toolkit initialised, and
// toolkit asserts turned into test failures instead of dialogs. Built twice:
// plain, and with VEILOR_TEST_WINDOWS for tests that open real windows, which
// need a whole GUI application object.
#include <clocale>

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

#ifdef VEILOR_TEST_WINDOWS
#include <wx/app.h>
#endif

namespace {
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assert in " << func.utf8_str() << ": "
                                        << cond.utf8_str() << " " << message.utf8_str();
}

#ifdef VEILOR_TEST_WINDOWS
class TestApp : public wxApp {
public:
  bool OnInit() override { return true; }
};
#endif
}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C.UTF-8");
  testing::InitGoogleTest(&argc, argv);
#ifdef VEILOR_TEST_WINDOWS
  wxApp::SetInstance(new TestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return 2;
  wxSetAssertHandler(FailOnAssert);
  wxLog::SetActiveTarget(new wxLogStderr);
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
#else
  wxInitializer toolkit;
  if (!toolkit.IsOk()) return 2;
  wxSetAssertHandler(FailOnAssert);
  wxLog::SetActiveTarget(new wxLogStderr);
  return RUN_ALL_TESTS();
#endif
}
