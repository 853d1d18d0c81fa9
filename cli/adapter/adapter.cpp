#include "cli/adapter/adapter.h"

namespace talvo::cli::adapter {

Adapter::Adapter(vandir::TVandirCNC& link, std::string host, AdapterOptions options,
                 DisplayTexts texts)
    : interval_(options.interval),
      server_(options.listenAddress, options.port, options.limits,
              UnavailableSnapshot(std::chrono::system_clock::now())),
      poller_(link, std::move(host), options.times, std::move(texts),
              [this](Snapshot snapshot) { server_.Publish(std::move(snapshot)); }) {}

void Adapter::Run(const std::function<bool(std::chrono::milliseconds)>& stopWithin) {
  do {
    poller_.Tick(ControllerPoller::Clock::now());
  } while (!stopWithin(interval_));
}

}  // namespace talvo::cli::adapter
