#include "cli/adapter/adapter.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>

#include "cli/errors.h"

namespace talvo::cli::adapter {

namespace {

// A folder no other process has: made by mkdtemp, so nobody can have put a link there first.
std::filesystem::path TextFolder(const std::filesystem::path& given) {
  if (!given.empty()) return given;
  std::string pattern = (std::filesystem::temp_directory_path() / "talvo-adapter-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    throw Failure(ExitStatus::kLocalFile,
                  "cannot make a folder for the controller's texts: " + std::string(std::strerror(errno)));
  return pattern;
}

}  // namespace

Adapter::Adapter(vandir::TVandirCNC& link, std::string host, AdapterOptions options)
    : server_(options.listenAddress, options.port, options.limits,
              UnavailableSnapshot(std::chrono::system_clock::now())),
      poller_(link, std::move(host), options.times, TextFolder(options.textFolder),
              [this](Snapshot snapshot) { server_.Publish(std::move(snapshot)); }) {}

void Adapter::Run(const std::function<bool(std::chrono::milliseconds)>& stopWithin) {
  while (!stopWithin(poller_.Tick(ControllerPoller::Clock::now()))) {
  }
}

}  // namespace talvo::cli::adapter
