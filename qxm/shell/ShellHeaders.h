#pragma once

// The shell's headers declare an interface named FolderItem, a name the script
// model gives its folder items: it is renamed while they are read. Include the
// shell's headers only through this file.
#include <windows.h>
#define FolderItem ShellFolderItemOfShldisp
#include <shellapi.h>
#include <shlobj.h>
#undef FolderItem
