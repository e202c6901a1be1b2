#include "tool/ThunarMenu.h"

#include <algorithm>

#include "tool/ShellQuote.h"

namespace {

constexpr char kOpen[] = "<action>";
constexpr char kClose[] = "</action>";
constexpr char kListEnd[] = "</actions>";

// Element text: quotes need no escape there.
std::string Xml(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Thunar's parser rejects the whole file, the user's actions with it, for
// text that is not UTF-8 or holds a control character.
bool FitsThunar(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      if (lead < 0x20 && lead != '\t' && lead != '\n') return false;
      ++i;
      continue;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

bool FitsThunar(const DesktopEntry& entry) {
  if (!FitsThunar(FlatName(entry)) || !FitsThunar(entry.help) || !FitsThunar(entry.icon))
    return false;
  for (const CommandWord& word : entry.command) {
    if (!FitsThunar(word.text)) return false;
  }
  return true;
}

// Removes the actions whose unique-id is ours, each with the blanks and the
// line break around it that belong to its lines only.
std::string WithoutOurActions(std::string text) {
  const std::string ours = std::string("<unique-id>") + kThunarIdPrefix;
  std::size_t from = 0;
  while ((from = text.find(kOpen, from)) != std::string::npos) {
    const std::size_t close = text.find(kClose, from);
    if (close == std::string::npos) break;
    std::size_t end = close + sizeof kClose - 1;
    if (text.substr(from, end - from).find(ours) == std::string::npos) {
      from = end;
      continue;
    }
    std::size_t start = from;
    while (start > 0 && IsBlank(text[start - 1])) --start;
    const bool lineStart = start == 0 || text[start - 1] == '\n';
    std::size_t after = end;
    while (after < text.size() && IsBlank(text[after])) ++after;
    if (lineStart && after < text.size() && text[after] == '\n') {
      end = after + 1;
    } else {
      start = from;
    }
    text.erase(start, end - start);
    from = start;
  }
  return text;
}

}  // namespace

std::string ThunarCommand(const DesktopEntry& entry) {
  std::string command;
  for (const CommandWord& word : entry.command) {
    if (!command.empty()) command += ' ';
    if (word.selection) {
      command += "%F";
      continue;
    }
    for (const char c : ShellQuote(word.text)) {
      if (c == '%') command += '%';
      command += c;
    }
  }
  return command;
}

std::string ThunarActions(const DesktopMenu& menu, Losses& losses) {
  std::string actions;
  int count = 0;
  for (const DesktopEntry& entry : menu.entries) {
    if (entry.separator) {
      losses.insert("Thunar: has no separators; they are left out");
      continue;
    }
    if (!entry.submenus.empty()) {
      losses.insert("Thunar: has no submenus; their names go before the entries' names");
    }
    if (!FitsThunar(entry)) {
      losses.insert(
          "Thunar: takes UTF-8 text without control characters only; other entries are left "
          "out");
      continue;
    }
    // Thunar offers a command without a list of paths (%F) for one selected item only.
    if (std::none_of(entry.command.begin(), entry.command.end(),
                     [](const CommandWord& word) { return word.selection; })) {
      losses.insert("Thunar: shows an entry that takes no paths only when one item is selected");
    }
    actions += "<action>\n";
    if (!entry.icon.empty()) actions += "\t<icon>" + Xml(entry.icon) + "</icon>\n";
    actions += "\t<name>" + Xml(FlatName(entry)) + "</name>\n";
    actions +=
        "\t<unique-id>" + std::string(kThunarIdPrefix) + std::to_string(++count) + "</unique-id>\n";
    actions += "\t<command>" + Xml(ThunarCommand(entry)) + "</command>\n";
    actions += "\t<description>" + Xml(entry.help) + "</description>\n";
    if (entry.folder) {
      losses.insert("Thunar: cannot ask for exactly one folder; folder entries show for several");
      actions += "\t<patterns>*</patterns>\n\t<directories/>\n";
    } else {
      actions += "\t<patterns>" + Xml(entry.extension == "*" ? "*" : "*." + entry.extension) +
                 "</patterns>\n";
      actions +=
          "\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n"
          "\t<video-files/>\n";
    }
    actions += "</action>\n";
  }
  return actions;
}

std::optional<std::string> MergeThunarActions(const std::optional<std::string>& existing,
                                              const std::string& actions) {
  if (!existing) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + actions + kListEnd + "\n";
  }
  std::string text = WithoutOurActions(*existing);
  if (actions.empty()) return text;
  const std::size_t end = text.rfind(kListEnd);
  if (end != std::string::npos) {
    std::size_t at = end;
    while (at > 0 && IsBlank(text[at - 1])) --at;
    if (at > 0 && text[at - 1] != '\n') return text.insert(end, "\n" + actions);
    return text.insert(at, actions);
  }
  // An empty list written as one element.
  const std::size_t empty = text.rfind("<actions/>");
  if (empty == std::string::npos) return std::nullopt;
  return text.replace(empty, sizeof "<actions/>" - 1,
                      "<actions>\n" + actions + std::string(kListEnd));
}
