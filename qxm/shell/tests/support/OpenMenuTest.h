#pragma once

#include <objidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/ZQXM.h"

// A test that starts from an object handed a selection whose menu is built,
// with command IDs from kFirst: the state in which the shell paints entries
// and runs commands.
class OpenMenuTest : public ::testing::Test {
public:
  static constexpr UINT kFirst = 100;

protected:
  // Stores a menu script of these item lines, hands the object the selection
  // (released here) and builds the menu, which must take two command IDs.
  void Open(const std::vector<std::string>& itemLines, IDataObject* selection);
  void TearDown() override;

  CZQXM* object_ = nullptr;
  HMENU menu_ = nullptr;
};
