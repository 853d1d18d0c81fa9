#include "cli/adapter/controller_setup.h"

#include "text/interface_language.h"

namespace talvo::cli::adapter {

namespace {

constexpr int kAxisParameters[] = {122, 288, 289};
constexpr int kScreenLanguageParameter = 202;
constexpr const char* kAxisLetters[] = {"A", "B", "C", "U", "V", "W"};

int ReadParameter(vandir::TVandirCNC& link, int number) {
  std::int32_t value = 0;
  int changed = 0;
  link.GetParameter(number, 1, &value, &changed);
  return value;
}

}  // namespace

ControllerSetup ReadControllerSetup(vandir::TVandirCNC& link) {
  ControllerSetup setup;
  for (std::size_t i = 0; i < setup.axisParameters.size(); ++i)
    setup.axisParameters[i] = ReadParameter(link, kAxisParameters[i]);
  setup.screenLanguage = ReadParameter(link, kScreenLanguageParameter);
  return setup;
}

std::string AxisLetter(int parameter) {
  return parameter >= 0 && parameter < 6 ? kAxisLetters[parameter] : "";
}

bool IsRotaryAxis(int parameter) { return parameter >= 0 && parameter < 3; }

int TextLanguage(const ControllerSetup& setup) {
  switch (setup.screenLanguage) {
    case 1:
      return text::kTraditionalChinese;
    case 2:
      return text::kSimplifiedChinese;
    default:
      return text::kEnglish;
  }
}

}  // namespace talvo::cli::adapter
