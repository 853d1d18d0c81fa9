// talvo-cli: one command against one controller, or a fleet of them, for scripts and cron
// jobs.
#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/errors.h"

int main(int argc, char** argv) {
  using namespace talvo::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (WantsHelp(args)) {
      std::cout << UsageText();
      return 0;
    }
    return static_cast<int>(Execute(ParseArguments(args), std::cout));
  } catch (const Failure& failure) {
    std::cout.flush();
    std::cerr << "talvo-cli: " << failure.what() << '\n';
    return static_cast<int>(failure.Status());
  }
}
