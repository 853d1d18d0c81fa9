#include "text/backup/manifest.h"

#include <algorithm>

#include "text/json.h"

namespace talvo::text::backup {
namespace {

constexpr std::int64_t kFormat = 1;

json::Value FileJson(const ManifestFile& file) {
  json::Object object = {{"category", file.category},
                         {"controller_path", file.controller},
                         {"name", file.name}};
  if (file.Fetched()) {
    object.push_back({"size", static_cast<std::int64_t>(file.size)});
    object.push_back({"sha256", file.sha256});
  } else {
    object.push_back({"error", file.error});
  }
  return object;
}

// Reads the members of one object, remembering the first that is missing or of a wrong kind.
class Reader {
 public:
  Reader(const json::Value& object, std::string where) : object_(object), where_(std::move(where)) {}

  std::string Text(std::string_view key) {
    const json::Value* value = object_.Find(key);
    if (value && value->String()) return *value->String();
    Missing(key, "a text");
    return {};
  }
  std::optional<std::string> OptionalText(std::string_view key) {
    const json::Value* value = object_.Find(key);
    if (!value) return std::nullopt;
    return Text(key);
  }
  std::int64_t Integer(std::string_view key) {
    const json::Value* value = object_.Find(key);
    if (value && value->Integer()) return *value->Integer();
    Missing(key, "a whole number");
    return 0;
  }
  const std::string& Error() const { return error_; }

 private:
  void Missing(std::string_view key, const char* kind) {
    if (error_.empty()) error_ = where_ + "\"" + std::string(key) + "\" is not " + kind;
  }

  const json::Value& object_;
  std::string where_;
  std::string error_;
};

bool IsHexDigest(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// A file name that stays inside its backup folder.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == name.npos &&
         name.find('\0') == name.npos;
}

std::optional<ManifestFile> ParseFile(const json::Value& value, std::size_t index,
                                      std::string* error) {
  Reader reader(value, "file " + std::to_string(index + 1) + ": ");
  ManifestFile file;
  file.category = reader.Text("category");
  file.controller = reader.Text("controller_path");
  file.name = reader.Text("name");
  if (auto failure = reader.OptionalText("error")) {
    file.error = *failure;
    if (file.error.empty()) file.error = "unknown";
  } else {
    const std::int64_t size = reader.Integer("size");
    file.size = static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0));
    file.sha256 = reader.Text("sha256");
    if (reader.Error().empty() && (size < 0 || !IsHexDigest(file.sha256))) {
      *error = "file " + std::to_string(index + 1) + ": bad size or sha256";
      return std::nullopt;
    }
  }
  if (!reader.Error().empty()) {
    *error = reader.Error();
    return std::nullopt;
  }
  if (!IsPlainName(file.name)) {
    *error = "file " + std::to_string(index + 1) + ": the name leaves the folder";
    return std::nullopt;
  }
  return file;
}

}  // namespace

bool Manifest::Complete() const {
  return std::all_of(files.begin(), files.end(), [](const ManifestFile& f) { return f.Fetched(); });
}

std::string ManifestJson(const Manifest& manifest) {
  json::Array files;
  for (const ManifestFile& file : manifest.files) files.push_back(FileJson(file));
  return json::Write(json::Object{{"format", kFormat},
                                  {"machine", manifest.machine},
                                  {"address", manifest.address},
                                  {"controller_version", manifest.version},
                                  {"started", manifest.started},
                                  {"ended", manifest.ended},
                                  {"complete", manifest.Complete()},
                                  {"files", std::move(files)}});
}

std::optional<Manifest> ParseManifest(std::string_view text, std::string* error) {
  const auto document = json::Parse(text, error);
  if (!document) return std::nullopt;
  Reader reader(*document, "");
  if (reader.Integer("format") != kFormat) {
    *error = reader.Error().empty() ? "an unknown format" : reader.Error();
    return std::nullopt;
  }
  Manifest manifest{reader.Text("machine"), reader.Text("address"),
                    reader.Text("controller_version"), reader.Text("started"),
                    reader.Text("ended"), {}};
  const json::Value* files = document->Find("files");
  if (!reader.Error().empty() || !files || !files->Items()) {
    *error = reader.Error().empty() ? "\"files\" is not a list" : reader.Error();
    return std::nullopt;
  }
  for (std::size_t i = 0; i < files->Items()->size(); ++i) {
    auto file = ParseFile((*files->Items())[i], i, error);
    if (!file) return std::nullopt;
    manifest.files.push_back(std::move(*file));
  }
  return manifest;
}

}  // namespace talvo::text::backup
