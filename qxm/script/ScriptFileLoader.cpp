// Reading a whole script file and checking the references between its lines.
#include "MenuScript.h"
#include "QXMException.h"
#include "ScriptFileReader.h"
#include "Tokenizer.h"

bool MenuScript::LoadFromFile(const std::string& fileName) {
  if (fileName.empty()) throw CQXMException("File name is empty");
  std::string text = ReadScriptFile(fileName);
  // The script ends at its first NUL byte, if any.
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  ParseText(text, fileName);
  return ValidateIds();
}

void MenuScript::ParseText(const std::string& text, const std::string& fileName) {
  items.clear();
  constants.clear();
  // Runs of CR and LF are one separator: CR LF, LF alone and blank lines all work.
  Tokenizer lines(text, "\r\n", services_.text);
  std::size_t itemCount = 0;
  for (std::string line = lines.Next(); !line.empty(); line = lines.Next()) {
    ScriptItem record;
    bool isItem = false;
    ParseLine(line, record, isItem);
    if (isItem) {
      items.push_back(std::move(record));
      ++itemCount;
    }
  }
  if (itemCount == 0) throw CQXMException("No script in file '" + fileName + "'");
  if (constants.empty()) throw CQXMException("No image ID's in script file");
}

bool MenuScript::ValidateIds() const {
  const auto quoted = [](const ScriptItem& item) { return "\"" + item.sourceLine + "\""; };
  for (const ScriptItem& item : items) {
    if (item.type == Separator) continue;
    if (!HasConstant(item.iconId)) {
      throw CQXMException("Wrong item icon ID. Source string: " + quoted(item));
    }
    if (!HasConstant(item.submenuIconId)) {
      throw CQXMException("Wrong submenu icon ID. Source string: " + quoted(item));
    }
    if (item.exePath.empty() && !HasConstant(item.exeId)) {
      throw CQXMException("Wrong item bin path ID. Source string: " + quoted(item));
    }
  }
  return true;
}
