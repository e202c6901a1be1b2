#pragma once

#include <string>

// The file types that the menus filter by where a file manager matches
// types rather than names (Dolphin, Nautilus' extension). The package ships
// their shared-mime-info definitions (linux/mime/veilor.xml), whose globs
// must name the same extensions.
struct FileType {
  const char* extension;  // without the dot, as a script's extension filter has it
  const char* mimeType;
};

// The type of a script's extension filter, or null for one that no type of
// ours stands for: such a filter can only be matched by name.
const FileType* FileTypeOfExtension(const std::string& extension);
