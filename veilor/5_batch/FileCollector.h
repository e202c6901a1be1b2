#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

// One entry of an expanded path argument: a path to process, or one that
// gets an "Invalid file or folder" row (an empty list entry, or a folder that
// cannot be read, named by its path).
struct CollectedPath {
  wxString path;
  bool valid = true;

  bool operator==(const CollectedPath&) const = default;
};

// The files a comma-joined path argument names, in order. Since a name may
// itself hold commas, consecutive pieces that together name an existing file
// or folder are one path, the longest such join winning; a piece that names
// nothing on its own or joined stays an entry of its own. A folder stands for
// every file below it at any depth (hidden ones included, each folder's files
// before its subfolders, both by name); anything else stands for itself,
// whether it exists or not. Linked folders are not entered, so a link back to
// a parent cannot make the list endless; linked files are listed like files.
std::vector<CollectedPath> CollectFiles(const wxString& pathList);

// The files that the path arguments of a cipher verb name, in order. A
// single argument is a comma-joined list as above: the form the Windows menu
// and stored scripts pass. Two or more are one path each, commas and all, as
// file managers hand over a selection; folders expand as above, and an empty
// argument gets an invalid entry like an empty piece of a list.
std::vector<CollectedPath> CollectArguments(const wxArrayString& arguments);
