#pragma once

#include <optional>
#include <vector>

#include <wx/string.h>

// The in-memory image of an ini file in the form the toolkit's file
// configuration writes: "[section/path]" headers, "key=value" lines, values
// quoted and backslash-escaped where needed. Sections and entries keep their
// file order; comment and blank lines stay where they were in sections that
// the program does not rewrite.
class IniDocument {
public:
  struct Entry {
    wxString key;
    wxString value;
  };

  // A line that is neither blank, a comment, a header nor "key=value".
  struct SyntaxError {
    std::size_t line;  // 1-based
  };

  // Throws SyntaxError.
  static IniDocument Parse(const wxString& text);

  // The file text with the given line end after every line.
  wxString Serialize(const wxString& lineEnd) const;

  // Entries of a section in file order; empty for a missing section. Keys are
  // matched without regard to ASCII case, as the toolkit's reader does.
  std::vector<Entry> Entries(const wxString& section) const;
  std::optional<wxString> Value(const wxString& section, const wxString& key) const;

  // Replaces a section's lines by the given entries, in place; a section that
  // was not there is appended. No entries removes the section altogether.
  void ReplaceSection(const wxString& section, const std::vector<Entry>& entries);

private:
  struct Line {
    bool isEntry = false;
    wxString raw;  // comment or blank line as read
    Entry entry;
  };
  struct Section {
    wxString name;  // empty for the lines before the first header
    std::vector<Line> lines;
  };

  const Section* Find(const wxString& name) const;

  std::vector<Section> sections_;
};
