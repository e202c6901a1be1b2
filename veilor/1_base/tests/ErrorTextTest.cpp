#include <gtest/gtest.h>

#include <stdexcept>

#include "1_base/ErrorText.h"
#include "1_base/Exceptions.h"

namespace {

TEST(ErrorTextTest, OwnErrorsShowMessageAndModule) {
  EXPECT_EQ(DescribeError(CFSVeilorException("Wrong AES key lenght")),
            "Wrong AES key lenght\r\nModule:File System module exception");
  EXPECT_EQ(DescribeError(CVeilorException("Out of memory", "Core")),
            "Out of memory\r\nModule:Core");
  EXPECT_EQ(DescribeError(CSettingsException("x")), "x\r\nModule:Settings exception");
}

TEST(ErrorTextTest, ForeignErrorsShowTheirDescriptionOnly) {
  EXPECT_EQ(DescribeError(std::runtime_error("disk on fire")), "disk on fire");
}

TEST(ErrorTextTest, EveryModuleTextIsFilledIn) {
  EXPECT_EQ(CKeysException("m").GetModule(), "Key manager exception");
  EXPECT_EQ(CLoggerException("m").GetModule(), "Logger exception");
  EXPECT_EQ(CPassManException("m").GetModule(), "Password manager exception");
  EXPECT_EQ(CPassManagerException("m").GetModule(), "Password manager dialog exception");
  EXPECT_EQ(CXPDialogException("m").GetModule(), "XP dialog exception");
  EXPECT_EQ(rkSettingsException("m").GetModule(), "Settings exception");
  EXPECT_STREQ(CKeysException("m").what(), "");
}

}  // namespace
