#include "ZQXM.h"

#include <oleauto.h>

#include "ComGuard.h"
#include "CommandRunner.h"
#include "Install.h"
#include "MenuRenderer.h"
#include "Module.h"
#include "Selection.h"
#include "script/MenuModel.h"
#include "script/Registry.h"

namespace {

// The messages an owner-drawn menu sends to its owner.
constexpr UINT kDrawItem = 0x2B;
constexpr UINT kMeasureItem = 0x2C;
constexpr UINT kInitMenuPopup = 0x117;

}  // namespace

CZQXM::CZQXM() : script_(ShellScriptServices()) { LockModule(); }

CZQXM::~CZQXM() {
  if (typeInfo_ != nullptr) typeInfo_->Release();
  UnlockModule();
}

HRESULT STDMETHODCALLTYPE CZQXM::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID_IZQXM)) {
    *object = static_cast<IZQXM*>(this);
  } else if (IsEqualIID(iid, IID_IShellExtInit)) {
    *object = static_cast<IShellExtInit*>(this);
  } else if (IsEqualIID(iid, IID_IContextMenu) || IsEqualIID(iid, IID_IContextMenu2) ||
             IsEqualIID(iid, IID_IContextMenu3)) {
    *object = static_cast<IContextMenu3*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CZQXM::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE CZQXM::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// Guarded by its callers: the module's path is built in memory.
HRESULT CZQXM::LoadTypeInfo() {
  if (typeInfo_ != nullptr) return S_OK;
  const std::wstring path = ModulePath();
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  hr = library->GetTypeInfoOfGuid(IID_IZQXM, &typeInfo_);
  library->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE CZQXM::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CZQXM::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return Guarded([&] {
    const HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    typeInfo_->AddRef();
    *info = typeInfo_;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CZQXM::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                               DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return Guarded([&] {
    const HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(typeInfo_, names, count, ids);
  });
}

HRESULT STDMETHODCALLTYPE CZQXM::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                        VARIANT* result, EXCEPINFO* exception,
                                        UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return Guarded([&] {
    const HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    return DispInvoke(static_cast<IZQXM*>(this), typeInfo_, id, flags, params, result, exception,
                      argumentError);
  });
}

HRESULT STDMETHODCALLTYPE CZQXM::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
  const HRESULT hr = Guarded(ShownError{S_OK}, [&] { return Select(data); });
  // An object that could not take the selection offers no menu.
  if (FAILED(hr)) menuActive_ = false;
  return hr;
}

HRESULT CZQXM::Select(IDataObject* data) {
  painted_ = PaintState{};
  menuActive_ = true;
  if (!CollectSelection(data, selectedPaths_)) {
    menuActive_ = false;
    return E_INVALIDARG;
  }
  // A script that cannot be loaded leaves none of its entries on the menu.
  script_.applicable.clear();
  const auto registry = OpenPlatformRegistry();
  script_.LoadFromRegistry(*registry);
  script_.SelectItems(selectedPaths_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CZQXM::QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT,
                                                  UINT flags) {
  if (!menuActive_) return S_OK;
  if ((flags & CMF_DEFAULTONLY) != 0) {
    menuActive_ = false;
    return S_OK;
  }
  firstCommandId_ = firstId;
  submenuCommandId_ = firstId + 1;
  return Guarded(ShownError{S_OK}, [&] {
    InsertItems(menu, position, firstCommandId_, submenuCommandId_,
                BuildMenu(script_, selectedPaths_));
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2);
  });
}

HRESULT STDMETHODCALLTYPE CZQXM::HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) {
  return HandleMenuMsg2(message, wParam, lParam, nullptr);
}

HRESULT STDMETHODCALLTYPE CZQXM::HandleMenuMsg2(UINT message, WPARAM, LPARAM lParam,
                                                LRESULT* result) {
  if (!menuActive_) return S_OK;
  return Guarded([&] {
    switch (message) {
      case kDrawItem:
        if (lParam != 0) {
          DrawItem(script_, submenuCommandId_, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam),
                   painted_);
        }
        break;
      case kMeasureItem:
        if (lParam != 0) {
          MeasureItem(script_, submenuCommandId_, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        }
        break;
      case kInitMenuPopup:
        if (HIWORD(lParam) == 0 && result != nullptr) *result = 1;
        break;
      default: break;
    }
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CZQXM::GetCommandString(UINT_PTR, UINT type, UINT*, CHAR* buffer,
                                                  UINT size) {
  if (!menuActive_) return E_INVALIDARG;
  if ((type & GCS_HELPTEXTA) == 0) return E_INVALIDARG;
  return Guarded([&] {
    std::string text;
    if (const ScriptItem* item = script_.ItemAt(painted_.lastItemIndex)) {
      text = painted_.lastItemId == static_cast<std::int32_t>(submenuCommandId_)
                 ? script_.SubmenuName(*item, painted_.lastLevel)
                 : script_.GetHelpText(painted_.lastItemIndex);
    }
    if (text.empty() || buffer == nullptr) return E_INVALIDARG;
    if (size == 0) return S_OK;
    if ((type & GCS_UNICODE) != 0) {
      auto* wide = reinterpret_cast<wchar_t*>(buffer);
      const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
      std::wstring converted(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
      MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, converted.data(), length);
      lstrcpynW(wide, converted.c_str(), static_cast<int>(size));
    } else {
      lstrcpynA(buffer, text.c_str(), static_cast<int>(size));
    }
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CZQXM::InvokeCommand(CMINVOKECOMMANDINFO* info) {
  return Guarded(ShownError{E_FAIL}, [&] { return RunCommand(info); });
}

HRESULT CZQXM::RunCommand(CMINVOKECOMMANDINFO* info) {
  if (!menuActive_) return S_OK;
  // Every command entry has the same ID: the entry highlighted last is the one picked.
  if (script_.ItemAt(painted_.lastItemIndex) == nullptr) return S_OK;
  if (info == nullptr) return E_INVALIDARG;
  // A verb given as a string is not one of ours; an offset has no bits above the low 16.
  if ((reinterpret_cast<ULONG_PTR>(info->lpVerb) >> 16) != 0) return E_INVALIDARG;
  StartCommand(ComposeCommand(script_, painted_.lastItemIndex, selectedPaths_));
  return S_OK;
}
