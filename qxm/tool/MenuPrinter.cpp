#include "tool/MenuPrinter.h"

#include <string>
#include <vector>

#include "script/MenuModel.h"
#include "tool/ToolText.h"

namespace {

void PrintEntries(const std::vector<MenuEntry>& entries, int depth, std::ostream& out) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntry::Kind::kSubmenu:
        out << indent << "> " << OutputFromAnsi(entry.text) << '\n';
        PrintEntries(entry.children, depth + 1, out);
        break;
      case MenuEntry::Kind::kSeparator: out << indent << "---\n"; break;
      case MenuEntry::Kind::kCommand:
        out << indent << OutputFromAnsi(entry.text) << "  =>  ";
        if (!entry.commandError.empty()) {
          out << "(cannot run: " << OutputFromAnsi(entry.commandError) << ")\n";
          break;
        }
        out << OutputText(entry.command.program);
        if (!entry.command.parameters.empty()) out << ' ' << OutputText(entry.command.parameters);
        out << '\n';
        break;
    }
  }
}

}  // namespace

void PrintMenu(const MenuModel& model, std::ostream& out) {
  PrintEntries(model.atShellPosition, 0, out);
  PrintEntries(model.atEnd, 0, out);
}
