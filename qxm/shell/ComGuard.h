#pragma once

#include <windows.h>

#include <new>

#include "Module.h"
#include "script/QXMException.h"

// The one boundary between the extension and its callers (Explorer, regsvr32,
// the installer): every export and COM method runs its work through Guarded,
// so that no exception crosses into a caller that cannot take one.
//
// The agreed results: running out of memory gives E_OUTOFMEMORY, any other
// exception E_UNEXPECTED. A method that answers the script's own complaints
// (CQXMException) with a message names, in ShownError, what it returns after
// the "Error" box; elsewhere such a complaint is unexpected too.

// What a method returns once it has shown a CQXMException's message.
struct ShownError {
  HRESULT result;
};

template <typename Work>
HRESULT Guarded(Work&& work) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

template <typename Work>
HRESULT Guarded(ShownError afterMessage, Work&& work) noexcept {
  // Showing the message may fail too; the outer guard answers that.
  return Guarded([&]() -> HRESULT {
    try {
      return work();
    } catch (const CQXMException& error) {
      ShowError(error.GetMessage());
      return afterMessage.result;
    }
  });
}
