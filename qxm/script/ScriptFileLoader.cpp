// Reading a whole script file and checking the references between its lines.
#include "MenuScript.h"
#include "QXMException.h"
#include "ScriptFileReader.h"
#include "ScriptStorage.h"
#include "Tokenizer.h"

namespace {

// Line breaks in a span of text: LF, CR LF and a lone CR each count once.
std::size_t LineBreaks(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++count;
    }
  }
  return count;
}

}  // namespace

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
  std::size_t lineNumber = 1;
  std::size_t counted = 0;  // where counting line breaks goes on
  for (std::string line = lines.Next(); !line.empty(); line = lines.Next()) {
    // Only line breaks lie between the last line and this one.
    const std::size_t start = text.find(line, counted);
    if (start != std::string::npos) {
      lineNumber += LineBreaks(std::string_view(text).substr(counted, start - counted));
      counted = start;
    }
    const std::size_t constantCount = constants.size();
    ScriptItem record;
    bool isItem = false;
    ParseLine(line, record, isItem);
    // The loader reads a stored line into a buffer of fixed size and stops at
    // one that does not fit, losing it and every line after it.
    const std::string* stored = isItem                             ? &record.sourceLine
                                : constants.size() > constantCount ? &constants.back().sourceLine
                                                                   : nullptr;
    if (stored != nullptr && stored->size() >= kStoredLineLimit) {
      throw CQXMException("Line " + std::to_string(lineNumber) + " of file '" + fileName +
                          "' is too long to be stored: " + std::to_string(stored->size()) +
                          " bytes, at most " + std::to_string(kStoredLineLimit - 1) +
                          " are allowed");
    }
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
