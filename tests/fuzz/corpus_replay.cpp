// The main of a fuzz target outside the fuzz build: every file in the folders named on the
// command line goes through the target once, in name order. A failing input crashes or aborts
// the process, as it would the fuzzer; the line before names it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i)
    for (const auto& entry : fs::directory_iterator(argv[i]))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs: a fuzz target needs at least one file in its corpus folder\n");
    return 1;
  }
  std::sort(inputs.begin(), inputs.end());
  for (const auto& path : inputs) {
    std::fprintf(stderr, "Running: %s\n", path.c_str());
    // A heap block of exactly the input's size, as the fuzzer passes it: a read past the end
    // is caught by AddressSanitizer, and an empty input still has a valid address.
    const std::size_t size = fs::file_size(path);
    const auto bytes = std::make_unique<std::uint8_t[]>(size);
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(bytes.get()),
                                           static_cast<std::streamsize>(size));
    LLVMFuzzerTestOneInput(bytes.get(), size);
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
