#pragma once

#include <objidl.h>
#include <windows.h>

#include <string>
#include <vector>

// A data object that serves the file-drop format with the selected paths, as
// Explorer hands them over. Shared by the extension's tests and the menu
// client of the installer's end-to-end test. Born with one reference.
class DropData : public IDataObject {
public:
  // Paths in bytes (the ANSI code page); without hasDrop no format is served.
  static DropData* FromAnsi(const std::vector<std::string>& paths, bool hasDrop = true);
  // Wide paths, as the shell hands over names in every script.
  static DropData* FromWide(const std::vector<std::wstring>& paths);
  virtual ~DropData() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override;

protected:
  // The names block: each path with its terminating zero, then one more zero,
  // in bytes or in wide characters.
  DropData(std::string names, bool wide, bool hasDrop)
      : names_(std::move(names)), wide_(wide), hasDrop_(hasDrop) {}

private:
  ULONG references_ = 1;
  std::string names_;
  bool wide_;
  bool hasDrop_;
};
