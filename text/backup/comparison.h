// What changed between two sets of machine data files: two backups, or a backup and what a
// controller holds now. Files of a known layout are compared item by item (parameters with
// their descriptions, D registers, tools, offsets, macro variables, text tables), every other
// file whole. talvo-cli's diff and the program's comparison dialog show the same rows.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "text/backup/display_strings.h"

namespace talvo::text::backup {

struct BackupSide {
  std::string label;               // what the side is, for the reader: a folder, a host
  std::vector<std::string> names;  // as stored, in the backup's order
  std::map<std::string, std::string> bytes;  // by upper-case name
};

// The files a backup folder holds: those its manifest lists as fetched, in its order, or,
// in a folder without a manifest (the Machine page's), every file in it by name. Nothing,
// with the reason in `error`, when the folder, its manifest or a file it lists cannot be read.
std::optional<BackupSide> ReadBackupSide(const std::filesystem::path& folder, std::string* error);

std::string UpperName(std::string_view name);

enum class FileState { kSame, kDiffers, kOnlyInA, kOnlyInB };

struct ItemChange {
  std::string item;
  std::string description;
  std::optional<std::string> a, b;  // nothing where a side lacks the item
  bool opaque = false;              // only that it differs can be said
};

struct FileComparison {
  std::string name;
  FileState state = FileState::kSame;
  std::vector<ItemChange> changes;  // of a file of known layout that differs
};

struct Comparison {
  std::string a, b;  // the sides' labels
  std::vector<FileComparison> files;
  bool Equal() const;
};

// The descriptions come from `strings` when given, else from B's display strings, else A's.
Comparison Compare(const BackupSide& a, const BackupSide& b,
                   const DisplayStrings* strings = nullptr);

// For people: the sides, a line per file ("PARAM.BIN: differs"), under it a line per changed
// item ("  parameter 0012 Servo gain: 1000 -> 1200"), then a count of the states.
std::vector<std::string> ComparisonLines(const Comparison& comparison);
// For scripts.
std::string ComparisonJson(const Comparison& comparison);

}  // namespace talvo::text::backup
