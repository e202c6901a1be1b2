#include "tool/ThunarMenu.h"

#include <algorithm>

#include "tool/MenuFile.h"
#include "tool/ShellQuote.h"
#include "tool/XmlDocument.h"

namespace {

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

// Never a file that the parser cannot read back as a list of actions.
std::optional<std::string> ReadsBack(const std::string& text) {
  const auto document = XmlDocument::Parse(text);
  if (!document || document->Root().name != "actions") return std::nullopt;
  return text;
}

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

// The bytes of one of our elements to take out: the element with the blanks
// and the line break after it, and the blanks before it when it starts a line;
// which gives back the bytes as they were before it was added.
std::pair<std::size_t, std::size_t> Span(const std::string& text, std::size_t begin,
                                         std::size_t end) {
  std::size_t after = end;
  while (after < text.size() && IsBlank(text[after])) ++after;
  if (after == text.size() || text[after] != '\n') return {begin, end};
  std::size_t start = begin;
  while (start > 0 && IsBlank(text[start - 1])) --start;
  return {start == 0 || text[start - 1] == '\n' ? start : begin, after + 1};
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

std::string ThunarActions(const DesktopMenu& menu, Losses& losses, const char* idPrefix) {
  // Thunar cannot tell one folder from several items, so an entry for every
  // file shows for folders too (qxm's menu offers it for several items, folders
  // among them), and a folder entry that is its twin would show it twice.
  const auto same = [](const DesktopEntry& a, const DesktopEntry& b) {
    return FlatName(a) == FlatName(b) && a.icon == b.icon && a.help == b.help &&
           a.command.size() == b.command.size() &&
           std::equal(a.command.begin(), a.command.end(), b.command.begin(),
                      [](const CommandWord& x, const CommandWord& y) {
                        return x.selection == y.selection && x.text == y.text;
                      });
  };
  const auto twin = [&](const DesktopEntry& folderEntry) {
    return std::any_of(menu.entries.begin(), menu.entries.end(), [&](const DesktopEntry& file) {
      return !file.separator && !file.folder && file.extension == "*" && same(file, folderEntry);
    });
  };
  std::string actions;
  int count = 0;
  for (const DesktopEntry& entry : menu.entries) {
    if (entry.folder && !entry.separator && twin(entry)) continue;
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
    if (!entry.icon.empty()) {
      const std::string name = ThemeIconName(entry.icon);
      actions += "\t<icon>" + Xml(name.empty() ? entry.icon : name) + "</icon>\n";
    }
    actions += "\t<name>" + Xml(FlatName(entry)) + "</name>\n";
    actions += "\t<unique-id>" + std::string(idPrefix) + std::to_string(++count) + "</unique-id>\n";
    actions += "\t<command>" + Xml(ThunarCommand(entry)) + "</command>\n";
    actions += "\t<description>" + Xml(entry.help) + "</description>\n";
    if (entry.folder) {
      losses.insert("Thunar: cannot ask for exactly one folder; folder entries show for several");
      actions += "\t<patterns>*</patterns>\n\t<directories/>\n";
    } else {
      actions += "\t<patterns>" + Xml(entry.extension == "*" ? "*" : "*." + entry.extension) +
                 "</patterns>\n";
      if (entry.extension == "*") {
        losses.insert(
            "Thunar: cannot tell one folder from several items; entries for every file show for "
            "one folder too");
        actions += "\t<directories/>\n";
      }
      actions +=
          "\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n"
          "\t<video-files/>\n";
    }
    actions += "</action>\n";
  }
  return actions;
}

std::string ThunarLeftoverCleaner(const std::string& userList, const std::string& systemList,
                                  const std::vector<std::string>& alsoRemove) {
  // @ID@ is the prefix of the ids for all users, @SYSTEM@ and @LIST@ the
  // lists quoted for the shell, @REMOVE@ the other files to remove.
  static constexpr char kScript[] =
      R"SH(# Run at login. Takes the context menu installed for all users out of this
# user's Thunar actions once it is no longer installed, then itself.
grep -q '<unique-id>@ID@' @SYSTEM@ 2>/dev/null && exit 0
list=@LIST@
if [ -f "$list" ]; then
  awk '
    !inside && /^[ \t]*<action>[ \t\r]*$/ { inside = 1; block = ""; ours = 0 }
    !inside { print; next }
    { block = block $0 "\n" }
    /<unique-id>@ID@[0-9]+<\/unique-id>/ { ours = 1 }
    /^[ \t]*<\/action>[ \t\r]*$/ { inside = 0; if (!ours) printf "%s", block }
    END { if (inside) printf "%s", block }
  ' "$list" >"$list.qxm-new" && cat "$list.qxm-new" >"$list"
  rm -f "$list.qxm-new"
fi
rm -f@REMOVE@ "$0"
)SH";
  std::string remove;
  for (const std::string& path : alsoRemove) {
    remove += ' ';
    remove += ShellQuote(path);
  }
  std::string script = "#!/bin/sh\n";
  script += kWrittenByQxm;
  script += kScript;
  for (const auto& [name, value] :
       {std::pair<std::string, std::string>{"@ID@", kThunarAllUsersIdPrefix},
        {"@SYSTEM@", ShellQuote(systemList)},
        {"@LIST@", ShellQuote(userList)},
        {"@REMOVE@", remove}}) {
    for (std::size_t at = script.find(name); at != std::string::npos;
         at = script.find(name, at + value.size()))
      script.replace(at, name.size(), value);
  }
  return script;
}

std::optional<std::string> MergeThunarActions(const std::optional<std::string>& existing,
                                              const std::string& actions) {
  if (!existing) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + actions + kListEnd + "\n";
  }
  const auto document = XmlDocument::Parse(*existing);
  if (!document || document->Root().name != "actions") return std::nullopt;
  const XmlDocument::Element& root = document->Root();
  const std::string& text = document->Text();
  // Ours are known by their unique-id as the parser reads it; comments, CDATA
  // and the user's own actions are only bytes that stay.
  std::string merged;
  std::size_t copied = 0;
  for (const std::size_t index : root.children) {
    const XmlDocument::Element& action = document->Elements()[index];
    const XmlDocument::Element* id = document->Child(action, "unique-id");
    if (action.name != "action" || id == nullptr || id->text.rfind(kThunarIdPrefix, 0) != 0)
      continue;
    if (action.fromEntity) return std::nullopt;
    const auto [from, to] = Span(text, action.begin, action.end);
    merged.append(text, copied, from - copied);
    copied = to;
  }
  if (!actions.empty()) {
    const std::size_t at = root.emptyTag ? root.begin : root.contentEnd;
    merged.append(text, copied, at - copied);
    copied = at;
    if (root.emptyTag) {
      merged += "<actions>\n" + actions + kListEnd;
      copied = root.end;
    } else {
      // Before the blanks that indent the closing tag on its line, else
      // just before it.
      std::size_t line = merged.size();
      while (line > 0 && IsBlank(merged[line - 1])) --line;
      merged.insert(line > 0 && merged[line - 1] == '\n' ? line : merged.size(), actions);
    }
  }
  merged.append(text, copied, std::string::npos);
  return ReadsBack(merged);
}
