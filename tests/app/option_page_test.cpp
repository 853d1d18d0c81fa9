// The Option page on real widgets: what it shows of the settings file, what Apply writes and
// hands to the running service, and Cancel.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <filesystem>
#include <string>

#include "app/language/language.h"
#include "app/pages/option_page.h"
#include "app/settings/key_file.h"
#include "app/settings/options.h"
#include "app/settings/program_home.h"
#include "service/talvo_service.h"
#include "tests/support/file_bytes.h"
#include "tests/support/file_size_limit.h"

namespace talvo::app {
namespace {

class OptionPage : public testing::Test {
 protected:
  OptionPage() {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  ~OptionPage() override { std::filesystem::remove_all(folder); }

  // The page as the frame makes it: built, captioned, loaded from `settings`.
  TOptionPage& Open(const std::string& settings) {
    vandir::test::WriteBytes(folder / kSettingsFileName, settings);
    page = std::make_unique<TOptionPage>(options, service);
    page->LoadCaptions(TLanguage(folder.string() + "/", 2));
    page->LoadOptionsPage();
    return *page;
  }
  template <class W>
  W* Find(const char* name) const {
    W* widget = page->findChild<W*>(name);
    if (!widget) ADD_FAILURE() << "no control " << name;
    return widget;
  }
  QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
  QCheckBox* Box(const char* name) const { return Find<QCheckBox>(name); }
  void Click(const char* button) const { Find<QPushButton>(button)->click(); }
  int Stored(const char* key) const { return file.ReadInteger(kOptions, key, -99); }
  // The language item shown as chosen, -1 for none.
  int ChosenLanguage() const {
    const char* items[] = {"RadioBIG5", "RadioGB", "RadioENG"};
    for (int code = 0; code < 3; ++code)
      if (Find<QRadioButton>(items[code])->isChecked()) return code;
    return -1;
  }

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("talvo-option-" + std::to_string(::getpid()) + "-" +
       testing::UnitTest::GetInstance()->current_test_info()->name());
  TIniFile file{folder / kSettingsFileName};
  TOptions options{file, folder.string() + "/"};
  TTalvoService service;
  std::unique_ptr<TOptionPage> page;
};

TEST_F(OptionPage, ShowsTheSettingsFileAndItsDefaults) {
  Open("");
  EXPECT_EQ(page->objectName(), "TabSheetOption");
  EXPECT_EQ(page->Tag(), 12);
  EXPECT_EQ(ChosenLanguage(), 2);
  EXPECT_EQ(Find<QSlider>("trackbarDelayTime")->value(), 1);
  EXPECT_EQ(Edit("editDelayTime")->text(), "1");
  EXPECT_TRUE(Edit("editDelayTime")->isReadOnly());
  EXPECT_TRUE(Box("CheckBoxEnableReconnect")->isChecked());
  EXPECT_FALSE(Box("CheckBoxReconnectTimes")->isChecked());
  EXPECT_FALSE(Edit("EditReconnectTimes")->isEnabled()) << "no count without its box";
  EXPECT_EQ(Edit("EditReconnectTimes")->text(), "10");
  EXPECT_EQ(Edit("EditRetryDelayTime")->text(), "1");
  EXPECT_EQ(Find<QGroupBox>("RadioGroupLanguage")->title(), "Language");
  EXPECT_EQ(Find<QRadioButton>("RadioBIG5")->text(), "Chinese Traditional");

  Open("[OPTIONS]\nLANGUAGE=0\nSHOWTIMER=3\nENABLE_RECONNECT_TIMES=1\nNUMBER_RECONNECT_TIMES=4\n"
       "RECONNECT_DELAY_TIME=7\n");
  EXPECT_EQ(ChosenLanguage(), 0);
  EXPECT_EQ(Edit("editDelayTime")->text(), "3");
  EXPECT_TRUE(Edit("EditReconnectTimes")->isEnabled());
  EXPECT_EQ(Edit("EditReconnectTimes")->text(), "4");
  EXPECT_EQ(Edit("EditRetryDelayTime")->text(), "7");
}

TEST_F(OptionPage, DisplayTimeIsHeldToTheBarAndTheEditEchoesIt) {
  Open("[OPTIONS]\nSHOWTIMER=9\n");
  EXPECT_EQ(Find<QSlider>("trackbarDelayTime")->value(), 5);
  EXPECT_EQ(Edit("editDelayTime")->text(), "5");
  Click("SpeedButtonOptionApply");
  EXPECT_EQ(Stored("SHOWTIMER"), 5);

  Find<QSlider>("trackbarDelayTime")->setValue(0);
  EXPECT_EQ(Edit("editDelayTime")->text(), "0");
  Click("SpeedButtonOptionApply");
  EXPECT_EQ(Stored("SHOWTIMER"), 0);
}

TEST_F(OptionPage, CountsThatAreNoWholeNumberKeepTheStoredOne) {
  const struct {
    const char* typed;
    int stored;  // what the file holds after Apply; the edit shows it too
  } cases[] = {{"abc", 6}, {"-3", 6}, {"", 6}, {"4x", 6}, {"99999999999", 6},
               {" 12 ", 12}, {"0", 0}};
  for (const auto& c : cases) {
    Open("[OPTIONS]\nNUMBER_RECONNECT_TIMES=6\nRECONNECT_DELAY_TIME=6\n");
    Edit("EditReconnectTimes")->setText(c.typed);
    Edit("EditRetryDelayTime")->setText(c.typed);
    Click("SpeedButtonOptionApply");
    for (const char* key : {"NUMBER_RECONNECT_TIMES", "RECONNECT_DELAY_TIME"})
      EXPECT_EQ(Stored(key), c.stored) << key << " typed '" << c.typed << "'";
    EXPECT_EQ(Edit("EditReconnectTimes")->text().toStdString(), std::to_string(c.stored));
    EXPECT_EQ(Edit("EditRetryDelayTime")->text().toStdString(), std::to_string(c.stored));
  }
}

TEST_F(OptionPage, UserLanguageShowsNoItemAndApplyWritesNone) {
  Open("[OPTIONS]\nLANGUAGE=3\n");
  EXPECT_EQ(ChosenLanguage(), -1);
  Click("SpeedButtonOptionApply");
  EXPECT_EQ(Stored("LANGUAGE"), -1);
  EXPECT_EQ(options.Language(), 2) << "the next start falls back to English";
  EXPECT_EQ(Stored("LANGUAGE"), 2);

  Find<QRadioButton>("RadioGB")->click();
  Click("SpeedButtonOptionApply");
  EXPECT_EQ(Stored("LANGUAGE"), 1);
}

TEST_F(OptionPage, AnotherLanguageAppliedSaysItComesAtTheNextStart) {
  Open("[OPTIONS]\nLANGUAGE=2\n");
  QLabel* note = Find<QLabel>("LabelLanguageNextStart");
  EXPECT_FALSE(note->isVisibleTo(page.get()));
  Find<QRadioButton>("RadioBIG5")->click();
  EXPECT_FALSE(note->isVisibleTo(page.get())) << "a choice not applied changes nothing yet";
  Click("SpeedButtonOptionApply");
  EXPECT_TRUE(note->isVisibleTo(page.get()));
  EXPECT_EQ(note->text(), "The language changes at the next start.");
  Find<QRadioButton>("RadioENG")->click();
  Click("SpeedButtonOptionApply");
  EXPECT_FALSE(note->isVisibleTo(page.get())) << "the language running is the one chosen again";
}

TEST_F(OptionPage, RetryOffDisablesItsControlsAndStopsReconnectingInTheService) {
  Open("[OPTIONS]\nENABLE_RECONNECT_TIMES=1\nNUMBER_RECONNECT_TIMES=3\nRECONNECT_DELAY_TIME=2\n");
  Click("SpeedButtonOptionApply");
  EXPECT_TRUE(service.KeepConnect);
  EXPECT_EQ(service.KeepConnectCount, 3u);
  EXPECT_EQ(service.GetKeepConnectInterval(), 2000);

  Box("CheckBoxEnableReconnect")->click();
  for (const char* name : {"CheckBoxReconnectTimes", "EditReconnectTimes", "LabelRetryDelayTime",
                           "EditRetryDelayTime", "LabelRetryDelayTimeUnit"})
    EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
  EXPECT_TRUE(service.KeepConnect) << "nothing changes before Apply";
  Click("SpeedButtonOptionApply");
  EXPECT_FALSE(service.KeepConnect);
  EXPECT_EQ(Stored("ENABLE_RECONNECT"), 0);

  Box("CheckBoxEnableReconnect")->click();
  EXPECT_TRUE(Edit("EditReconnectTimes")->isEnabled());
  Box("CheckBoxReconnectTimes")->click();
  EXPECT_FALSE(Edit("EditReconnectTimes")->isEnabled());
  EXPECT_TRUE(Edit("EditRetryDelayTime")->isEnabled());
  Click("SpeedButtonOptionApply");
  EXPECT_TRUE(service.KeepConnect);
  EXPECT_EQ(service.KeepConnectCount, 0u) << "without a limit the count is 0";
}

TEST_F(OptionPage, CancelShowsTheFileAgain) {
  Open("[OPTIONS]\nLANGUAGE=1\nSHOWTIMER=2\nNUMBER_RECONNECT_TIMES=8\n");
  Find<QRadioButton>("RadioENG")->click();
  Find<QSlider>("trackbarDelayTime")->setValue(4);
  Box("CheckBoxEnableReconnect")->click();
  Edit("EditReconnectTimes")->setText("77");
  Click("SpeedButtonOptionCancel");
  EXPECT_EQ(ChosenLanguage(), 1);
  EXPECT_EQ(Edit("editDelayTime")->text(), "2");
  EXPECT_TRUE(Box("CheckBoxEnableReconnect")->isChecked());
  EXPECT_TRUE(Box("CheckBoxReconnectTimes")->isEnabled());
  EXPECT_EQ(Edit("EditReconnectTimes")->text(), "8");
  EXPECT_EQ(Stored("NUMBER_RECONNECT_TIMES"), 8) << "Cancel writes nothing";
}

TEST_F(OptionPage, SettingsThatCouldNotBeWrittenAreNotShownAsApplied) {
  Open("[OPTIONS]\nSHOWTIMER=2\nNUMBER_RECONNECT_TIMES=8\n");
  Find<QSlider>("trackbarDelayTime")->setValue(4);
  Edit("EditReconnectTimes")->setText("5");
  Box("CheckBoxEnableReconnect")->click();
  {
    // A full disk: the settings file's replacement cannot be written.
    const vandir::test::FileSizeLimit full(8);
    Click("SpeedButtonOptionApply");
  }
  EXPECT_EQ(Stored("SHOWTIMER"), 2);
  EXPECT_EQ(Edit("editDelayTime")->text(), "2");
  EXPECT_EQ(Edit("EditReconnectTimes")->text(), "8");
  EXPECT_TRUE(Box("CheckBoxEnableReconnect")->isChecked());
  EXPECT_TRUE(service.KeepConnect) << "the service keeps the policy the file holds";
}

}  // namespace
}  // namespace talvo::app
