// `talvo-cli plot` hands its files to talvo-plot, which is installed beside talvo-cli: the
// drawing needs Qt, and the commands that talk to controllers stay free of it.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "cli/commands.h"

namespace talvo::cli {

ExitStatus Run(const Plot& command) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path helper = self.parent_path() / "talvo-plot";
  std::vector<std::string> words{helper.string()};
  words.insert(words.end(), command.files.begin(), command.files.end());
  words.insert(words.end(), {"--png", command.png});
  if (command.channels) words.insert(words.end(), {"--channels", *command.channels});
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::cout.flush();
  ::execv(helper.c_str(), argv.data());
  throw Failure(ExitStatus::kLocalFile,
                "cannot run " + helper.string() + ": " + std::strerror(errno));
}

}  // namespace talvo::cli
