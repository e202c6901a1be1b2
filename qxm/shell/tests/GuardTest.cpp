// The guard at every entry point: what a caller gets back when the work
// throws, and that only the script's own complaints are shown.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "shell/ComGuard.h"
#include "shell/ShellHeaders.h"
#include "shell/ZQXM.h"
#include "support/DropData.h"
#include "support/ShellTestSupport.h"

namespace {

struct GuardCase {
  const char* name;
  std::function<HRESULT()> work;
  bool answersWithMessage;  // run with ShownError{E_ACCESSDENIED}
  HRESULT expected;
  bool boxShown;
};

TEST(GuardTest, EveryExceptionBecomesTheAgreedResult) {
  const GuardCase cases[] = {
      {"result passes", [] { return S_FALSE; }, true, S_FALSE, false},
      {"complaint shown", []() -> HRESULT { throw CQXMException("No script"); }, true,
       E_ACCESSDENIED, true},
      {"complaint unshown", []() -> HRESULT { throw CQXMException("No script"); }, false,
       E_UNEXPECTED, false},
      {"out of memory", []() -> HRESULT { throw std::bad_alloc(); }, true, E_OUTOFMEMORY, false},
      {"anything else", []() -> HRESULT { throw std::runtime_error("x"); }, true, E_UNEXPECTED,
       false},
  };
  for (const GuardCase& c : cases) {
    SCOPED_TRACE(c.name);
    MessageCatcher messages;
    const HRESULT hr =
        c.answersWithMessage ? Guarded(ShownError{E_ACCESSDENIED}, c.work) : Guarded(c.work);
    EXPECT_EQ(hr, c.expected);
    ASSERT_EQ(messages.Shown().size(), c.boxShown ? 1u : 0u);
    if (c.boxShown) {
      EXPECT_EQ(messages.Shown()[0].text, "No script");
      EXPECT_EQ(messages.Shown()[0].caption, "Error");
      EXPECT_EQ(messages.Shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
  }
}

// A selection whose data object throws from inside Initialize's work.
template <typename Exception>
class ThrowingData : public DropData {
public:
  ThrowingData() : DropData(std::string(2, '\0'), false, true) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { throw Exception("x"); }
};

class OutOfMemory : public std::bad_alloc {
public:
  explicit OutOfMemory(const char*) {}
};

template <typename Exception>
void ExpectInitializeAnswers(HRESULT expected) {
  StoreMenuScript({"0;*;X;In X;%1;aese %f;help x;%3;%2"});
  MessageCatcher messages;
  CZQXM* object = new CZQXM();
  IDataObject* data = new ThrowingData<Exception>();
  EXPECT_EQ(object->Initialize(nullptr, data, nullptr), expected);
  data->Release();
  // The object that failed to start offers no menu.
  HMENU menu = CreatePopupMenu();
  EXPECT_EQ(object->QueryContextMenu(menu, 0, 1, 50, CMF_NORMAL), S_OK);
  EXPECT_EQ(GetMenuItemCount(menu), 0);
  EXPECT_TRUE(messages.Shown().empty());
  DestroyMenu(menu);
  object->Release();
}

TEST(GuardTest, AnInitializeWhoseWorkThrowsGivesTheAgreedResultAndNoMenu) {
  ExpectInitializeAnswers<OutOfMemory>(E_OUTOFMEMORY);
  ExpectInitializeAnswers<std::runtime_error>(E_UNEXPECTED);
}

}  // namespace
