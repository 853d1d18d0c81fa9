// The alarm and warning texts of the controller the adapter is connected to. After each
// login the poller has them fetched: where the controller keeps its files, then the three
// files that hold the texts (PLC alarms and warnings, user strings, display strings),
// downloaded one after the other and merged as the maintenance program merges them. The
// English files are taken: MTConnect agents and the tools behind them expect English.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/adapter/answer_watch.h"
#include "cli/adapter/machine_items.h"
#include "link/vandircnc.h"

namespace talvo::cli::adapter {

// The entries of section HMISTRINGTABLE of merged display-string lines whose key is a
// number, trimmed and decoded to UTF-8; a number given twice keeps its first text.
DisplayTexts ParseDisplayTexts(const std::vector<std::string>& lines);

class TextFetch {
 public:
  using Clock = std::chrono::steady_clock;
  enum class Outcome { kRunning, kDone, kLost };

  // Downloads go to `folder`, which is created when needed; a controller silent for
  // `staleAfter` is taken for lost.
  TextFetch(vandir::TVandirCNC& link, std::filesystem::path folder,
            std::chrono::milliseconds staleAfter);
  ~TextFetch();
  TextFetch(const TextFetch&) = delete;
  TextFetch& operator=(const TextFetch&) = delete;

  // Begins again from the paths, for a new login.
  void Start(Clock::time_point now);
  // One step; never waits. A file the controller does not have, or that cannot be stored,
  // is left out: texts are a help, not a reason to stop reporting the machine.
  Outcome Step(Clock::time_point now);
  // The texts of the files fetched, once Step said kDone.
  DisplayTexts Take();

 private:
  Outcome AwaitPaths(Clock::time_point now);
  Outcome AwaitDownload(Clock::time_point now);
  void StartNextDownload(Clock::time_point now);
  std::filesystem::path LocalFile() const;

  vandir::TVandirCNC& link_;
  const std::filesystem::path folder_;
  const std::chrono::milliseconds staleAfter_;
  AnswerWatch answers_;
  std::vector<std::string> files_;  // on the controller, once the paths are known
  std::size_t next_ = 0;            // the file downloading, or to download next
  bool downloading_ = false;
  std::int32_t offset_ = 0;         // of the download, when it last moved
  Clock::time_point since_{};       // the last request, or the download's last move
  std::vector<std::string> merged_;
};

}  // namespace talvo::cli::adapter
