#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "1_base/ErrorText.h"
#include "1_base/Exceptions.h"

namespace {

// Each of the program's own errors shows its message and, after a line
// break, the module that raised it; an error given the wrong module text, or
// one whose standard description is not empty, shows otherwise.
TEST(ErrorTextTest, OwnErrorsShowMessageAndTheirModule) {
  const std::pair<wxString, const char*> cases[] = {
      {DescribeError(CVeilorException("Out of memory", "Core")), "Out of memory\r\nModule:Core"},
      {DescribeError(CFSVeilorException("Wrong AES key lenght")),
       "Wrong AES key lenght\r\nModule:File System module exception"},
      {DescribeError(CKeysException("m")), "m\r\nModule:Key manager exception"},
      {DescribeError(CLoggerException("m")), "m\r\nModule:Logger exception"},
      {DescribeError(CPassManException("m")), "m\r\nModule:Password manager exception"},
      {DescribeError(CPassManagerException("m")), "m\r\nModule:Password manager dialog exception"},
      {DescribeError(CXPDialogException("m")), "m\r\nModule:XP dialog exception"},
      {DescribeError(rkSettingsException("m")), "m\r\nModule:Settings exception"},
      {DescribeError(CSettingsException("x")), "x\r\nModule:Settings exception"},
  };
  for (const auto& [shown, expected] : cases) EXPECT_EQ(shown, expected);
}

TEST(ErrorTextTest, ForeignErrorsShowTheirDescriptionOnly) {
  EXPECT_EQ(DescribeError(std::runtime_error("disk on fire")), "disk on fire");
}

}  // namespace
