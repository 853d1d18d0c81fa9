// The input pad: its calculator on its own (states, commit, compute, errors), its number
// formats, and the dialog driven through its buttons and keys.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <ostream>
#include <string>

#include "app/dialogs/input_calculator.h"
#include "app/dialogs/input_pad.h"
#include "app/language/language.h"
#include "tests/app/dialog_fixture.h"

namespace talvo::app {
namespace {

using Calc = TInputCalculator;

// Keys as one character each: digits, '.', '+', '-', '*', '/', '=' as themselves;
// S sign, R 1/x, Q x^2, V sqrt, B backspace, C CE; blanks are ignored.
int Code(char key) {
  switch (key) {
    case 'S': return Calc::kSign;
    case 'R': return Calc::kReciprocal;
    case 'Q': return Calc::kSquare;
    case 'V': return Calc::kSquareRoot;
    case 'B': return Calc::kBackspace;
    case 'C': return Calc::kClear;
    default: return key;
  }
}

std::string Keyed(const std::string& start, const std::string& keys) {
  Calc calc;
  calc.SetDisplay(start);
  calc.Start();
  for (char key : keys)
    if (key != ' ') calc.Press(Code(key));
  return calc.GetDisplay();
}

struct PadCase {
  const char* start;
  const char* keys;
  const char* display;
};

void PrintTo(const PadCase& c, std::ostream* os) {
  *os << "start '" << c.start << "' keys '" << c.keys << "'";
}

class PadSequence : public testing::TestWithParam<PadCase> {};

TEST_P(PadSequence, EndsWithDisplay) {
  const PadCase& c = GetParam();
  EXPECT_EQ(Keyed(c.start, c.keys), c.display);
}

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, PadSequence,
    testing::Values(PadCase{"5", "+3=", "8"}, PadCase{"5", "+3==", "11"},
                    PadCase{"5", "-8=", "-3"}, PadCase{"6", "*7=", "42"},
                    PadCase{"1", "/3=", "0.33333333333333"},
                    PadCase{"3", "+4*", "7"}, PadCase{"3", "+4*2=", "14"},
                    PadCase{"0.1", "+0.2=", "0.3"}, PadCase{"5", "+=", "5"},
                    PadCase{"5", "=", "5"}, PadCase{"5", "+3=4", "4"},
                    PadCase{"5", "+3=4=", "4"}, PadCase{"5", "+3=S", "-8"},
                    PadCase{"5", "+3=S+1=", "-7"}, PadCase{"9", "V", "3"},
                    PadCase{"4", "R", "0.25"}, PadCase{"1.5", "Q", "2.25"},
                    PadCase{"2", "+9V=", "5"}, PadCase{"2", "*3=R", "0.16666666666666"}));

INSTANTIATE_TEST_SUITE_P(
    Entry, PadSequence,
    testing::Values(PadCase{"0", "S", "-0"}, PadCase{"0", "S5", "-5"},
                    PadCase{"-5", "B", "0"}, PadCase{"12", "B", "1"},
                    PadCase{"0", "B", "0"}, PadCase{"0", ".", "0."},
                    PadCase{"0", ".5.", "0.5"}, PadCase{"0.", "B", "0"},
                    PadCase{"-", "", "-0"}, PadCase{" 42 ", "", "42"},
                    PadCase{"12345678901234567890", "", "0"},
                    PadCase{"0", "2147483647", "2147483647"},
                    PadCase{"0", "2147483648", "214748364"},
                    PadCase{"-", "2147483649", "-214748364"},
                    PadCase{"0", ".12345678901234567", "0.1234567890123"},
                    PadCase{"0", ".12345678901234567S", "-0.1234567890123"},
                    PadCase{"0", ".12345678901234567SS", "0.1234567890123"}));

INSTANTIATE_TEST_SUITE_P(
    Errors, PadSequence,
    testing::Values(PadCase{"7", "/0=", "Error!"}, PadCase{"7", "/0=5.S+=", "Error!"},
                    PadCase{"7", "/0=C", "0"}, PadCase{"7", "/0=B", "0"},
                    PadCase{"7", "/0=C5+1=", "6"}, PadCase{"0", "R", "Error!"},
                    PadCase{"4", "SV", "Error!"}, PadCase{"2147483647", "+1=", "Error!"},
                    PadCase{"65536", "Q", "Error!"}, PadCase{"x", "", "Error!"},
                    PadCase{"", "", "Error!"}, PadCase{"+", "", "Error!"},
                    PadCase{".", "", "Error!"}));

TEST(PadCalculator, DisplayIsTrimmedAndCutToSixteen) {
  Calc calc;
  calc.SetDisplay("  12345678901234567890\t");
  EXPECT_EQ(calc.ShownText(), "1234567890123456 ");
  EXPECT_EQ(calc.GetDisplay(), "1234567890123456");
}

TEST(PadFormats, ReadingNumbers) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  for (const Case& c : {Case{"1.5", true, 1.5}, {" -2 ", true, -2}, {"1.", true, 1},
                        {".5", true, 0.5}, {"-.5", true, -0.5}, {"+2", true, 2},
                        {"1e3", true, 1000}, {"2E-2", true, 0.02}, {"1e", false, 0},
                        {".", false, 0}, {"-", false, 0}, {"", false, 0}, {"1.2.3", false, 0},
                        {"1,5", false, 0}, {"abc", false, 0}, {"1e999", false, 0},
                        {"inf", false, 0}, {"nan", false, 0}, {"--1", false, 0},
                        {"0x10", false, 0}}) {
    double value = -12345;
    EXPECT_EQ(TryTextToDouble(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
  }
}

TEST(PadFormats, ResultsAndGeneralNotation) {
  EXPECT_EQ(FormatPadResult(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatPadResult(-0.0), "0");
  EXPECT_EQ(FormatPadResult(1e-20), "0") << "no exponent in a result";
  EXPECT_EQ(FormatPadResult(-1.5e-16), "0");
  EXPECT_EQ(FormatPadResult(2147483647.0), "2147483647");
  EXPECT_EQ(FormatPadResult(-12.5), "-12.5");
  EXPECT_EQ(FormatPadResult(1e-15), "0.000000000000001");

  EXPECT_EQ(FormatGeneral(214748364), "214748364");
  EXPECT_EQ(FormatGeneral(-0.25), "-0.25");
  EXPECT_EQ(FormatGeneral(0.00001), "0.00001");
  EXPECT_EQ(FormatGeneral(1.5e-6), "1.5E-6");
  EXPECT_EQ(FormatGeneral(1e20), "1E20");
  EXPECT_EQ(FormatGeneral(1234567890123456.0), "1.23456789012346E15");
  EXPECT_EQ(FormatGeneral(100), "100");
}

// ---- the dialog -----------------------------------------------------------------------------

QPushButton* Button(TFrmInput& pad, const char* name) {
  auto* button = pad.findChild<QPushButton*>(name);
  EXPECT_NE(button, nullptr) << name;
  return button;
}

QString Shown(TFrmInput& pad) { return pad.findChild<QLabel*>("LabelData")->text(); }

// Shows the pad modally, runs `drive` inside its loop, and returns the modal result.
int RunModal(TFrmInput& pad, const std::function<void()>& drive) {
  QTimer::singleShot(0, &pad, [&] {
    drive();
    if (pad.isVisible()) pad.reject();
  });
  return pad.exec();
}

TEST(PadDialog, ButtonsComputeAndOkHandsBackTheDisplay) {
  TFrmInput pad(nullptr);
  EXPECT_EQ(pad.size(), QSize(341, 421));
  EXPECT_EQ(QFontInfo(pad.font()).pixelSize(), 32);
  pad.SetDisplay("5");
  const int result = RunModal(pad, [&] {
    EXPECT_EQ(Shown(pad), "5 ");
    for (const char* name : {"SpeedButtonOperator1", "SpeedButtonNum3", "SpeedButtonOperator0"})
      QTest::mouseClick(Button(pad, name), Qt::LeftButton);
    EXPECT_EQ(Shown(pad), "8 ");
    QTest::mouseClick(Button(pad, "SpeedButtonOperator0"), Qt::LeftButton);
    EXPECT_EQ(Shown(pad), "11 ");
    QTest::mouseClick(Button(pad, "SpeedButtonOK"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(pad.GetDisplay(), "11");
}

TEST(PadDialog, EveryButtonCarriesItsNumber) {
  struct Case {
    const char* name;
    const char* start;
    const char* display;
  };
  for (const Case& c :
       {Case{"SpeedButtonNum0", "1", "10"}, {"SpeedButtonNum9", "1", "19"},
        {"SpeedButtonDot", "1", "1."}, {"SpeedButtonSign", "1", "-1"},
        {"SpeedButtonOperator5", "4", "0.25"}, {"SpeedButtonOperator6", "3", "9"},
        {"SpeedButtonOperator7", "9", "3"}, {"SpeedButtonBackspace", "12", "1"},
        {"SpeedButtonCE", "12", "0"}}) {
    TFrmInput pad(nullptr);
    pad.SetDisplay(c.start);
    RunModal(pad, [&] { QTest::mouseClick(Button(pad, c.name), Qt::LeftButton); });
    EXPECT_EQ(pad.GetDisplay(), c.display) << c.name;
  }
}

TEST(PadDialog, KeysActAsButtonsAndOnlyOkOrCancelClose) {
  TFrmInput pad(nullptr);
  pad.SetDisplay("0");
  const int result = RunModal(pad, [&] {
    QTest::keyClicks(&pad, "12+3");
    QTest::keyClick(&pad, Qt::Key_Enter);
    EXPECT_TRUE(pad.isVisible()) << "Enter is '=', it does not close the pad";
    EXPECT_EQ(Shown(pad), "15 ");
    QTest::keyClick(&pad, Qt::Key_Return);
    EXPECT_EQ(Shown(pad), "18 ");
    QTest::keyClick(&pad, Qt::Key_Backspace);
    EXPECT_EQ(Shown(pad), "1 ");
    QTest::keyClicks(&pad, "*4=");
    EXPECT_EQ(Shown(pad), "4 ");
    QTest::keyClicks(&pad, "/0=");
    EXPECT_EQ(Shown(pad), "Error! ");
    QTest::keyClicks(&pad, "7");
    EXPECT_EQ(Shown(pad), "Error! ");
    QTest::keyClick(&pad, Qt::Key_Escape);
    EXPECT_TRUE(pad.isVisible()) << "Escape is CE, it does not cancel the pad";
    EXPECT_EQ(Shown(pad), "0 ");
    QTest::keyClicks(&pad, "2.5xyz");
    EXPECT_EQ(Shown(pad), "2.5 ") << "other keys do nothing";
    QTest::mouseClick(Button(pad, "SpeedButtonCancel"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Rejected);
}

TEST(PadDialog, ShowingResetsAndOkHandsOverAnError) {
  TFrmInput pad(nullptr);
  pad.SetDisplay("7");
  RunModal(pad, [&] {
    QTest::keyClicks(&pad, "/0=");
    pad.accept();
  });
  EXPECT_EQ(pad.GetDisplay(), "Error!") << "the caller reports its format error";
  pad.SetDisplay("3");
  const int result = RunModal(pad, [&] {
    EXPECT_FALSE(pad.Calculator().Error());
    QTest::keyClicks(&pad, "=");
    QTest::mouseClick(Button(pad, "SpeedButtonOK"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(pad.GetDisplay(), "3");
}

TEST(PadDialog, SaysWhatIsEditedAndItsValueWithoutShrinkingTheDisplay) {
  TFrmInput pad(nullptr);
  pad.SetTarget("#105  Value", "2.5000");
  pad.SetDisplay("7");
  RunModal(pad, [&] {
    EXPECT_EQ(pad.findChild<QLabel*>("LabelTarget")->text(), "#105  Value");
    EXPECT_EQ(pad.findChild<QLabel*>("LabelCurrent")->text(), "2.5000");
    EXPECT_TRUE(pad.findChild<QLabel*>("LabelTarget")->isVisible());
    EXPECT_EQ(QFontInfo(pad.findChild<QLabel*>("LabelData")->font()).pixelSize(), 32);
    const QRect target = pad.findChild<QLabel*>("LabelTarget")->geometry();
    const QRect display = pad.findChild<QLabel*>("LabelData")->geometry();
    EXPECT_LE(target.bottom(), display.top()) << "the caption stands above the display";
    EXPECT_GE(display.height(), 32);
    EXPECT_EQ(pad.size(), QSize(341, 421));
  });
}

TEST(PadDialog, CaptionsFromTheLanguageFileWhenGiven) {
  dialog_test::ProgramHome home;
  home.WriteFile("Language/MLangENG.ini",
                 "[InputNumeric]\nForm=Enter a value\nSpeedButtonOK_Label=Take\n");
  TLanguage language(home.Text(), 2);
  TFrmInput pad(nullptr);
  RunModal(pad, [] {});
  EXPECT_EQ(pad.windowTitle(), "Input Numeric");
  EXPECT_EQ(Button(pad, "SpeedButtonOK")->text(), "OK");
  pad.SetLanguage(&language);
  RunModal(pad, [] {});
  EXPECT_EQ(pad.windowTitle(), "Enter a value");
  EXPECT_EQ(Button(pad, "SpeedButtonOK")->text(), "Take");
  EXPECT_EQ(Button(pad, "SpeedButtonCancel")->text(), "Cancel") << "a missing key: built-in text";
}

}  // namespace
}  // namespace talvo::app
