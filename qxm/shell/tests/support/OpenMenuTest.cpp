#include "support/OpenMenuTest.h"

#include "support/ShellTestSupport.h"

void OpenMenuTest::Open(const std::vector<std::string>& itemLines, IDataObject* selection) {
  StoreMenuScript(itemLines);
  object_ = new CZQXM();
  const HRESULT initialized = object_->Initialize(nullptr, selection, nullptr);
  selection->Release();
  ASSERT_EQ(initialized, S_OK);
  menu_ = CreatePopupMenu();
  ASSERT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 10, CMF_NORMAL), 2);
}

void OpenMenuTest::TearDown() {
  if (menu_ != nullptr) DestroyMenu(menu_);
  if (object_ != nullptr) object_->Release();
}
