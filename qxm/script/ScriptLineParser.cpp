// Parsing of single script lines: comments, constants and items.
#include "MenuScript.h"
#include "QXMException.h"
#include "ScriptText.h"
#include "Tokenizer.h"

namespace {

constexpr int kFieldCount = 9;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

bool MenuScript::ParseLine(const std::string& line, ScriptItem& item, bool& isItem) {
  // Nothing of an earlier line may carry over, whatever record the caller passes.
  item = ScriptItem();
  item.sourceLine = line;
  isItem = false;
  const std::string trimmed = TrimSpace(line, services_.text);
  if (!trimmed.empty() && trimmed[0] == '#') return true;
  if (!trimmed.empty() && trimmed[0] == '%') return ParseConstant(trimmed);
  isItem = true;
  ParseItem(trimmed, item);
  return true;
}

bool MenuScript::ParseConstant(const std::string& line) {
  const std::string rest = line.substr(1);
  const std::size_t equals = FindText(rest, "=", services_.text);
  if (rest.empty() || equals == std::string::npos) {
    services_.showWarning(
        "Wrong .qxm file format. Error in constants section. Source string: " + Quoted(rest),
        "Ordal's Context Menu Warning");
    return false;
  }
  const std::int32_t id = DecimalValue(std::string_view(rest).substr(0, equals));
  if (id < 0) throw CQXMException("Wrong constant ID. Source line: " + Quoted(line));
  std::string value = rest.substr(equals + 1);
  if (!services_.pathExists(value)) {
    throw CQXMException("Wrong constant value. Invalid path. Source line: " + Quoted(line));
  }
  constants.push_back(ScriptConstant{id, std::move(value), line});
  return true;
}

void MenuScript::ParseItem(const std::string& line, ScriptItem& item) const {
  Tokenizer fields(line, ";", services_.text);
  int count = 0;
  for (std::string field = fields.Next(); !field.empty(); field = fields.Next()) {
    if (count == kFieldCount) {
      throw CQXMException("Wrong argument count in .qxm file. Error line:" + line);
    }
    // "%e" is how a script writes an empty field, since ";;" is one separator.
    StoreField(count, ReplaceAll(TrimSpace(field, services_.text), "%e", "", services_.text), line,
               item);
    ++count;
  }
  if (count < kFieldCount) throw CQXMException("Wrong .qxm file format. Error line:" + line);
  if (item.type == Separator) return;
  if (item.name.empty()) throw CQXMException("Menu item name is empty. Error line:" + line);
  if (item.exeId == -1 && item.exePath.empty()) {
    throw CQXMException("Path to executable file is empty. Error line:" + line);
  }
}

void MenuScript::StoreField(int position, const std::string& value, const std::string& line,
                            ScriptItem& item) const {
  // An icon field is one marker character, by convention "%", then the ID.
  const auto afterFirstChar = [this](const std::string& text) {
    return DecimalValue(
        std::string_view(text).substr(text.empty() ? 0 : services_.text.CharLength(text, 0)));
  };
  switch (position) {
    case 0:
      if (value != "0" && value != "1" && value != "2") {
        throw CQXMException("Wrong item type in .qxm file. Error line:" + line);
      }
      item.type = value[0] - '0';
      break;
    case 1: item.extension = value; break;
    case 2: item.submenuPath = value; break;
    case 3: item.name = value; break;
    case 4:
      if (!value.empty() && value[0] == '%') {
        item.exeId = DecimalValue(std::string_view(value).substr(1));
      } else {
        item.exePath = value;
        item.exeId = -1;
      }
      break;
    case 5: item.arguments = value; break;
    case 6: item.helpText = value; break;
    case 7: item.iconId = afterFirstChar(value); break;
    case 8: item.submenuIconId = afterFirstChar(value); break;
    default: break;
  }
}
