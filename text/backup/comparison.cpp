#include "text/backup/comparison.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "text/backup/layouts.h"
#include "text/backup/manifest.h"
#include "text/durable_file.h"
#include "text/interface_language.h"
#include "text/json.h"
#include "text/screen_text.h"

namespace talvo::text::backup {
namespace {

namespace fs = std::filesystem;

// What the program writes beside the files of a Machine page backup: its parameter listing,
// which holds nothing of the controller's that PARAM.BIN does not, and the mark of a backup
// that did not end whole.
constexpr const char* kProgramFiles[] = {"PARAM.TXT", "BACKUP-INCOMPLETE.TXT"};

bool ProgramFile(std::string_view name) {
  return std::find(std::begin(kProgramFiles), std::end(kProgramFiles), UpperName(name)) !=
         std::end(kProgramFiles);
}

bool AddFile(BackupSide& side, const fs::path& path, const std::string& name, std::string* error) {
  auto bytes = ReadWhole(path);
  if (!bytes) {
    *error = path.string() + ": cannot be read";
    return false;
  }
  if (!side.bytes.emplace(UpperName(name), std::move(*bytes)).second) {
    *error = path.string() + ": a second file of that name (letter case aside)";
    return false;
  }
  side.names.push_back(name);
  return true;
}

std::optional<BackupSide> ReadFolderFiles(const fs::path& folder, BackupSide side,
                                          std::string* error) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    // Hidden files, and downloads still under way or broken off, are none of the controller's.
    if (name.starts_with('.') || name.find(".part-") != std::string::npos ||
        !it->is_regular_file(typeError) || ProgramFile(name))
      continue;
    names.push_back(name);
  }
  if (ec) {
    *error = folder.string() + ": " + ec.message();
    return std::nullopt;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names)
    if (!AddFile(side, folder / name, name, error)) return std::nullopt;
  return side;
}

const char* StateText(FileState state) {
  switch (state) {
    case FileState::kSame: return "same";
    case FileState::kDiffers: return "differs";
    case FileState::kOnlyInA: return "only in A";
    case FileState::kOnlyInB: return "only in B";
  }
  return "";
}

const char* StateKey(FileState state) {
  switch (state) {
    case FileState::kSame: return "same";
    case FileState::kDiffers: return "differs";
    case FileState::kOnlyInA: return "only_in_a";
    case FileState::kOnlyInB: return "only_in_b";
  }
  return "";
}

std::vector<ItemChange> ItemChanges(const std::vector<Item>& a, const std::vector<Item>& b) {
  std::unordered_map<std::string_view, const Item*> inA;
  for (const Item& item : a) inA.emplace(item.key, &item);
  std::vector<ItemChange> changes;
  for (const Item& item : b) {
    const auto found = inA.find(item.key);
    if (found == inA.end()) {
      changes.push_back({item.key, item.description, std::nullopt, item.value, item.opaque});
      continue;
    }
    if (found->second->value != item.value)
      changes.push_back({item.key, item.description, found->second->value, item.value, item.opaque});
    inA.erase(found);
  }
  for (const Item& item : a)
    if (inA.contains(item.key))
      changes.push_back({item.key, item.description, item.value, std::nullopt, item.opaque});
  return changes;
}

FileComparison CompareFile(const std::string& name, const std::string& a, const std::string& b,
                           const DisplayStrings& strings) {
  FileComparison file{name, a == b ? FileState::kSame : FileState::kDiffers, {}};
  if (file.state == FileState::kSame) return file;
  const std::string upper = UpperName(name);
  const auto itemsA = DecodeItems(upper, a, strings);
  const auto itemsB = DecodeItems(upper, b, strings);
  if (itemsA && itemsB) file.changes = ItemChanges(*itemsA, *itemsB);
  return file;
}

std::string ChangeLine(const ItemChange& change) {
  std::string line = "  " + change.item;
  if (!change.description.empty()) line += " " + change.description;
  if (change.opaque) return line + " differ";
  return line + ": " + change.a.value_or("(none)") + " -> " + change.b.value_or("(none)");
}

// Folder and file names are bytes; JSON wants UTF-8.
std::string Utf8(std::string_view name) { return ControllerBytesToUtf8(kEnglish, name); }

json::Value OptionalText(const std::optional<std::string>& text) {
  return text ? json::Value(*text) : json::Value();
}

}  // namespace

std::string UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

std::optional<BackupSide> ReadBackupSide(const fs::path& folder, std::string* error) {
  BackupSide side{folder.string(), {}, {}};
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    *error = folder.string() + ": no such folder";
    return std::nullopt;
  }
  const fs::path manifestPath = folder / kManifestName;
  if (!fs::exists(manifestPath, ec)) return ReadFolderFiles(folder, std::move(side), error);
  const auto text = ReadWhole(manifestPath);
  if (!text) {
    *error = manifestPath.string() + ": cannot be read";
    return std::nullopt;
  }
  std::string why;
  const auto manifest = ParseManifest(*text, &why);
  if (!manifest) {
    *error = manifestPath.string() + ": " + why;
    return std::nullopt;
  }
  for (const ManifestFile& file : manifest->files)
    if (file.Fetched() && !AddFile(side, folder / file.name, file.name, error)) return std::nullopt;
  return side;
}

bool Comparison::Equal() const {
  return std::all_of(files.begin(), files.end(),
                     [](const FileComparison& f) { return f.state == FileState::kSame; });
}

Comparison Compare(const BackupSide& a, const BackupSide& b, const DisplayStrings* given) {
  // The descriptions of the newer side, which is B in "A -> B", when it has them.
  const auto texts = [](const BackupSide& side) {
    return DisplayStrings::OfBackup([&](std::string_view name) -> std::optional<std::string_view> {
      const auto found = side.bytes.find(std::string(name));
      if (found == side.bytes.end()) return std::nullopt;
      return found->second;
    });
  };
  DisplayStrings strings = given ? *given : texts(b);
  if (strings.Empty()) strings = texts(a);

  Comparison comparison{a.label, b.label, {}};
  for (const std::string& name : a.names) {
    const std::string& bytesA = a.bytes.at(UpperName(name));
    const auto inB = b.bytes.find(UpperName(name));
    comparison.files.push_back(inB == b.bytes.end()
                                   ? FileComparison{name, FileState::kOnlyInA, {}}
                                   : CompareFile(name, bytesA, inB->second, strings));
  }
  for (const std::string& name : b.names)
    if (!a.bytes.contains(UpperName(name)))
      comparison.files.push_back({name, FileState::kOnlyInB, {}});
  return comparison;
}

std::vector<std::string> ComparisonLines(const Comparison& comparison) {
  std::vector<std::string> lines = {"A: " + comparison.a, "B: " + comparison.b};
  std::map<FileState, int> counts;
  for (const FileComparison& file : comparison.files) {
    ++counts[file.state];
    lines.push_back(file.name + ": " + StateText(file.state));
    for (const ItemChange& change : file.changes) lines.push_back(ChangeLine(change));
  }
  lines.push_back(std::to_string(comparison.files.size()) + " files: " +
                  std::to_string(counts[FileState::kDiffers]) + " differ, " +
                  std::to_string(counts[FileState::kOnlyInA]) + " only in A, " +
                  std::to_string(counts[FileState::kOnlyInB]) + " only in B, " +
                  std::to_string(counts[FileState::kSame]) + " same");
  return lines;
}

std::string ComparisonJson(const Comparison& comparison) {
  json::Array files;
  for (const FileComparison& file : comparison.files) {
    json::Array changes;
    for (const ItemChange& change : file.changes) {
      json::Object object = {{"item", change.item}, {"description", change.description}};
      if (!change.opaque) {
        object.push_back({"a", OptionalText(change.a)});
        object.push_back({"b", OptionalText(change.b)});
      }
      changes.push_back(std::move(object));
    }
    files.push_back(json::Object{
        {"name", Utf8(file.name)}, {"state", StateKey(file.state)}, {"changes", std::move(changes)}});
  }
  return json::Write(json::Object{{"a", Utf8(comparison.a)},
                                  {"b", Utf8(comparison.b)},
                                  {"equal", comparison.Equal()},
                                  {"files", std::move(files)}});
}

}  // namespace talvo::text::backup
