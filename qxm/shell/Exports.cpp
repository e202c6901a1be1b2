// The five exports of QXM.dll (see QXM.def). Each runs its work through the
// guard: no exception may cross into the caller.
#include <windows.h>

#include "ClassFactory.h"
#include "ComGuard.h"
#include "Install.h"
#include "Module.h"
#include "Registrar.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) SetModuleHandle(instance);
  return TRUE;
}

// The proxy/stub of IZQXM is the type-library marshaller, a class of the
// system: this module serves no proxy/stub class of its own, so only ZQXM's
// factory is offered.
STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
  return Guarded([&] { return GetClassObject(classId, iid, object); });
}

// Nothing of the marshaller lives in this module, so only the lock count decides.
STDAPI DllCanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

// These three guard their own work, so that the tests drive it in-process.
STDAPI DllRegisterServer() { return RegisterServer(); }

STDAPI DllUnregisterServer() { return UnregisterServer(); }

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  return InstallFromCommandLine(install, commandLine);
}

}  // extern "C"
