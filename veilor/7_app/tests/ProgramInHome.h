#pragma once

#include <wx/string.h>

#include <string>
#include <vector>

#include "ProgramRunner.h"

// The built program for a user whose home is `home`: its settings and log
// lie under it whatever the test's own environment says, in a UTF-8 locale.
ProgramRunner ProgramInHome(const wxString& home, std::vector<std::string> args);
