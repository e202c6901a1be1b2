#pragma once

#include <deque>
#include <optional>
#include <string_view>
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
  // The same from UTF-8 text without a byte-order mark, line by line, so that
  // a large file never needs a wide copy of the whole; nothing for bytes that
  // are not valid UTF-8 or hold a NUL. Throws SyntaxError.
  static std::optional<IniDocument> ParseUtf8(std::string_view bytes);

  // The file text with the given line end after every line.
  wxString Serialize(const wxString& lineEnd) const;

  // Entries of a section in file order; empty for a missing section. Keys are
  // matched without regard to ASCII case, as the toolkit's reader does.
  std::vector<Entry> Entries(const wxString& section) const;
  std::optional<wxString> Value(const wxString& section, const wxString& key) const;
  // What Entries gives, taken out of the document without a copy of any text:
  // the section is gone afterwards, as ReplaceSection with no entries leaves it.
  std::vector<Entry> TakeEntries(const wxString& section);

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
    // Deques: growing one never copies the lines already read, which the
    // toolkit's strings would cost as they do not promise a safe move.
    std::deque<Line> lines;
  };

  // One line without its '\n'; the last line of the text, when empty, is the
  // final line end and adds nothing.
  void AddLine(wxString line, std::size_t number, bool last);
  // The same for one "key=value" line of UTF-8 text (`ascii`: of plain
  // ASCII), decoded once at the end; false, adding nothing, for any other
  // kind of line.
  bool AddUtf8Entry(std::string_view line, std::size_t number, bool ascii);
  // Entries (a const document: texts copied) or TakeEntries (texts swapped out).
  template <class Document>
  static std::vector<Entry> CollectEntries(Document& document, const wxString& section);

  std::deque<Section> sections_;
};
