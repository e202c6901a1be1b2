#include "3_settings/IniDocument.h"

#include <string>
#include <type_traits>
#include <unordered_map>

#include <wx/strconv.h>

#include "1_base/AsciiText.h"

namespace {

bool IsBlank(wxUniChar c) { return c == ' ' || c == '\t'; }

wxString Trimmed(const wxString& text) {
  wxString copy = text;
  copy.Trim(true).Trim(false);
  return copy;
}

// Quotes a value that starts or ends with a blank or starts with a quote, and
// escapes what would otherwise not survive a line of its own.
wxString EscapeValue(const wxString& value) {
  if (value.empty()) return value;
  const bool quote = IsBlank(value[0]) || value[0] == '"' || IsBlank(value.Last());
  wxString out;
  if (quote) out += '"';
  for (const wxUniChar c : value) {
    switch (c.GetValue()) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += quote ? "\\\"" : "\""; break;
      default: out += c;
    }
  }
  if (quote) out += '"';
  return out;
}

wxString UnescapeValue(const wxString& raw) {
  const bool quoted = raw.length() >= 2 && raw[0] == '"' && raw.Last() == '"';
  const wxString body = quoted ? raw.Mid(1, raw.length() - 2) : raw;
  // Most values hold no escape: taken whole, not character by character.
  if (body.find('\\') == wxString::npos) return body;
  wxString out;
  out.reserve(body.length());
  for (auto it = body.begin(); it != body.end(); ++it) {
    if (*it != '\\' || it + 1 == body.end()) {
      out += *it;
      continue;
    }
    ++it;
    switch ((*it).GetValue()) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: out += *it;  // \\ and \" and anything else stand for themselves
    }
  }
  return out;
}

wxString UnescapeKey(const wxString& raw) {
  wxString out;
  for (auto it = raw.begin(); it != raw.end(); ++it) {
    if (*it == '\\' && it + 1 != raw.end()) ++it;
    out += *it;
  }
  return out;
}

// Position of the first '=' that is not escaped with a backslash.
std::size_t FindAssignment(const wxString& line) {
  for (std::size_t i = 0; i < line.length(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return wxString::npos;
}

// The blanks that wxString::Trim takes away, which are all ASCII.
bool IsTrimmed(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view TrimmedBytes(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

std::size_t FindAssignment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return std::string_view::npos;
}

// UnescapeKey and UnescapeValue on UTF-8 bytes: backslash and quote are
// ASCII and never part of a longer character, so the result is the same.
std::string UnescapeKeyBytes(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
    out += raw[i];
  }
  return out;
}

std::string UnescapeValueBytes(std::string_view body) {
  std::string out;
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\\' || i + 1 == body.size()) {
      out += body[i];
      continue;
    }
    switch (body[++i]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: out += body[i];
    }
  }
  return out;
}

// The toolkit's strings have no move: a decoded text is swapped into place.
void SetFromUtf8(wxString& target, std::string_view bytes, bool ascii) {
  if (bytes.empty()) return target.clear();
  wxString decoded =
      ascii ? WidenAscii(bytes) : wxString::FromUTF8Unchecked(bytes.data(), bytes.size());
  target.swap(decoded);
}

}  // namespace

IniDocument IniDocument::Parse(const wxString& text) {
  IniDocument doc;
  doc.sections_.push_back(Section{});
  std::size_t number = 1;
  for (std::size_t begin = 0;; ++number) {
    const std::size_t end = text.find('\n', begin);
    if (end == wxString::npos) {
      doc.AddLine(text.substr(begin), number, true);
      break;
    }
    doc.AddLine(text.substr(begin, end - begin), number, false);
    begin = end + 1;
  }
  return doc;
}

std::optional<IniDocument> IniDocument::ParseUtf8(std::string_view bytes) {
  // A file of plain ASCII, as the program's own are, needs no decoder.
  const bool ascii = IsPlainAscii(bytes);
  if (!ascii && (bytes.find('\0') != std::string_view::npos ||
                 wxConvUTF8.ToWChar(nullptr, 0, bytes.data(), bytes.size()) == wxCONV_FAILED)) {
    return std::nullopt;
  }
  IniDocument doc;
  doc.sections_.push_back(Section{});
  std::size_t number = 1;
  for (std::size_t begin = 0;; ++number) {
    const std::size_t end = bytes.find('\n', begin);
    const std::string_view line = bytes.substr(begin, end == bytes.npos ? end : end - begin);
    if (!doc.AddUtf8Entry(line, number, ascii)) {
      // Through the helper: the toolkit asserts on an empty line's bytes.
      wxString text;
      SetFromUtf8(text, line, ascii);
      doc.AddLine(text, number, end == bytes.npos);
    }
    if (end == bytes.npos) break;
    begin = end + 1;
  }
  return doc;
}

void IniDocument::AddLine(wxString line, std::size_t number, bool last) {
  if (!line.empty() && line.Last() == '\r') line.RemoveLast();
  if (line.find(wxUniChar(0)) != wxString::npos) throw SyntaxError{number};
  const wxString content = Trimmed(line);

  if (content.empty() || content[0] == ';' || content[0] == '#') {
    if (last && line.empty()) return;  // the final line end
    Line raw;
    raw.raw = line;
    sections_.back().lines.push_back(std::move(raw));
    return;
  }
  if (content[0] == '[') {
    const std::size_t close = content.find(']');
    const wxString rest = close == wxString::npos ? wxString() : Trimmed(content.Mid(close + 1));
    if (close == wxString::npos || !(rest.empty() || rest[0] == ';' || rest[0] == '#')) {
      throw SyntaxError{number};
    }
    const wxString name = Trimmed(content.Mid(1, close - 1));
    if (name.empty()) throw SyntaxError{number};
    sections_.push_back(Section{name, {}});
    return;
  }
  const std::size_t equals = FindAssignment(content);
  if (equals == wxString::npos) throw SyntaxError{number};
  const wxString key = UnescapeKey(Trimmed(content.Left(equals)));
  if (key.empty()) throw SyntaxError{number};
  Line entry;
  entry.isEntry = true;
  entry.entry = Entry{key, UnescapeValue(Trimmed(content.Mid(equals + 1)))};
  sections_.back().lines.push_back(std::move(entry));
}

bool IniDocument::AddUtf8Entry(std::string_view line, std::size_t number, bool ascii) {
  const std::string_view content = TrimmedBytes(line);
  if (content.empty() || content[0] == ';' || content[0] == '#' || content[0] == '[') return false;
  const std::size_t equals = FindAssignment(content);
  if (equals == std::string_view::npos) throw SyntaxError{number};
  const std::string_view rawKey = TrimmedBytes(content.substr(0, equals));
  std::string_view value = TrimmedBytes(content.substr(equals + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  Line& added = sections_.back().lines.emplace_back();
  added.isEntry = true;
  if (rawKey.find('\\') == std::string_view::npos) {
    SetFromUtf8(added.entry.key, rawKey, ascii);
  } else {
    SetFromUtf8(added.entry.key, UnescapeKeyBytes(rawKey), ascii);
  }
  if (value.find('\\') == std::string_view::npos) {
    SetFromUtf8(added.entry.value, value, ascii);
  } else {
    SetFromUtf8(added.entry.value, UnescapeValueBytes(value), ascii);
  }
  if (added.entry.key.empty()) {
    sections_.back().lines.pop_back();
    throw SyntaxError{number};
  }
  return true;
}

wxString IniDocument::Serialize(const wxString& lineEnd) const {
  wxString out;
  for (const Section& section : sections_) {
    if (!section.name.empty()) out << "[" << section.name << "]" << lineEnd;
    for (const Line& line : section.lines) {
      if (line.isEntry) {
        out << line.entry.key << "=" << EscapeValue(line.entry.value) << lineEnd;
      } else {
        out << line.raw << lineEnd;
      }
    }
  }
  return out;
}

std::vector<IniDocument::Entry> IniDocument::Entries(const wxString& section) const {
  return CollectEntries(*this, section);
}

std::vector<IniDocument::Entry> IniDocument::TakeEntries(const wxString& section) {
  std::vector<Entry> entries = CollectEntries(*this, section);
  ReplaceSection(section, {});
  return entries;
}

template <class Document>
std::vector<IniDocument::Entry> IniDocument::CollectEntries(Document& document,
                                                            const wxString& section) {
  constexpr bool take = !std::is_const_v<Document>;
  std::vector<Entry> entries;
  std::size_t lines = 0;
  for (const Section& part : document.sections_) {
    if (!part.name.empty() && part.name.IsSameAs(section, false)) lines += part.lines.size();
  }
  // Reserved whole: growing would copy every text, the toolkit's strings
  // having no move.
  entries.reserve(lines);
  // Where each key already stands in `entries`, by its lower-case form: one
  // look-up per line keeps a section of many keys linear to read.
  std::unordered_map<std::wstring, std::size_t> positions;
  positions.reserve(lines);
  // A section may appear more than once in a hand-edited file; a key that
  // appears twice keeps its first position and takes its last value.
  for (auto& part : document.sections_) {
    if (part.name.empty() || !part.name.IsSameAs(section, false)) continue;
    for (auto& line : part.lines) {
      if (!line.isEntry) continue;
      const auto [at, added] =
          positions.emplace(line.entry.key.Lower().ToStdWstring(), entries.size());
      Entry& target = added ? entries.emplace_back() : entries[at->second];
      if constexpr (take) {
        if (added) target.key.swap(line.entry.key);
        target.value.swap(line.entry.value);
      } else {
        if (added) target.key = line.entry.key;
        target.value = line.entry.value;
      }
    }
  }
  return entries;
}

std::optional<wxString> IniDocument::Value(const wxString& section, const wxString& key) const {
  // The last value given for the key, as Entries takes it.
  std::optional<wxString> value;
  for (const Section& part : sections_) {
    if (part.name.empty() || !part.name.IsSameAs(section, false)) continue;
    for (const Line& line : part.lines) {
      if (line.isEntry && line.entry.key.IsSameAs(key, false)) value = line.entry.value;
    }
  }
  return value;
}

void IniDocument::ReplaceSection(const wxString& name, const std::vector<Entry>& entries) {
  std::deque<Line> lines;
  for (const Entry& entry : entries) {
    Line line;
    line.isEntry = true;
    line.entry = entry;
    lines.push_back(std::move(line));
  }

  auto first = sections_.end();
  for (auto it = sections_.begin(); it != sections_.end();) {
    if (it->name.empty() || !it->name.IsSameAs(name, false)) {
      ++it;
    } else if (first == sections_.end()) {
      first = it++;
    } else {
      it = sections_.erase(it);
    }
  }
  if (lines.empty()) {
    if (first != sections_.end()) sections_.erase(first);
  } else if (first != sections_.end()) {
    first->lines = std::move(lines);
  } else {
    sections_.push_back(Section{name, std::move(lines)});
  }
}
