#pragma once

#include <string>
#include <string_view>

// Replaces a file's content as a whole: the bytes go to a temporary file beside
// it, which is flushed and renamed over the target, so that a reader sees the
// old content or the new one and never a part. False on any failure, in which
// case the target is unchanged and no temporary file is left.
bool ReplaceFileAtomically(const std::string& target, std::string_view content);

// The whole content of a file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);
