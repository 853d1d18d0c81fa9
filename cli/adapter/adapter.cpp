#include "cli/adapter/adapter.h"

namespace talvo::cli::adapter {

Adapter::Adapter(vandir::TVandirCNC& link, std::string host, AdapterOptions options,
                 DisplayTexts texts)
    : server_(options.listenAddress, options.port, options.limits,
              UnavailableSnapshot(std::chrono::system_clock::now())),
      poller_(link, std::move(host), options.times, std::move(texts),
              [this](Snapshot snapshot) { server_.Publish(std::move(snapshot)); }) {}

void Adapter::Run(const std::function<bool(std::chrono::milliseconds)>& stopWithin) {
  while (!stopWithin(poller_.Tick(ControllerPoller::Clock::now()))) {
  }
}

}  // namespace talvo::cli::adapter
