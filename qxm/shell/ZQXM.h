#pragma once

#include <windows.h>
#include "ShellHeaders.h"

#include <string>
#include <vector>

#include "MenuPainter.h"
#include "QXM_h.h"
#include "script/MenuScript.h"

// The context-menu object that the shell creates for one opening of a menu.
// Its interfaces, in the order of its interface map: IZQXM (and IDispatch
// through it), IShellExtInit, IContextMenu, IContextMenu2, IContextMenu3.
// No exception leaves a method (see ComGuard.h).
class CZQXM : public IZQXM, public IShellExtInit, public IContextMenu3 {
public:
  CZQXM();
  virtual ~CZQXM();
  CZQXM(const CZQXM&) = delete;
  CZQXM& operator=(const CZQXM&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, answered from the embedded type library
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // IShellExtInit
  HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                       HKEY progIdKey) override;

  // IContextMenu, IContextMenu2, IContextMenu3
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId,
                                             UINT flags) override;
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override;
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR commandId, UINT type, UINT* reserved,
                                             CHAR* buffer, UINT size) override;
  HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT* result) override;

private:
  // The tests read the state below through it.
  friend class ZQXMProbe;

  HRESULT LoadTypeInfo();
  // Initialize's work: takes the selection, loads the script, keeps what applies.
  HRESULT Select(IDataObject* data);
  HRESULT RunCommand(CMINVOKECOMMANDINFO* info);

  LONG volatile references_ = 1;
  ITypeInfo* typeInfo_ = nullptr;

  bool menuActive_ = false;
  PaintState painted_;
  MenuScript script_;
  std::vector<PathText> selectedPaths_;
  UINT firstCommandId_ = 0;
  UINT submenuCommandId_ = 0;
};
