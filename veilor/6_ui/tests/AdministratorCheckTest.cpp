// The administrator check: its decision against a scripted prompt, asking in
// the real password window, and the warnings the model's verdicts call for.
#include <chrono>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/toplevel.h>

#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/AdministratorCheck.h"
#include "6_ui/AdministratorPrompt.h"
#include "6_ui/ImageStore.h"
#include "6_ui/PassEnterFrm.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "WindowTesting.h"

namespace {
using namespace std::chrono_literals;

bool AnyPasswordWindow() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (dynamic_cast<CPassEnterFrm*>(window)) return true;
  }
  return false;
}

CPassEnterFrm* OpenPasswordWindow() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* frame = dynamic_cast<CPassEnterFrm*>(window); frame && frame->IsRunningModal()) {
      return frame;
    }
  }
  return nullptr;
}

// Answers the check with a given text (or a cancel) and keeps its warnings.
class ScriptedPrompt : public CAdministratorPrompt {
public:
  explicit ScriptedPrompt(std::optional<wxString> answer) : answer_(std::move(answer)) {}
  std::optional<wxString> AskPassword() override {
    ++asked;
    return answer_;
  }
  void Warn(const wxString& text) override { warnings.push_back(text); }

  int asked = 0;
  std::vector<wxString> warnings;

private:
  std::optional<wxString> answer_;
};

// Only the exact stored text passes; any other warns once, a cancel passes
// silently; the user is asked once either way.
TEST(AdministratorCheckTest, ExactPasswordPassesOthersWarnCancelIsSilent) {
  TempDir dir;
  CSettings settings(dir / "veilor.ini");
  settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                     ProtectString("guard", CSettings::FillerAdminPassword));
  const CPasswordManager manager(settings);
  const std::vector<wxString> warned = {
      "Entered administrator password is invalid. Please try again."};
  const struct {
    std::optional<wxString> answer;
    bool passed;
    std::vector<wxString> warnings;
  } cases[] = {
      {"guard", true, {}}, {"Guard", false, warned},  {"guard ", false, warned},
      {"", false, warned}, {std::nullopt, false, {}},
  };
  for (const auto& c : cases) {
    ScriptedPrompt prompt(c.answer);
    EXPECT_EQ(ConfirmAdministrator(prompt, manager), c.passed) << c.answer.value_or("(cancel)");
    EXPECT_EQ(prompt.asked, 1);
    EXPECT_EQ(prompt.warnings, c.warnings) << c.answer.value_or("(cancel)");
  }
}

class AdministratorPromptTest : public testing::Test {
protected:
  AdministratorPromptTest() { CImageStore::Instance(); }

  // Runs the check with the program's own prompt; `answer` acts on the window
  // from inside its loop. Returns the check's result.
  bool Check(std::function<void(CPassEnterFrm&)> answer) {
    shown_ = false;
    WhenLoopRuns([this, answer] {
      ASSERT_TRUE(SettleUntil([] { return OpenPasswordWindow() != nullptr; }));
      CPassEnterFrm* window = OpenPasswordWindow();
      shown_ = true;
      browseShown_ = window->browseButton->IsShown();
      answer(*window);
    });
    SafetyNet net(
        [] {
          if (CPassEnterFrm* window = OpenPasswordWindow()) window->EndModal(1);
        },
        10s);
    const bool passed = ConfirmAdministrator(nullptr, manager_);
    // The next check must not find this window: wait until it is deleted.
    EXPECT_TRUE(SettleUntil([] { return !AnyPasswordWindow(); }));
    return passed;
  }

  static void Enter(CPassEnterFrm& window, const wxString& text) {
    window.passwordEdit->SetValue(text);
    window.EndModal(CPassEnterFrm::Confirmed);
  }

  TempDir dir_;
  CSettings settings_{dir_ / "veilor.ini"};
  CPasswordManager manager_{settings_};
  bool shown_ = false;
  bool browseShown_ = true;
};

TEST_F(AdministratorPromptTest, AsksInThePasswordWindowWithoutBrowsing) {
  MessageBoxRecorder boxes;
  EXPECT_TRUE(Check([](CPassEnterFrm& w) { Enter(w, ""); }));
  EXPECT_TRUE(shown_);
  EXPECT_FALSE(browseShown_) << "stored passwords must not be offered here";
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(OpenPasswordWindow(), nullptr);
}

TEST_F(AdministratorPromptTest, TypedPasswordIsCompared) {
  MessageBoxRecorder boxes;
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                      ProtectString("guard", CSettings::FillerAdminPassword));
  EXPECT_TRUE(Check([](CPassEnterFrm& w) { Enter(w, "guard"); }));
  EXPECT_FALSE(Check([](CPassEnterFrm& w) { Enter(w, "Guard"); }));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Entered administrator password is invalid. Please try again.");
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
  EXPECT_EQ(boxes.Boxes()[0].style, wxOK | wxICON_WARNING);
}

TEST_F(AdministratorPromptTest, ClosingTheWindowCancelsSilently) {
  MessageBoxRecorder boxes;
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                      ProtectString("guard", CSettings::FillerAdminPassword));
  EXPECT_FALSE(Check([](CPassEnterFrm& w) {
    w.passwordEdit->SetValue("guard");
    w.Close();
  }));
  EXPECT_TRUE(shown_);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(NewAdministratorPasswordTest, WarnsAndDecides) {
  struct Case {
    const char* password;
    const char* confirmation;
    bool accepted;
    const char* warning;  // nullptr: no box
  };
  const Case cases[] = {
      {"abc", "abd", false, "Entered administrator passwords are different. Please try again."},
      {"", "", true, "Please change default administrator password for higher level of security"},
      {"abc", "abc", true, nullptr},
  };
  for (const Case& c : cases) {
    MessageBoxRecorder boxes;
    EXPECT_EQ(AcceptNewAdministratorPassword(c.password, c.confirmation), c.accepted) << c.password;
    ASSERT_EQ(boxes.Boxes().size(), c.warning ? 1u : 0u) << c.password;
    if (c.warning) {
      EXPECT_EQ(boxes.Boxes()[0].text, c.warning);
      EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
      EXPECT_EQ(boxes.Boxes()[0].style, wxOK | wxICON_WARNING);
    }
  }
}

}  // namespace
