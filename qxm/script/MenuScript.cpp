#include "MenuScript.h"

#include "QXMException.h"

MenuScript::MenuScript() : MenuScript(ScriptServices::Platform()) {}

MenuScript::MenuScript(ScriptServices services) : services_(std::move(services)) {}

bool MenuScript::HasConstant(std::int32_t id) const {
  for (const ScriptConstant& constant : constants) {
    if (constant.id == id) return true;
  }
  return false;
}

std::string MenuScript::GetConstant(std::int32_t id) const {
  if (id < 0) throw CQXMException("Internal error. Wrong constant ID");
  for (const ScriptConstant& constant : constants) {
    if (constant.id == id) return constant.value;
  }
  return std::string();
}

const ScriptItem* MenuScript::FindApplicable(std::int32_t index) const {
  for (const ScriptItem& item : applicable) {
    if (item.index == index) return &item;
  }
  return nullptr;
}

std::string MenuScript::GetExecutable(std::int32_t index) const {
  const ScriptItem* item = FindApplicable(index);
  if (item == nullptr) return std::string();
  return item->exeId == -1 ? item->exePath : GetConstant(item->exeId);
}

std::string MenuScript::GetArguments(std::int32_t index) const {
  const ScriptItem* item = FindApplicable(index);
  return item == nullptr ? std::string() : item->arguments;
}

std::string MenuScript::GetHelpText(std::int32_t index) const {
  const ScriptItem* item = FindApplicable(index);
  return item == nullptr ? std::string() : item->helpText;
}

const ScriptItem* MenuScript::ItemAt(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= applicable.size()) return nullptr;
  return &applicable[static_cast<std::size_t>(index)];
}
