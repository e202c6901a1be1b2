#include "core/ErrorText.h"

#include <cstring>

#include "core/Exceptions.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"

wxString DescribeError(const std::exception& error) {
  const char* description = error.what();
  if (description == nullptr || *description == '\0') {
    if (const auto* own = dynamic_cast<const rkException*>(&error)) {
      return own->GetMessage() + Msg(msg::ModuleLabel) + own->GetModule();
    }
    return wxString();
  }
  return wxString(description, wxConvLibc);
}
