#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

// The files a comma-joined path argument names, in order: a folder stands for
// every file below it at any depth (hidden ones included, each folder's files
// before its subfolders, both by name); anything else stands for itself,
// whether it exists or not, and an empty entry stays empty. Linked folders
// are not entered, so a link back to a parent cannot make the list endless;
// linked files are listed like files.
wxArrayString CollectFiles(const wxString& pathList);
