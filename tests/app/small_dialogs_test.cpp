// The small dialogs without a controller: the password dialog, the about box, the
// process-information window and the command-result dialog's texts and reactions.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <string>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/process_info_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/dialogs/return_code_text.h"
#include "app/language/language.h"
#include "service/talvo_service.h"
#include "tests/app/dialog_fixture.h"

namespace talvo::app {
namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
  auto* child = parent.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// Shows `dialog` modally, runs `drive` inside its loop, and returns the modal result.
int RunModal(QDialog& dialog, const std::function<void()>& drive) {
  QTimer::singleShot(0, &dialog, [&] {
    drive();
    if (dialog.isVisible()) dialog.done(-1);
  });
  return dialog.exec();
}

class SmallDialogs : public testing::Test {
 protected:
  dialog_test::ProgramHome home;
};

// ---- password ---------------------------------------------------------------------------

TEST_F(SmallDialogs, PasswordTakesFourCharactersAndAcceptCopiesThem) {
  TLanguage language(home.Text(), 2);
  TPasswordForm form(language, nullptr);
  std::string buffer = "old";
  form.SetPasswordBuffer(&buffer);
  auto* edit = Child<QLineEdit>(form, "editPassword");
  EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
  const int result = RunModal(form, [&] {
    EXPECT_EQ(form.focusWidget(), edit);
    QTest::keyClicks(edit, "123456");
    EXPECT_EQ(edit->text(), "1234") << "a fifth character cannot be typed";
    QTest::mouseClick(Child<QPushButton>(form, "buttonAccept"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(buffer, "1234");
}

TEST_F(SmallDialogs, PasswordEnterAcceptsAndShowingClearsTheEdit) {
  TLanguage language(home.Text(), 2);
  TPasswordForm form(language, nullptr);
  std::string buffer;
  form.SetPasswordBuffer(&buffer);
  auto* edit = Child<QLineEdit>(form, "editPassword");
  edit->setText("9999");
  const int result = RunModal(form, [&] {
    EXPECT_TRUE(edit->text().isEmpty());
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(buffer, "ab");
}

TEST_F(SmallDialogs, PasswordCancelOrEscapeUnticksShowNextTime) {
  TLanguage language(home.Text(), 2);
  TPasswordForm form(language, nullptr);
  std::string buffer = "kept";
  form.SetPasswordBuffer(&buffer);
  form.SetShowNextTime(true);
  EXPECT_TRUE(form.ShowNextTime());
  auto* edit = Child<QLineEdit>(form, "editPassword");
  int result = RunModal(form, [&] {
    QTest::keyClicks(edit, "12");
    QTest::keyClick(edit, Qt::Key_Escape);
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(form.ShowNextTime());
  EXPECT_EQ(buffer, "kept") << "nothing is copied on Cancel";

  form.SetShowNextTime(true);
  result = RunModal(form, [&] { QTest::mouseClick(Child<QPushButton>(form, "buttonCancel"), Qt::LeftButton); });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(form.ShowNextTime());
}

TEST_F(SmallDialogs, CaptionsComeFromTheLanguageFileOrTheBuiltInTexts) {
  home.WriteFile("Language/MLangENG.ini",
                 "[Password]\nform=Password please\nACCEPT=\n[AboutString]\nAboutForm=About us\n"
                 "[SendMessage]\n");
  TLanguage language(home.Text(), 2);
  TPasswordForm password(language, nullptr);
  EXPECT_EQ(password.windowTitle(), "Password please") << "keys match without regard to case";
  EXPECT_EQ(Child<QPushButton>(password, "buttonAccept")->text(), "") << "an empty text is kept";
  EXPECT_EQ(Child<QPushButton>(password, "buttonCancel")->text(), "CANCEL");
  EXPECT_EQ(Child<QLabel>(password, "labelPassword")->text(), "Please Input Password");
  EXPECT_EQ(Child<QCheckBox>(password, "checkShowNextTime")->text(), "Do'nt Show Next Time");

  TFormAbout about(language, home.Text(), nullptr);
  EXPECT_EQ(about.windowTitle(), "About us");
  EXPECT_EQ(Child<QLabel>(about, "LabelProductName")->text(), "Talvo-Maintenance");
  EXPECT_EQ(Child<QLabel>(about, "LabelVersion")->text(), "Version:");
  EXPECT_EQ(Child<QLabel>(about, "LabelVersionNo")->text(), "01.11.00.00");
  EXPECT_EQ(Child<QPushButton>(about, "ButtonOK")->text(), "OK");
}

// ---- about ------------------------------------------------------------------------------

TEST_F(SmallDialogs, AboutShowsTheLogoOnlyWhenOneCanBeRead) {
  TLanguage language(home.Text(), 2);
  {
    TFormAbout about(language, home.Text(), nullptr);
    EXPECT_TRUE(Child<QLabel>(about, "ImageProgramIcon")->pixmap().isNull()) << "no Logo.bmp";
  }
  home.WriteFile("Resource/Logo.bmp", "BM not really a bitmap");
  {
    TFormAbout about(language, home.Text(), nullptr);
    EXPECT_TRUE(Child<QLabel>(about, "ImageProgramIcon")->pixmap().isNull()) << "unreadable";
  }
  QImage logo(40, 30, QImage::Format_RGB32);
  logo.fill(Qt::red);
  ASSERT_TRUE(logo.save(QString::fromStdString(home.Text() + "Resource/Logo.bmp"), "BMP"));
  TFormAbout about(language, home.Text(), nullptr);
  const QPixmap shown = Child<QLabel>(about, "ImageProgramIcon")->pixmap();
  EXPECT_EQ(shown.size(), QSize(40, 30));
  const int result = RunModal(about, [&] {
    QTest::mouseClick(Child<QPushButton>(about, "ButtonOK"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
}

// ---- process information ----------------------------------------------------------------

TEST_F(SmallDialogs, ProcessInfoShowsTheServiceDebugLinesAndCounters) {
  TTalvoService service;
  service.SetProcessInterval(70);
  service.AddDebugMsg("before the window: not kept");
  {
    TFormProcessInfo info(service, nullptr);
    EXPECT_TRUE(info.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(info.isModal());
    ASSERT_NE(service.DebugLines, nullptr);
    service.AddDebugMsg("first");
    service.AddDebugMsg("second");
    info.show();
    auto* memo = Child<QPlainTextEdit>(info, "MemoDebug");
    EXPECT_EQ(memo->toPlainText(), "second\nfirst") << "newest line on top";
    EXPECT_EQ(Child<QLineEdit>(info, "LabeledEditProcInterval")->text(), "70");
    EXPECT_EQ(Child<QLineEdit>(info, "LabeledEditSendCMD")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>(info, "LabeledEditReconnect")->text(), "0");

    service.AddDebugMsg("third");
    service.SetProcessInterval(90);
    EXPECT_TRUE(dialog_test::RunUntil([&] { return memo->toPlainText().startsWith("third\n"); },
                               std::chrono::seconds(2)))
        << "the 100 ms timer brings new lines";
    EXPECT_EQ(Child<QLineEdit>(info, "LabeledEditProcInterval")->text(), "90");

    info.hide();
    service.AddDebugMsg("while hidden");
    dialog_test::RunFor(std::chrono::milliseconds(250));
    EXPECT_FALSE(memo->toPlainText().contains("while hidden")) << "the timer stops when hidden";
    info.show();
    EXPECT_TRUE(memo->toPlainText().startsWith("while hidden\n"));
  }
  EXPECT_EQ(service.DebugLines, nullptr) << "the service must not write into a closed window";
  service.AddDebugMsg("after the window");
}

// ---- command result ---------------------------------------------------------------------

TEST(ReturnCodeText, EveryValueHasItsText) {
  struct Case {
    int value;
    const char* text;
  };
  for (const Case& c :
       {Case{0, "Set Finish"}, {1, "Get Finish"}, {2, "Set Fail"}, {3, "Get Fail"},
        {4, "Over Range Error"}, {5, "Over Level Error"}, {6, "Over No Error"},
        {7, "Over Field Error"}, {8, "Over P Error"}, {9, "Over Axis Range"},
        {10, "Data Error"}, {100, "Net Connect Error"}, {200, "Mode Over Error"},
        {201, "Mode Error"}, {300, "Status Over Error"}, {301, "Status Error"},
        {400, "Password Level Over"}, {401, "Password No Not Found"}, {402, "Password Error"},
        {999, "Net Waiting"}, {-1000, "PC site IP readonly, access denied!"},
        {-999, "Net Timeout"}, {1234, "1234"}, {11, "11"}, {-1, "-1"}, {403, "403"}}) {
    EXPECT_EQ(ReturnCodeText(nullptr, c.value), c.text) << c.value;
  }
}

TEST_F(SmallDialogs, ReturnCodeTextsComeFromTheLanguageFile) {
  home.WriteFile("Language/MLangENG.ini", "[ReturnCode]\nSetFinish=Written\nPwErr=Wrong password\n");
  TLanguage language(home.Text(), 2);
  EXPECT_EQ(ReturnCodeText(&language, 0), "Written");
  EXPECT_EQ(ReturnCodeText(&language, 402), "Wrong password");
  EXPECT_EQ(ReturnCodeText(&language, 2), "Set Fail");
  EXPECT_EQ(ReturnCodeText(&language, 77), "77");
}

TEST_F(SmallDialogs, ReturnCodeDialogClosesItselfOnlyAfterSuccess) {
  TFormReturnCode dialog(nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Return Message");
  dialog.SetCloseDelay(150);
  dialog.show();
  auto* panel = Child<QLabel>(dialog, "PanelReturnMSG");
  dialog.ShowReturnCode(999);
  EXPECT_EQ(panel->text(), "Net Waiting");
  dialog.ShowReturnCode(0);
  EXPECT_EQ(panel->text(), "Set Finish");
  EXPECT_TRUE(dialog.isVisible()) << "it stays for the close delay";
  EXPECT_TRUE(dialog_test::RunUntil([&] { return !dialog.isVisible(); }, std::chrono::seconds(3)));

  dialog.SetAutoClose(false);
  dialog.show();
  dialog.ShowReturnCode(0);
  dialog_test::RunFor(std::chrono::milliseconds(400));
  EXPECT_TRUE(dialog.isVisible()) << "without auto-close only Accept closes it";
  QTest::mouseClick(Child<QPushButton>(dialog, "ButtonAccept"), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SmallDialogs, ReturnCodePasswordErrorUnticksThePasswordDialog) {
  home.WriteFile("Language/MLangENG.ini", "[ReturnCode]\nCaption=Result\nAccept=Fine\n");
  TLanguage language(home.Text(), 2);
  TPasswordForm password(language, nullptr);
  TFormReturnCode dialog(nullptr);
  dialog.SetPasswordForm(&password);
  dialog.SetLanguage(&language);
  dialog.SetCloseDelay(0);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Result") << "captions are set when it is shown";
  EXPECT_EQ(Child<QPushButton>(dialog, "ButtonAccept")->text(), "Fine");

  password.SetShowNextTime(true);
  dialog.ShowReturnCode(2);
  EXPECT_TRUE(password.ShowNextTime()) << "only a password error asks for it again";
  dialog.ShowReturnCode(kPasswordError);
  EXPECT_FALSE(password.ShowNextTime());
  EXPECT_EQ(Child<QLabel>(dialog, "PanelReturnMSG")->text(), "Password Error");
  dialog_test::RunFor(std::chrono::milliseconds(100));
  EXPECT_TRUE(dialog.isVisible()) << "a refused write does not close it";
  dialog.ShowReturnCode(0);
  EXPECT_TRUE(dialog_test::RunUntil([&] { return !dialog.isVisible(); }, std::chrono::seconds(2)))
      << "a delay of 0 still closes, after at least 1 ms";
}

}  // namespace
}  // namespace talvo::app
