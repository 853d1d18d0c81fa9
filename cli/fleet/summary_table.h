// A table for people at the end of a fleet command: columns left-aligned under their
// headings, two blanks apart, counted in characters so that UTF-8 names line up.
#pragma once

#include <string>
#include <vector>

namespace talvo::cli {

class SummaryTable {
 public:
  explicit SummaryTable(std::vector<std::string> headings);
  void Add(std::vector<std::string> row);
  std::string Text() const;

 private:
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace talvo::cli
