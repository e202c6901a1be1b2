#include "Selection.h"

#include "ShellHeaders.h"

namespace {

// Each path is read whole, however long: a path cut at a fixed buffer size
// would name a different file or folder.
std::string DroppedPath(HDROP drop, UINT i) {
  const UINT length = DragQueryFileA(drop, i, nullptr, 0);
  if (length == 0) return std::string();
  std::string path(static_cast<std::size_t>(length) + 1, '\0');
  const UINT read = DragQueryFileA(drop, i, path.data(), length + 1);
  path.resize(read <= length ? read : length);
  return path;
}

}  // namespace

bool IsStartMenuFolder(const std::string& path) {
  char folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_STARTMENU, FALSE)) folder[0] = '\0';
  return lstrcmpiA(folder, path.c_str()) == 0;
}

bool CollectSelection(IDataObject* data, std::vector<std::string>& paths) {
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
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  std::string last;
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
