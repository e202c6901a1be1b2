#include <gtest/gtest.h>

#include "1_base/MessageCatalogue.h"

namespace {

TEST(MessageCatalogueTest, TextsStandAsWritten) {
  EXPECT_EQ(Msg(0), "aese");
  EXPECT_EQ(Msg(3), "des3d");
  EXPECT_EQ(Msg(51), ".des3");
  EXPECT_EQ(Msg(5015), "[ %d %b %Y  %H:%M:%S ]");
  EXPECT_EQ(Msg(5057), " ");
  EXPECT_EQ(Msg(5078), ",");
  EXPECT_EQ(Msg(5029), "Wrong AES key lenght");
  EXPECT_EQ(Msg(5039), "Prompt for this password in not entered.");
  EXPECT_EQ(Msg(5042),
            "Settings file corrupted. Number of passwords is not equal to number of password "
            "prompts and names.");
  EXPECT_EQ(Msg(5110), "No specific extention found");
  EXPECT_EQ(Msg(5114), "Password: ");
}

TEST(MessageCatalogueTest, UnknownIdGivesAndKeepsAnEmptyText) {
  EXPECT_EQ(Msg(4242), "");
  EXPECT_EQ(Msg(4242), "");
  EXPECT_EQ(Msg(-1), "");
}

}  // namespace
