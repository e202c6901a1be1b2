// The stored script in the real registry: an install or a delete stopped at
// any write leaves the loader the old script or the new one, whole.
#include <gtest/gtest.h>

#include <functional>

#include "script/MenuScript.h"
#include "script/QXMException.h"
#include "script/Registry.h"
#include "script/ScriptStorage.h"
#include "support/InterruptingRegistry.h"
#include "support/ScriptLines.h"
#include "support/ShellTestSupport.h"

namespace {

// Every stored line as the loader takes it, or "(none)" when nothing loads.
std::string Loaded(Registry& registry) {
  MenuScript script(ScriptServices::Platform());
  try {
    script.LoadFromRegistry(registry);
  } catch (const CQXMException&) {
    return "(none)";
  }
  std::string lines;
  for (const ScriptItem& item : script.items) lines += item.sourceLine + "\n";
  for (const ScriptConstant& constant : script.constants) lines += constant.sourceLine + "\n";
  return lines;
}

class StoredScriptTest : public ::testing::Test {
protected:
  StoredScriptTest() {
    AddLines(old_, {"%1=" + RecorderPath(), "0;*;%e;Old 1;%1;x;%e;%1;%1",
                    "0;*;%e;Old 2;%1;x;%e;%1;%1", "0;*;%e;Old 3;%1;x;%e;%1;%1"});
    AddLines(new_, {"%1=" + RecorderPath(), "%2=" + ShippedIcon("veilor.ico"),
                    "0;*;%e;New;%1;y;%e;%2;%2"});
  }
  void SetUp() override { DeleteStoredScript(*registry_); }
  void TearDown() override { DeleteStoredScript(*registry_); }

  // Kills the change after 0, 1, 2, … writes until it runs through.
  void ExpectOldOrNew(const std::function<void(Registry&)>& change) {
    old_.SaveToRegistry(*registry_);
    const std::string before = Loaded(*registry_);
    change(*registry_);
    const std::string after = Loaded(*registry_);
    ASSERT_NE(before, after);
    for (int writes = 0;; ++writes) {
      SCOPED_TRACE("killed after " + std::to_string(writes) + " writes");
      DeleteStoredScript(*registry_);
      old_.SaveToRegistry(*registry_);
      InterruptingRegistry cut(*registry_, writes, InterruptingRegistry::Mode::kKill);
      try {
        change(cut);
      } catch (const InterruptingRegistry::Killed&) {
      }
      const std::string loaded = Loaded(*registry_);
      EXPECT_TRUE(loaded == before || loaded == after) << loaded;
      if (!cut.Interrupted()) break;
      change(*registry_);
      EXPECT_EQ(Loaded(*registry_), after);
      EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kStagedScriptKeyPath));
    }
  }

  std::unique_ptr<Registry> registry_ = OpenPlatformRegistry();
  MenuScript old_{ScriptServices::Platform()};
  MenuScript new_{ScriptServices::Platform()};
};

TEST_F(StoredScriptTest, AKilledInstallOrDeleteLeavesTheOldOrTheNewScriptWhole) {
  ExpectOldOrNew([this](Registry& registry) { new_.SaveToRegistry(registry); });
  ExpectOldOrNew([](Registry& registry) { DeleteStoredScript(registry); });
}

TEST_F(StoredScriptTest, AFailedRegistryCallGivesTheSystemsReason) {
  EXPECT_FALSE(registry_->OpenKey("Software\\No such key of QXM", Registry::Access::kRead));
  const std::string reason = RegistryErrorText();
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(reason.rfind("error ", 0), std::string::npos) << reason;
}

}  // namespace
