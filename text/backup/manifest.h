// The record a backup folder keeps of itself, "manifest.json", written last: which machine,
// when, and for every file its category, controller path, size and SHA-256, or the error that
// kept it out. Its presence says the backup ended; "complete" says whether every file came.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::text::backup {

inline constexpr const char* kManifestName = "manifest.json";

struct ManifestFile {
  std::string category;    // a machine-data category name, or "display-strings"
  std::string controller;  // the controller's path, e.g. C:\MACHINE\PARAM.BIN
  std::string name;        // the file's name in the backup folder
  std::uint64_t size = 0;
  std::string sha256;      // 64 hexadecimal digits; empty when the file did not come
  std::string error;       // why it did not come; empty when it did

  bool Fetched() const { return error.empty(); }
};

struct Manifest {
  std::string machine;     // the name it has in the machine list, or its address
  std::string address;
  std::string version;     // the controller's software information
  std::string started;     // UTC, ISO 8601: 2026-12-10T15:30:00Z
  std::string ended;
  std::vector<ManifestFile> files;

  bool Complete() const;
};

// Texts must be UTF-8.
std::string ManifestJson(const Manifest& manifest);
// Nothing, with the reason in `error`, for text that is not a manifest of this format.
std::optional<Manifest> ParseManifest(std::string_view json, std::string* error);

}  // namespace talvo::text::backup
