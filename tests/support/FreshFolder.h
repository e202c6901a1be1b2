#pragma once

#include <filesystem>
#include <string>

// The temporary folders of every test program, qxm's and veilor's alike.

// A new, empty folder under the system's temporary folder whose name starts
// with prefix. Throws std::runtime_error when none can be made.
std::filesystem::path CreateFreshFolder(const std::string& prefix);

// Removes the folder with everything in it. Tests take rights away from
// folders, so the folder's own are given back first; failures are ignored.
void RemoveFolder(const std::filesystem::path& folder);
