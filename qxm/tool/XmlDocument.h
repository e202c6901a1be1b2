#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An XML document read by a real parser (expat) and kept as the bytes it was
// read from. Each element is known by where its tags lie in those bytes, so an
// edit can take out or put in whole elements and leave every other byte of the
// file (comments, CDATA, entities, blanks) as it was.
class XmlDocument {
public:
  struct Element {
    std::string name;
    std::size_t begin = 0;         // the '<' of its start tag
    std::size_t contentBegin = 0;  // just after its start tag
    std::size_t contentEnd = 0;    // the '<' of its end tag
    std::size_t end = 0;           // just after its end tag
    bool emptyTag = false;         // written as one tag, <name/>
    // Made by an entity reference: it has no bytes of its own to edit.
    bool fromEntity = false;
    std::string text;                   // its own character data, references and CDATA resolved
    std::vector<std::size_t> children;  // indexes into Elements()
  };

  // The document when the text is well-formed XML in UTF-8 (the encoding
  // Thunar and GLib read), whatever its declaration says; nothing otherwise.
  // Entities outside the file are never loaded.
  static std::optional<XmlDocument> Parse(std::string text);

  const std::string& Text() const { return text_; }
  // In document order; the root first.
  const std::vector<Element>& Elements() const { return elements_; }
  const Element& Root() const { return elements_.front(); }
  // The element's first child of that name, or null.
  const Element* Child(const Element& parent, std::string_view name) const;

private:
  std::string text_;
  std::vector<Element> elements_;
};
