// The class as COM hands it out: creation through the registered library,
// its interface map, reference counts and when the library may unload.
#include <gtest/gtest.h>

#include "shell/ShellHeaders.h"
#include "shell/ZQXM.h"
#include "support/ShellTestSupport.h"

namespace {

using UnloadFn = HRESULT(STDAPICALLTYPE*)();
using ClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

class ComTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(RunAndWait("regsvr32.exe /s \"" + DllPath() + "\""), 0);
  }
  static void TearDownTestSuite() { RunAndWait("regsvr32.exe /s /u \"" + DllPath() + "\""); }

  // The library COM loaded, found again by its path.
  static HMODULE Library() { return GetModuleHandleA(DllPath().c_str()); }
  static HRESULT CanUnloadNow() {
    const auto unload = reinterpret_cast<UnloadFn>(
        reinterpret_cast<void*>(GetProcAddress(Library(), "DllCanUnloadNow")));
    return unload == nullptr ? E_FAIL : unload();
  }
};

TEST_F(ComTest, TheClassIsCreatedThroughTheRegisteredLibraryWithEveryInterfaceOfItsMap) {
  IUnknown* object = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_ZQXM, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  ASSERT_NE(Library(), nullptr);
  for (const IID* iid : {&IID_IZQXM, &IID_IDispatch, &IID_IShellExtInit, &IID_IContextMenu,
                         &IID_IContextMenu2, &IID_IContextMenu3}) {
    IUnknown* face = nullptr;
    ASSERT_EQ(object->QueryInterface(*iid, reinterpret_cast<void**>(&face)), S_OK);
    // Every interface leads back to the same object.
    IUnknown* identity = nullptr;
    ASSERT_EQ(face->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, object);
    identity->Release();
    face->Release();
  }
  IUnknown* other = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  object->Release();
}

TEST_F(ComTest, TheLibraryMayUnloadOnlyWithoutLiveObjectsAndServerLocks) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_ZQXM, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(CanUnloadNow(), S_OK);
  IUnknown* first = nullptr;
  IUnknown* second = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&first)), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&second)),
            S_OK);
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  first->Release();
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  second->Release();
  EXPECT_EQ(CanUnloadNow(), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_OK);

  IUnknown* aggregated = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(factory->CreateInstance(first, IID_IUnknown, reinterpret_cast<void**>(&aggregated)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(aggregated, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(&aggregated)),
            E_NOINTERFACE);
  EXPECT_EQ(CanUnloadNow(), S_OK);
  factory->Release();
}

TEST_F(ComTest, TheLibraryServesNoOtherClass) {
  const auto get = reinterpret_cast<ClassObjectFn>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA(DllPath().c_str()), "DllGetClassObject")));
  ASSERT_NE(get, nullptr);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(get(IID_IZQXM, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(get(CLSID_ZQXM, IID_IPersist, &object), E_NOINTERFACE);
  FreeLibrary(GetModuleHandleA(DllPath().c_str()));
}

TEST_F(ComTest, TheLibraryCarriesItsProjectNameAndTypeLibrary) {
  const HMODULE library = LoadLibraryExA(DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(library, nullptr);
  char name[32] = {};
  EXPECT_EQ(LoadStringA(library, 100, name, sizeof name), 4);
  EXPECT_STREQ(name, "ZQXM");
  EXPECT_NE(FindResourceA(library, MAKEINTRESOURCEA(1), "TYPELIB"), nullptr);
  FreeLibrary(library);
}

TEST(ObjectTest, ReferencesCountUpAndDownAndTheLastReleaseFreesTheObject) {
  const LONG before = ModuleLockCount();
  auto* object = new CZQXM();
  EXPECT_EQ(ModuleLockCount(), before + 1);
  EXPECT_EQ(object->AddRef(), 2u);
  IShellExtInit* init = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
  EXPECT_EQ(init->Release(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(object->Release(), 0u);
  EXPECT_EQ(ModuleLockCount(), before);
}

TEST(ObjectTest, TheDispatchInterfaceDescribesIZQXMFromTheEmbeddedTypeLibrary) {
  auto* object = new CZQXM();
  UINT count = 0;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(object->GetTypeInfo(0, LOCALE_NEUTRAL, &info), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_IZQXM));
  info->ReleaseTypeAttr(attributes);
  info->Release();
  EXPECT_EQ(object->GetTypeInfo(1, LOCALE_NEUTRAL, &info), DISP_E_BADINDEX);
  object->Release();
}

}  // namespace
