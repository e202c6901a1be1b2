#pragma once

#include <exception>

#include <wx/string.h>

// The text shown for an error that reached a top-level handler: for the
// program's own errors the message, a line break, "Module:" and the module;
// for a foreign error its description, converted from the multibyte code page.
wxString DescribeError(const std::exception& error);
