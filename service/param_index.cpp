#include "service/param_index.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace talvo {
namespace {

constexpr std::size_t kIdentification = 32;

// Little-endian fields in file order; a field past the end leaves the reader failed.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  template <class T>
  bool Read(T* value) {
    if (failed_ || bytes_.size() - offset_ < sizeof(T)) return !(failed_ = true);
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      raw |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[offset_ + i])) << (8 * i);
    }
    offset_ += sizeof(T);
    *value = static_cast<T>(raw);
    return true;
  }
  bool Skip(std::size_t count) {
    if (failed_ || bytes_.size() - offset_ < count) return !(failed_ = true);
    offset_ += count;
    return true;
  }
  bool Failed() const { return failed_; }

 private:
  std::string_view bytes_;
  std::size_t offset_ = 0;
  bool failed_ = false;
};

// The digit just before the first "." of the identification; 0 without one.
int VersionOf(std::string_view identification) {
  identification = identification.substr(0, identification.find('\0'));
  const std::size_t dot = identification.find('.');
  if (dot == std::string_view::npos || dot == 0) return 0;
  const char digit = identification[dot - 1];
  return digit >= '0' && digit <= '9' ? digit - '0' : 0;
}

// Groups 8-9 are present from layout 10, group 10 only in layout 11.
bool GroupPresent(int group, std::uint16_t layout) {
  if (group <= 7 || group == 11) return true;
  if (group <= 9) return layout == 10 || layout == 11;
  return layout == 11;
}

void ReadGroupValues(Reader& in, std::uint16_t layout, std::array<std::int32_t, kParamGroups>* values) {
  for (int group = 1; group <= kParamGroups; ++group) {
    if (GroupPresent(group, layout)) in.Read(&(*values)[group - 1]);
  }
}

bool ReadRecord(Reader& in, bool wide, ParamDescriptor* d) {
  in.Read(&d->Number);
  if (wide) in.Read(&d->Extra);
  in.Read(&d->Value1);
  in.Read(&d->Value2);
  in.Read(&d->Value3);
  if (wide) in.Read(&d->Value4);
  in.Read(&d->ActiveType);
  in.Read(&d->Reserved);
  return !in.Failed();
}

bool Valid(const ParamIndex& index) {
  for (int group = 1; group <= kParamGroups; ++group) {
    if (!ShownParamGroup(group)) continue;
    const std::int64_t start = index.GroupStart[group - 1];
    const std::int64_t count = index.GroupCount[group - 1];
    const std::int64_t end = start + count;
    if (start < 0 || start >= kParamTableSize || count < 0 || end < 1 || end > kParamTableSize) {
      return false;
    }
  }
  for (int i = 0; i < index.RecordsRead; ++i) {
    const std::int16_t type = index.Records[static_cast<std::size_t>(i)].ActiveType;
    if (type < 0 || type > 3) return false;
  }
  return true;
}

}  // namespace

bool ShownParamGroup(int group) { return (group >= 1 && group <= 7) || group == 11; }

ParamIndexResult ParseParamIndex(std::string_view bytes) {
  ParamIndexResult result;
  ParamIndex& index = result.Index;
  Reader in(bytes);
  if (!in.Skip(kIdentification)) return {ParamIndexStatus::Invalid, {}};
  index.Version = VersionOf(bytes.substr(0, kIdentification));
  in.Read(&index.RecordCount);
  in.Read(&index.Layout);
  ReadGroupValues(in, index.Layout, &index.GroupStart);
  ReadGroupValues(in, index.Layout, &index.GroupCount);
  if (in.Failed()) return {ParamIndexStatus::Invalid, {}};
  const bool wide = index.Version >= 3;
  // Records past the table are ignored; a record cut short by the end of the file is not.
  const int wanted = std::min<int>(index.RecordCount, kParamTableSize);
  while (index.RecordsRead < wanted &&
         ReadRecord(in, wide, &index.Records[static_cast<std::size_t>(index.RecordsRead)])) {
    ++index.RecordsRead;
  }
  if (index.RecordsRead < wanted) index.Records[static_cast<std::size_t>(index.RecordsRead)] = {};
  result.Status = Valid(index) ? ParamIndexStatus::Ok : ParamIndexStatus::Invalid;
  return result;
}

ParamIndexResult ReadParamIndex(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {ParamIndexStatus::CannotOpen, {}};
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return ParseParamIndex(bytes);
}

}  // namespace talvo
