#include "support/DropData.h"

#include <shlobj.h>

#include <cstring>

DropData* DropData::FromAnsi(const std::vector<std::string>& paths, bool hasDrop) {
  std::string names;
  for (const std::string& path : paths) names += path + '\0';
  return new DropData(names + '\0', false, hasDrop);
}

DropData* DropData::FromWide(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) names += path + L'\0';
  names += L'\0';
  return new DropData(
      std::string(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t)),
      true, true);
}

HRESULT STDMETHODCALLTYPE DropData::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropData::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DropData::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE DropData::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!hasDrop_ || format->cfFormat != CF_HDROP || (format->tymed & TYMED_HGLOBAL) == 0) {
    return DV_E_FORMATETC;
  }
  const SIZE_T size = sizeof(DROPFILES) + names_.size();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (memory == nullptr) return E_OUTOFMEMORY;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = wide_ ? TRUE : FALSE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names_.data(), names_.size());
  GlobalUnlock(memory);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropData::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DropData::QueryGetData(FORMATETC* format) {
  return hasDrop_ && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DropData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out != nullptr) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DropData::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DropData::EnumFormatEtc(DWORD, IEnumFORMATETC**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DropData::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE DropData::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT STDMETHODCALLTYPE DropData::EnumDAdvise(IEnumSTATDATA**) {
  return OLE_E_ADVISENOTSUPPORTED;
}
