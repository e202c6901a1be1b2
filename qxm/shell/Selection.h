#pragma once

#include <objidl.h>

#include <string>
#include <vector>

#include "script/PathText.h"

// The full paths of the files and folders selected in the shell, from the
// data object's file-drop format, in the shell's order, in UTF-16 as the shell
// holds them. False when there is
// no usable selection: no file-drop data, no paths, or the selection is the
// user's Start Menu folder, where the extension offers nothing.
bool CollectSelection(IDataObject* data, std::vector<PathText>& paths);

// True when the path is the current user's Start Menu folder (any case).
bool IsStartMenuFolder(const PathText& path);
