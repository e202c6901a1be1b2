#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

// One entry of an expanded path argument: a path to process, or one that
// gets an "Invalid file or folder" row (an empty list entry, a path that
// names nothing, or a folder that cannot be read, named by its path).
struct CollectedPath {
  wxString path;
  bool valid = true;

  bool operator==(const CollectedPath&) const = default;
};

// The files that one path argument names, in order. An argument that names
// an existing file or folder is that path, whole, commas and all. Otherwise
// it is a list as the Windows menu joins a selection (each path followed by
// a comma): it is split only where a comma is followed by the start of an
// absolute path (a drive letter or two backslashes on Windows, "/"
// elsewhere), and the final comma ends the last path. A piece that is empty
// or names nothing is an invalid entry with its text, never a reason to take
// a neighbouring name. A folder stands for every file below it at any depth
// (hidden ones included, each folder's files before its subfolders, both by
// name). Linked folders are not entered, so a link back to a parent cannot
// make the list endless; linked files are listed like files.
std::vector<CollectedPath> CollectFiles(const wxString& argument);

// The files that the path arguments of a cipher verb name, in order. A
// single argument is read as above: the form the Windows menu and stored
// scripts pass. Two or more are one path each, commas and all, as file
// managers hand over a selection. A file named twice (by two arguments, or
// by a folder and a path inside it) is listed once, where it first comes: a
// batch that took it up twice would find its source gone or changed by its
// own first pass.
std::vector<CollectedPath> CollectArguments(const wxArrayString& arguments);
