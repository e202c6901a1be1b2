#include "1_base/ErrorText.h"

#include <cstring>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

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
