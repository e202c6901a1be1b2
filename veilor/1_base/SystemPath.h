#pragma once

#include <wx/string.h>

// The form of `path` that the system takes as it is. Windows rewrites the
// names in an ordinary path (a final dot or space goes, so "x." opens "x"
// and a folder "sub." is "sub"); a "\\?\" path (for a share "\\?\UNC\")
// reaches every name as it is spelled. Such a path must be absolute and
// spelled with backslashes only, so a relative path is joined to the current
// folder, "/" becomes "\" and "." and ".." are resolved here. Elsewhere the
// path is returned unchanged.
wxString SystemPath(const wxString& path);

// wxFileExists for the file that `path` names as it is spelled.
bool FileExistsAsSpelled(const wxString& path);
