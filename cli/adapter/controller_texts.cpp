#include "cli/adapter/controller_texts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <system_error>

#include "cli/cached_reads.h"
#include "link/transfer_watch.h"
#include "link/transport.h"
#include "text/hmi_merge.h"
#include "text/interface_language.h"
#include "text/screen_text.h"
#include "text/trim.h"

namespace talvo::cli::adapter {

namespace {

using vandir::TVandirCNC;

bool IsTextSection(std::string_view line) {
  constexpr std::string_view kName = "HMISTRINGTABLE";
  const auto close = line.find(']');
  if (close == std::string_view::npos) return false;
  const std::string_view name = text::TrimmedSpaces(line.substr(1, close - 1));
  return std::equal(name.begin(), name.end(), kName.begin(), kName.end(),
                    [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

std::string WithSeparator(std::string path) {
  if (path.back() != '\\') path += '\\';
  return path;
}

}  // namespace

DisplayTexts ParseDisplayTexts(const std::vector<std::string>& lines) {
  DisplayTexts texts;
  bool inSection = false;
  for (const std::string& whole : lines) {
    const std::string_view line = text::TrimmedSpaces(whole);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      inSection = IsTextSection(line);
      continue;
    }
    const auto equals = line.find('=');
    if (!inSection || equals == std::string_view::npos) continue;
    const std::string_view key = text::TrimmedSpaces(line.substr(0, equals));
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (error != std::errc() || end != key.data() + key.size()) continue;
    // The program looks the merged file up as a key file, where the first of a key answers.
    texts.try_emplace(number, text::ControllerBytesToUtf8(text::kEnglish,
                                                          text::TrimmedSpaces(line.substr(equals + 1))));
  }
  return texts;
}

TextFetch::TextFetch(TVandirCNC& link, std::filesystem::path folder,
                     std::chrono::milliseconds staleAfter)
    : link_(link), folder_(std::move(folder)), staleAfter_(staleAfter) {}

TextFetch::~TextFetch() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TextFetch::Start(Clock::time_point now) {
  files_.clear();
  next_ = 0;
  downloading_ = false;
  merged_.assign(1, text::kHmiSection);
  answers_.Mark(*link_.SendCMD);
  Read(link_, &TVandirCNC::Get_NC_Root_Path);
  Read(link_, &TVandirCNC::Get_NC_Machine_Path);
  since_ = now;
}

TextFetch::Outcome TextFetch::Step(Clock::time_point now) {
  if (!link_.SendCMD->Connected) return Outcome::kLost;
  if (files_.empty()) return AwaitPaths(now);
  if (downloading_) return AwaitDownload(now);
  return Outcome::kDone;
}

TextFetch::Outcome TextFetch::AwaitPaths(Clock::time_point now) {
  if (!answers_.Answered(*link_.SendCMD))
    return now - since_ >= staleAfter_ ? Outcome::kLost : Outcome::kRunning;
  // These reads hand out the answers, and ask again in case one was still empty.
  answers_.Mark(*link_.SendCMD);
  const std::string root = Read(link_, &TVandirCNC::Get_NC_Root_Path);
  const std::string machine = Read(link_, &TVandirCNC::Get_NC_Machine_Path);
  since_ = now;
  if (root.empty() || machine.empty()) return Outcome::kRunning;
  files_ = {WithSeparator(machine) + "eng_mlc.err", WithSeparator(machine) + "USRENG.STR",
            WithSeparator(root) + "resource\\DspE.str"};
  StartNextDownload(now);
  return downloading_ ? Outcome::kRunning : Outcome::kDone;
}

TextFetch::Outcome TextFetch::AwaitDownload(Clock::time_point now) {
  const vandir::Send_Recv& transport = *link_.SendCMD;
  const auto progress = vandir::WatchTransfer(transport, vandir::TransferDirection::kDownload);
  if (progress.phase == vandir::TransferPhase::kRunning) {
    if (transport.FileOffset != offset_) {
      offset_ = transport.FileOffset;
      since_ = now;
    } else if (now - since_ >= staleAfter_) {
      link_.CancelReceiveFile();
      return Outcome::kLost;
    }
    return Outcome::kRunning;
  }
  downloading_ = false;
  if (!transport.Connected) return Outcome::kLost;
  if (progress.phase == vandir::TransferPhase::kFinished) {
    std::vector<std::string> lines;
    if (text::LoadLines(LocalFile().string(), &lines)) text::MergeLines(lines, &merged_);
  }
  std::error_code ignored;
  std::filesystem::remove(LocalFile(), ignored);
  ++next_;
  StartNextDownload(now);
  return downloading_ ? Outcome::kRunning : Outcome::kDone;
}

void TextFetch::StartNextDownload(Clock::time_point now) {
  std::error_code ignored;
  std::filesystem::create_directories(folder_, ignored);
  for (; next_ < files_.size(); ++next_) {
    if (link_.ReceiveFile(files_[next_], LocalFile().string()) == vandir::kOk) {
      downloading_ = true;
      offset_ = -1;
      since_ = now;
      return;
    }
  }
}

std::filesystem::path TextFetch::LocalFile() const { return folder_ / "text.str"; }

DisplayTexts TextFetch::Take() { return ParseDisplayTexts(merged_); }

}  // namespace talvo::cli::adapter
