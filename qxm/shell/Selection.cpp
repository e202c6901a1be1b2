#include "Selection.h"

#include "ShellHeaders.h"

namespace {

// Each path is read whole, however long: a path cut at a fixed buffer size
// would name a different file or folder. Read wide, so that no character
// outside the ANSI code page becomes a question mark.
PathText DroppedPath(HDROP drop, UINT i) {
  const UINT length = DragQueryFileW(drop, i, nullptr, 0);
  if (length == 0) return PathText();
  PathText path(static_cast<std::size_t>(length) + 1, L'\0');
  const UINT read = DragQueryFileW(drop, i, path.data(), length + 1);
  path.resize(read <= length ? read : length);
  return path;
}

}  // namespace

bool IsStartMenuFolder(const PathText& path) {
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTMENU, FALSE)) folder[0] = L'\0';
  return lstrcmpiW(folder, path.c_str()) == 0;
}

bool CollectSelection(IDataObject* data, std::vector<PathText>& paths) {
  paths.clear();
  if (data == nullptr) return false;
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (FAILED(data->GetData(&format, &medium))) return false;
  const auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal));
  if (drop == nullptr) {
    ReleaseStgMedium(&medium);
    return false;
  }
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  PathText last;
  for (UINT i = 0; i < count; ++i) {
    last = DroppedPath(drop, i);
    if (!last.empty()) paths.push_back(last);
  }
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  if (count == 0) return false;
  if (IsStartMenuFolder(last)) return false;
  return !paths.empty();
}
