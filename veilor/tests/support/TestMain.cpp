// Shared main of the test programs: a UTF-8 C library locale (the "ANSI code
// page" of the program on this platform), the toolkit's base initialised, and
// toolkit asserts turned into test failures instead of dialogs.
#include <clocale>

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assert in " << func.utf8_str() << ": "
                                        << cond.utf8_str() << " " << message.utf8_str();
}
}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C.UTF-8");
  testing::InitGoogleTest(&argc, argv);
  wxInitializer toolkit;
  if (!toolkit.IsOk()) return 2;
  wxSetAssertHandler(FailOnAssert);
  wxLog::SetActiveTarget(new wxLogStderr);
  return RUN_ALL_TESTS();
}
