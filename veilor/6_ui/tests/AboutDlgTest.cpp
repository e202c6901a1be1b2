// The about box: fixed layout, real library versions, links that open once
// per click and leave the box open.
#include <string>

#include <cryptopp/cryptlib.h>
#include <gtest/gtest.h>
#include <wx/utils.h>

#include "6_ui/AboutDlg.h"
#include "6_ui/ImageStore.h"
#include "AboutDlgSeam.h"
#include "DialogDriver.h"

namespace {

wxMouseEvent LeftUp(wxWindow* window) {
  wxMouseEvent release(wxEVT_LEFT_UP);
  release.SetEventObject(window);
  release.SetId(window->GetId());
  return release;
}

class AboutDlgTest : public testing::Test {
protected:
  AboutDlgTest() { CImageStore::Instance(); }
};

// The versions as the linked libraries themselves report them, not as the
// headers the box was compiled with declare them.
TEST_F(AboutDlgTest, NamesTheLibrariesItWasBuiltWith) {
  const std::string crypto = std::to_string(CryptoPP::LibraryVersion());
  ASSERT_EQ(crypto.size(), 3u) << crypto;
  const wxString toolkit = wxGetLibraryVersionInfo().GetVersionString();
  ASSERT_TRUE(toolkit.StartsWith("wxWidgets 3.")) << toolkit;
  EXPECT_EQ(CAboutDlg::ComponentsText(), "Crypto++ v" + crypto.substr(0, 1) + "." +
                                             crypto.substr(1, 1) + "." + crypto.substr(2, 1) +
                                             "\n" + toolkit + "\nOrdal Context Menu engine\n");
}

TEST_F(AboutDlgTest, LinksOpenOncePerReleaseAndTheBoxStaysOpen) {
  CAboutDlg dialog(nullptr, -1, "About");
  std::vector<wxString> opened;
  AboutDlgSeam::SetLinkOpener(dialog, [&](const wxString& address) { opened.push_back(address); });
  bool openAfterLinks = false;
  DialogDriver driver;
  driver.On<CAboutDlg>([&](CAboutDlg& d) {
    wxMouseEvent press(wxEVT_LEFT_DOWN);
    press.SetEventObject(d.webLink);
    d.webLink->GetEventHandler()->ProcessEvent(press);
    wxMouseEvent web = LeftUp(d.webLink);
    d.webLink->GetEventHandler()->ProcessEvent(web);
    wxMouseEvent mail = LeftUp(d.mailLink);
    d.mailLink->GetEventHandler()->ProcessEvent(mail);
    openAfterLinks = d.IsModal();
    Click(d.closeButton);
  });
  EXPECT_EQ(dialog.ShowModal(), 0);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(openAfterLinks);
  EXPECT_EQ(opened, std::vector<wxString>({"https://veilor.app", "mailto:support@veilor.app"}));
  EXPECT_EQ(dialog.webLink->GetToolTipText(), "https://veilor.app");
  EXPECT_EQ(dialog.mailLink->GetToolTipText(), "mailto:support@veilor.app");
}

TEST_F(AboutDlgTest, FixedLayoutAndTexts) {
  CAboutDlg dialog(nullptr, -1, "About");
  EXPECT_EQ(dialog.GetSize(), wxSize(450, 531));
  // The version of this build, as the project declares it.
  EXPECT_EQ(dialog.valuesText->GetLabel(), VEILOR_PROJECT_VERSION "\n");
  // Setting the texts did not resize their boxes.
  EXPECT_EQ(dialog.valuesText->GetRect(), wxRect(117, 110, 316, 66));
  EXPECT_EQ(dialog.componentsText->GetRect(), wxRect(13, 324, 420, 70));
  EXPECT_EQ(dialog.descriptionText->GetRect(), wxRect(10, 190, 420, 98));
  // Every text fits its fixed box with the fonts at hand.
  for (wxStaticText* text : {dialog.labelsText, dialog.valuesText, dialog.componentsText,
                             dialog.descriptionText, dialog.webLink, dialog.mailLink}) {
    EXPECT_LE(text->GetBestSize().y, text->GetSize().y) << text->GetName();
    EXPECT_LE(text->GetBestSize().x, text->GetSize().x) << text->GetName();
  }
  EXPECT_TRUE(dialog.banner->GetBitmap().IsOk());
}

}  // namespace
