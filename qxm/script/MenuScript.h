#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PathText.h"
#include "ScriptConstant.h"
#include "ScriptItem.h"
#include "ScriptServices.h"

class Registry;

// A parsed context-menu script: its items, its constants and the items that
// apply to the current selection. Every failure raises CQXMException with the
// text the user is shown.
class MenuScript {
public:
  MenuScript();
  explicit MenuScript(ScriptServices services);

  // --- Reading a script
  // Parses one line. A constant line adds its constant itself; an item line
  // fills item and sets isItem. False only after the warning for a malformed
  // constant line, which does not stop a parse.
  bool ParseLine(const std::string& line, ScriptItem& item, bool& isItem);
  // Replaces items and constants with those of the file and checks them.
  bool LoadFromFile(const std::string& fileName);
  // Checks that every non-separator item names existing constants.
  bool ValidateIds() const;

  // --- Look-ups
  // The first constant with that ID, or the empty string.
  std::string GetConstant(std::int32_t id) const;
  // By an applicable item's index; the empty string when no item has it.
  std::string GetExecutable(std::int32_t index) const;
  std::string GetArguments(std::int32_t index) const;
  std::string GetHelpText(std::int32_t index) const;
  // The applicable item at that position, or null.
  const ScriptItem* ItemAt(std::int32_t index) const;

  // --- Selection
  // Fills applicable with the items offered for these paths; false for none.
  // An item's extension filter is compared exactly with the path's extension.
  bool SelectItems(const std::vector<PathText>& paths);
  // The submenu name at that level of the item's path (0 = top), or empty.
  std::string SubmenuName(const ScriptItem& item, int level) const;

  // --- Stored script
  bool InstallScript(const std::string& fileName, Registry& registry);
  // Replaces the stored script with this one, all or nothing for a loader
  // even when the save is interrupted.
  bool SaveToRegistry(Registry& registry) const;
  bool LoadFromRegistry(Registry& registry);

  const TextRules& Text() const { return services_.text; }
  // The script's text in the form of selected paths.
  PathText FromAnsi(const std::string& text) const { return services_.fromAnsi(text); }

  std::vector<ScriptItem> items;
  std::vector<ScriptItem> applicable;
  std::vector<ScriptConstant> constants;

private:
  bool ParseConstant(const std::string& line);
  void ParseItem(const std::string& line, ScriptItem& item) const;
  void StoreField(int position, const std::string& value, const std::string& line,
                  ScriptItem& item) const;
  void ParseText(const std::string& text, const std::string& fileName);
  bool HasConstant(std::int32_t id) const;
  const ScriptItem* FindApplicable(std::int32_t index) const;

  ScriptServices services_;
};

// Removes the stored script with everything in it; raises with the reason
// when it cannot.
void DeleteStoredScript(Registry& registry);
