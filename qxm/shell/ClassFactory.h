#pragma once

#include <unknwn.h>

// The class factory of ZQXM objects. There is one, living as long as the
// module; server locks, not references to it, keep the module loaded.
class CClassFactory : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

// DllGetClassObject's work: the class factory of ZQXM for IUnknown or
// IClassFactory, CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object);
