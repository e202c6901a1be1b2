#pragma once

#include <windows.h>

#include <string>

struct ComposedCommand;

// The message for a failed start, by the shell's result (32 or less).
std::string RunFailureMessage(INT_PTR result);

// Starts the composed command through the shell in a normal window, by its
// wide text. A failed
// start is reported in one message box; the shell's result is returned.
INT_PTR StartCommand(const ComposedCommand& command);
