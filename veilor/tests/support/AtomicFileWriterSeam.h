#pragma once

#include "1_base/AtomicFileWriter.h"

// Lets a test run the writer the way of systems without unnamed files.
struct AtomicFileWriterSeam {
  static void UseUnnamedTemporaries(bool unnamed) {
    AtomicFileWriter::unnamedTemporaries = unnamed;
  }
};
