#include <optional>

#include <gtest/gtest.h>

#include "1_base/Exceptions.h"
#include "6_ui/PasswordChangedEvent.h"

namespace {

// Stands in for the settings dialog: reads the changer while the sender waits.
class ChangeReceiver : public wxEvtHandler {
public:
  ChangeReceiver() {
    Bind(EVT_PASSWORD_CHANGED, [this](wxCommandEvent& event) {
      const CPasswordChanger& changer = PasswordChangerOf(event);
      received = CPasswordChanger(changer.oldEntry, changer.newEntry, changer.action);
    });
  }

  std::optional<CPasswordChanger> received;
};

TEST(PasswordChangedEventTest, ParentSeesTheChangeBeforeTheSenderGoesOn) {
  ChangeReceiver parent;
  {
    const CPasswordChanger edit(CPasswordEntry("old pass", "hint", "home"),
                                CPasswordEntry("new pass", "hint", "house"),
                                CPasswordChanger::Edited);
    SendPasswordChanged(&parent, edit);
    ASSERT_TRUE(parent.received.has_value()) << "the event was queued, not processed";
  }
  EXPECT_EQ(parent.received->action, 3);
  EXPECT_EQ(parent.received->oldEntry, CPasswordEntry("old pass", "hint", "home"));
  EXPECT_EQ(parent.received->newEntry, CPasswordEntry("new pass", "hint", "house"));

  SendPasswordChanged(
      &parent, CPasswordChanger(CPasswordEntry("a", "", "gone"), CPasswordEntry("b", "", "next"),
                                CPasswordChanger::Removed));
  EXPECT_EQ(parent.received->action, 4);
  EXPECT_EQ(parent.received->oldEntry.name, "gone");
  EXPECT_EQ(parent.received->newEntry.name, "next");
}

TEST(PasswordChangedEventTest, EventWithoutChangerIsAnInternalError) {
  wxCommandEvent empty(EVT_PASSWORD_CHANGED);
  try {
    PasswordChangerOf(empty);
    FAIL() << "an event without data was accepted";
  } catch (const CPassManagerException& error) {
    EXPECT_EQ(error.GetMessage(), "Internal error. Wrong client data in Password changer class");
    EXPECT_EQ(error.GetModule(), "Password manager dialog exception");
  }

  // Some other object as client data is no changer either.
  CPasswordEntry notAChanger("p", "", "n");
  wxObject* other = &notAChanger;
  empty.SetClientData(other);
  EXPECT_THROW(PasswordChangerOf(empty), CPassManagerException);
}

TEST(PasswordChangedEventTest, ReceiverErrorReachesTheSender) {
  wxEvtHandler parent;
  parent.Bind(EVT_PASSWORD_CHANGED, [](wxCommandEvent& event) {
    event.SetClientData(nullptr);
    PasswordChangerOf(event);
  });
  EXPECT_THROW(SendPasswordChanged(&parent, CPasswordChanger()), CPassManagerException);
}

}  // namespace
