#pragma once

#include <string>

#include "script/QXMException.h"

// The message of the CQXMException that the call raises, or "(no error)".
template <typename Call>
std::string ErrorOf(Call&& call) {
  try {
    call();
  } catch (const CQXMException& error) {
    return error.GetMessage();
  }
  return "(no error)";
}
