// Any sequence of DNC requests against a real root folder: every reply stays inside its
// package, and nothing outside the root is ever created, changed or removed.
// Input: 512-byte requests one after the other (the last one zero-filled).
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "link/dnc/dnc_server.h"

namespace {

namespace fs = std::filesystem;

struct CountingSink : vandir::DataRecordSink {
  void WriteRecord(const vandir::defRECEIVE_PACKAGE& record) override { last = record.iIndex(); }
  int last = 0;
} sink;

const fs::path base = fs::temp_directory_path() / ("dnc-fuzz-" + std::to_string(getpid()));
const fs::path root = base / "root";
const std::string secret = "outside the root";

void Write(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

// The same small tree for every input, and a file beside it that must never change.
void Prepare() {
  static const bool once = [] {
    fs::remove_all(base);
    Write(base / "secret", secret);
    std::atexit([] { fs::remove_all(base); });
    return true;
  }();
  (void)once;
  fs::remove_all(root);
  Write(root / "O1", std::string(1000, 'G'));
  Write(root / "NC" / "O2000.NC", "G0 X1\n");
  fs::create_symlink(base, root / "OUT");
  fs::create_symlink(base / "secret", root / "SECRET");
}

void CheckOutside() {
  std::ifstream in(base / "secret", std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), {});
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(base)) ++entries;
  if (content != secret || entries != 2) std::abort();
}

vandir::DncServer server([] { return root.string() + "/"; }, &sink);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Prepare();
  for (std::size_t at = 0; at < size; at += vandir::kPackageSize) {
    vandir::defPACKAGE request;
    std::memcpy(request.bytes.data(), data + at,
                std::min<std::size_t>(size - at, vandir::kPackageSize));
    vandir::defPACKAGE reply;
    const int length = server.Serve(request, reply);
    const bool record = request.iCommand() == 21845;
    if (record ? length != 0
               : length != reply.iLength() || length < vandir::kHeaderSize ||
                     length > vandir::kPackageSize)
      std::abort();
  }
  server.CloseAll();
  CheckOutside();
  return 0;
}
