#include "service/param_index.h"

#include <gtest/gtest.h>

#include <string>

namespace talvo {
namespace {

// A parameter index written field by field, as the controller lays it out.
class IndexFile {
 public:
  IndexFile(const std::string& identification, std::uint16_t count, std::uint16_t layout) {
    std::string id = identification;
    id.resize(32, '\0');
    bytes_ = id;
    U16(count);
    U16(layout);
  }
  IndexFile& U16(std::uint16_t v) { return Put(v, 2); }
  IndexFile& I32(std::int32_t v) { return Put(static_cast<std::uint32_t>(v), 4); }
  IndexFile& I32s(int n, std::int32_t v) {
    for (int i = 0; i < n; ++i) I32(v);
    return *this;
  }
  // One record; the extra word and the fourth value only in the wide form.
  IndexFile& Record(std::uint16_t number, bool wide, std::int16_t activeType = 1) {
    U16(number);
    if (wide) U16(0xBEEF);
    I32(-5).I32(10).I32(3);
    if (wide) I32(4);
    U16(static_cast<std::uint16_t>(activeType));
    return U16(7);
  }
  IndexFile& Cut(std::size_t bytes) {
    bytes_.resize(bytes_.size() - bytes);
    return *this;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  IndexFile& Put(std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<char>(v >> (8 * i)));
    return *this;
  }
  std::string bytes_;
};

// Starts then counts: groups 1-7, the optional ones of the layout, group 11. Every shown
// group starts at 0 with `count` records.
IndexFile WithGroups(IndexFile file, int optional, int count) {
  file.I32s(7, 0).I32s(optional, 0).I32(0);
  file.I32s(7, count).I32s(optional, 0).I32(count);
  return file;
}

TEST(ParamIndex, TheVersionDigitChoosesTheRecordSize) {
  struct Case {
    const char* identification;
    int version;
    bool wide;
  };
  const Case cases[] = {{"PARAM INDEX 2.0", 2, false},
                        {"PARAM INDEX V3.1", 3, true},
                        {"NO DOT AT ALL", 0, false},
                        {"V9.0 and 1.2", 9, true}};
  for (const Case& c : cases) {
    IndexFile file = WithGroups(IndexFile(c.identification, 2, 11), 3, 2);
    file.Record(1, c.wide).Record(2, c.wide, 3);
    const ParamIndexResult r = ParseParamIndex(file.Bytes());
    ASSERT_EQ(r.Status, ParamIndexStatus::Ok) << c.identification;
    EXPECT_EQ(r.Index.Version, c.version);
    EXPECT_EQ(r.Index.RecordsRead, 2);
    const ParamDescriptor& second = r.Index.Records[1];
    EXPECT_EQ(second.Number, 2);
    EXPECT_EQ(second.ActiveType, 3);
    EXPECT_EQ(second.Value1, -5);
    EXPECT_EQ(second.Value3, 3);
    EXPECT_EQ(second.Extra, c.wide ? 0xBEEF : 0);
    EXPECT_EQ(second.Value4, c.wide ? 4 : 0);
    EXPECT_EQ(second.Reserved, 7);
  }
}

TEST(ParamIndex, TheLayoutDecidesWhichGroupValuesArePresent) {
  struct Case {
    std::uint16_t layout;
    int optional;  // group values between group 7 and group 11
  };
  for (const Case c : {Case{10, 2}, Case{11, 3}, Case{5, 0}}) {
    IndexFile file("IDX 3.0", 1, c.layout);
    for (int g = 1; g <= 7; ++g) file.I32(g);  // starts
    file.I32s(c.optional, 20).I32(30);
    file.I32s(7, 1).I32s(c.optional, 2).I32(3);  // counts
    file.Record(42, true);
    const ParamIndexResult r = ParseParamIndex(file.Bytes());
    ASSERT_EQ(r.Status, ParamIndexStatus::Ok) << c.layout;
    EXPECT_EQ(r.Index.GroupStart[6], 7);
    EXPECT_EQ(r.Index.GroupStart[10], 30) << "group 11 follows the optional ones";
    EXPECT_EQ(r.Index.GroupCount[10], 3);
    EXPECT_EQ(r.Index.GroupStart[7], c.optional >= 2 ? 20 : 0);
    EXPECT_EQ(r.Index.GroupStart[9], c.optional == 3 ? 20 : 0);
    EXPECT_EQ(r.Index.GroupCount[8], c.optional >= 2 ? 2 : 0);
    EXPECT_EQ(r.Index.Records[0].Number, 42) << "records start right after the counts";
  }
}

TEST(ParamIndex, ReadsOnlyTheWholeRecordsTheFileHolds) {
  IndexFile file = WithGroups(IndexFile("IDX 3.1", 5, 11), 3, 2);
  file.Record(1, true).Record(2, true).Record(3, true).Cut(1);
  const ParamIndexResult r = ParseParamIndex(file.Bytes());
  ASSERT_EQ(r.Status, ParamIndexStatus::Ok);
  EXPECT_EQ(r.Index.RecordCount, 5);
  EXPECT_EQ(r.Index.RecordsRead, 2);
  EXPECT_EQ(r.Index.Records[2].Number, 0) << "a record cut short is not kept";
}

TEST(ParamIndex, RecordsBeyondTheTableAreIgnored) {
  IndexFile file = WithGroups(IndexFile("IDX 2.0", 6000, 11), 3, 1);
  for (int i = 1; i <= 6000; ++i) file.Record(static_cast<std::uint16_t>(i), false);
  const ParamIndexResult r = ParseParamIndex(file.Bytes());
  ASSERT_EQ(r.Status, ParamIndexStatus::Ok);
  EXPECT_EQ(r.Index.RecordsRead, kParamTableSize);
  EXPECT_EQ(r.Index.Records.back().Number, 5001);
}

TEST(ParamIndex, GroupsOutsideTheTableAndUnknownActivationTypesMakeItInvalid) {
  struct Case {
    const char* name;
    std::int32_t start;
    std::int32_t count;
    std::int16_t activeType;
    ParamIndexStatus status;
  };
  const Case cases[] = {
      {"in range", 0, 1, 2, ParamIndexStatus::Ok},
      {"ends at the table's end", 5000, 1, 0, ParamIndexStatus::Ok},
      {"negative start", -1, 2, 0, ParamIndexStatus::Invalid},
      {"start past the table", 5001, 0, 0, ParamIndexStatus::Invalid},
      {"end past the table", 4000, 1002, 0, ParamIndexStatus::Invalid},
      {"empty group at 0 ends below 1", 0, 0, 0, ParamIndexStatus::Invalid},
      {"empty group further in", 3, 0, 0, ParamIndexStatus::Ok},
      {"overflowing count", 1, 0x7fffffff, 0, ParamIndexStatus::Invalid},
      {"negative count", 3, -1, 0, ParamIndexStatus::Invalid},
      {"activation type 4", 0, 1, 4, ParamIndexStatus::Invalid},
      {"activation type -1", 0, 1, -1, ParamIndexStatus::Invalid},
  };
  for (const Case& c : cases) {
    IndexFile file("IDX 3.0", 1, 11);
    file.I32(c.start).I32s(6, 0).I32s(3, -77).I32(0);  // groups 8-10 are never checked
    file.I32(c.count).I32s(6, 1).I32s(3, 99999).I32(1);
    file.Record(1, true, c.activeType);
    EXPECT_EQ(ParseParamIndex(file.Bytes()).Status, c.status) << c.name;
  }
}

TEST(ParamIndex, ATruncatedHeaderOrAMissingFileIsReported) {
  IndexFile file = WithGroups(IndexFile("IDX 3.0", 0, 11), 3, 1);
  EXPECT_EQ(ParseParamIndex(file.Cut(2).Bytes()).Status, ParamIndexStatus::Invalid);
  EXPECT_EQ(ParseParamIndex("short").Status, ParamIndexStatus::Invalid);
  EXPECT_EQ(ReadParamIndex("/nonexistent/param.idx").Status, ParamIndexStatus::CannotOpen);
}

}  // namespace
}  // namespace talvo
