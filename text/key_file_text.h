// Key files held as their bytes. The bytes are read as lines (each keeps its own line end:
// LF, CR LF or a lone CR) holding a section header "[name]", a "key=value", a comment (";"
// or "#") or anything else, which is kept and passed over. Names are trimmed of blanks and
// compared without regard to ASCII case; values are bytes in whatever code page the file
// uses, never converted. An edit touches only the line of the key it names: every other byte
// of the file stays where it was, so a file a person or another program wrote survives what
// this one does not understand of it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvo::text {

class KeyFileText {
 public:
  enum class Edit {
    kChanged,    // the bytes are different now
    kUnchanged,  // the file already said so (or had nothing to remove)
    kRefused,    // a name or value that would not read back as written; nothing changed
  };

  KeyFileText() = default;
  explicit KeyFileText(std::string bytes);

  const std::string& Bytes() const { return bytes_; }

  // The value of the first line of `key` among the sections named `section`, in file order:
  // a section written twice is searched, not merged, and of a key written twice the first
  // answers. Keys above the first header belong to the section named "".
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // Gives the key that Find answers with the value `value` (the line keeps its key, its
  // blanks and its line end). A missing key becomes a line "key=value" after the last key of
  // the first section of that name; a missing section is added at the end of the file. A new
  // line ends the way the line before it does (or, without one, the file's first line).
  Edit Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of `key` in the sections named `section`, so that it no longer reads.
  Edit Remove(std::string_view section, std::string_view key);

 private:
  struct Line {
    std::size_t begin;    // first byte
    std::size_t end;      // first byte of the line end, or the end of the file
    std::size_t next;     // first byte of the next line
  };
  struct Section {
    std::string name;     // folded
    Line header;          // the prelude's is an empty line at the start
    std::optional<Line> lastKey;
  };
  struct KeyLine {
    std::size_t section;  // index into sections_
    std::string name;     // folded
    Line line;
    std::size_t valueBegin, valueEnd;
  };

  void Index();
  void IndexLine(const Line& line);
  const KeyLine* FindLine(std::string_view section, std::string_view key) const;
  // How a line added next to `near` ends: as `near` does, else as the file's first line.
  std::string_view LineEnd(const Line& near) const;
  void Splice(std::size_t at, std::size_t length, std::string_view with);

  std::string bytes_;
  std::vector<Section> sections_;
  std::vector<KeyLine> keys_;
  Line last_{0, 0, 0};  // the file's last line
  // Folded "section\nkey" of the first line of each key, for files of thousands of keys.
  std::unordered_map<std::string, std::size_t> first_;
};

}  // namespace talvo::text
