#include "tool/XmlDocument.h"

#include <expat.h>

#include <limits>
#include <memory>

namespace {

struct ParserFree {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

struct Builder {
  XML_Parser parser = nullptr;
  const std::string* text = nullptr;
  std::vector<XmlDocument::Element>* elements = nullptr;
  std::vector<std::size_t> open;  // the elements not closed yet, innermost last
  bool broken = false;
};

void OnStart(void* data, const XML_Char* name, const XML_Char**) {
  auto& builder = *static_cast<Builder*>(data);
  const XML_Index at = XML_GetCurrentByteIndex(builder.parser);
  const int length = XML_GetCurrentByteCount(builder.parser);
  if (at < 0 || length < 0) {
    builder.broken = true;
    XML_StopParser(builder.parser, XML_FALSE);
    return;
  }
  XmlDocument::Element element;
  element.name = name;
  element.begin = static_cast<std::size_t>(at);
  element.contentBegin = element.begin + static_cast<std::size_t>(length);
  // Inside an entity's replacement text expat reports the reference's place.
  element.fromEntity =
      (*builder.text)[element.begin] != '<' ||
      (!builder.open.empty() && (*builder.elements)[builder.open.back()].fromEntity);
  if (!builder.open.empty()) {
    (*builder.elements)[builder.open.back()].children.push_back(builder.elements->size());
  }
  builder.open.push_back(builder.elements->size());
  builder.elements->push_back(std::move(element));
}

void OnEnd(void* data, const XML_Char*) {
  auto& builder = *static_cast<Builder*>(data);
  XmlDocument::Element& element = (*builder.elements)[builder.open.back()];
  builder.open.pop_back();
  const XML_Index at = XML_GetCurrentByteIndex(builder.parser);
  const int length = XML_GetCurrentByteCount(builder.parser);
  if (element.fromEntity || length == 0) {
    // The end of an empty-element tag comes with no bytes of its own.
    element.emptyTag = !element.fromEntity;
    element.contentEnd = element.end = element.contentBegin;
  } else {
    element.contentEnd = static_cast<std::size_t>(at);
    element.end = element.contentEnd + static_cast<std::size_t>(length);
  }
}

void OnText(void* data, const XML_Char* text, int length) {
  auto& builder = *static_cast<Builder*>(data);
  if (!builder.open.empty()) {
    (*builder.elements)[builder.open.back()].text.append(text, static_cast<std::size_t>(length));
  }
}

}  // namespace

std::optional<XmlDocument> XmlDocument::Parse(std::string text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  XmlDocument document;
  document.text_ = std::move(text);
  // The encoding given here overrides the file's declaration.
  const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate("UTF-8"));
  if (!parser) return std::nullopt;
  Builder builder{parser.get(), &document.text_, &document.elements_, {}, false};
  XML_SetUserData(parser.get(), &builder);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  const XML_Status status = XML_Parse(parser.get(), document.text_.data(),
                                      static_cast<int>(document.text_.size()), XML_TRUE);
  if (status != XML_STATUS_OK || builder.broken || document.elements_.empty()) return std::nullopt;
  return document;
}

const XmlDocument::Element* XmlDocument::Child(const Element& parent, std::string_view name) const {
  for (const std::size_t child : parent.children) {
    if (elements_[child].name == name) return &elements_[child];
  }
  return nullptr;
}
