#include "text/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "text/utf8.h"

namespace talvo::text::json {
namespace {

constexpr int kDeepest = 64;

void AppendUtf8(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void WriteString(std::string_view text, std::string& out) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void WriteValue(const Value& value, int depth, std::string& out) {
  const std::string indent(2 * static_cast<std::size_t>(depth + 1), ' ');
  const std::string closing(2 * static_cast<std::size_t>(depth), ' ');
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::nullptr_t>) {
          out += "null";
        } else if constexpr (std::is_same_v<T, bool>) {
          out += v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          out += std::to_string(v);
        } else if constexpr (std::is_same_v<T, double>) {
          // JSON has no infinities or NaN.
          if (!std::isfinite(v)) {
            out += "null";
            return;
          }
          char text[32];
          out.append(text, std::to_chars(text, text + sizeof text, v).ptr);
        } else if constexpr (std::is_same_v<T, std::string>) {
          WriteString(v, out);
        } else if constexpr (std::is_same_v<T, Array>) {
          if (v.empty()) {
            out += "[]";
            return;
          }
          out += "[\n";
          for (std::size_t i = 0; i < v.size(); ++i) {
            out += indent;
            WriteValue(v[i], depth + 1, out);
            out += i + 1 < v.size() ? ",\n" : "\n";
          }
          out += closing + "]";
        } else {
          if (v.empty()) {
            out += "{}";
            return;
          }
          out += "{\n";
          for (std::size_t i = 0; i < v.size(); ++i) {
            out += indent;
            WriteString(v[i].key, out);
            out += ": ";
            WriteValue(v[i].value, depth + 1, out);
            out += i + 1 < v.size() ? ",\n" : "\n";
          }
          out += closing + "}";
        }
      },
      value.data);
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<Value> Document() {
    std::optional<Value> value = ParseValue(0);
    if (!value) return std::nullopt;
    SkipBlanks();
    if (at_ != text_.size()) return Fail("text after the value");
    return value;
  }

  const std::string& Error() const { return error_; }

 private:
  std::nullopt_t Fail(const std::string& what) {
    if (error_.empty()) error_ = what + " at byte " + std::to_string(at_);
    return std::nullopt;
  }

  void SkipBlanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                  text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool Take(char c) {
    SkipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool TakeWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  std::optional<Value> ParseValue(int depth) {
    if (depth >= kDeepest) return Fail("nesting too deep");
    SkipBlanks();
    if (at_ >= text_.size()) return Fail("a value missing");
    const char c = text_[at_];
    if (c == '{') return ParseObject(depth);
    if (c == '[') return ParseArray(depth);
    if (c == '"') {
      auto text = ParseString();
      if (!text) return std::nullopt;
      return Value(std::move(*text));
    }
    if (TakeWord("true")) return Value(true);
    if (TakeWord("false")) return Value(false);
    if (TakeWord("null")) return Value();
    return ParseNumber();
  }

  std::optional<Value> ParseObject(int depth) {
    ++at_;
    Object members;
    if (Take('}')) return Value(std::move(members));
    do {
      SkipBlanks();
      if (at_ >= text_.size() || text_[at_] != '"') return Fail("a member name missing");
      auto key = ParseString();
      if (!key) return std::nullopt;
      if (!Take(':')) return Fail("':' missing");
      auto value = ParseValue(depth + 1);
      if (!value) return std::nullopt;
      members.push_back({std::move(*key), std::move(*value)});
    } while (Take(','));
    if (!Take('}')) return Fail("'}' missing");
    return Value(std::move(members));
  }

  std::optional<Value> ParseArray(int depth) {
    ++at_;
    Array items;
    if (Take(']')) return Value(std::move(items));
    do {
      auto value = ParseValue(depth + 1);
      if (!value) return std::nullopt;
      items.push_back(std::move(*value));
    } while (Take(','));
    if (!Take(']')) return Fail("']' missing");
    return Value(std::move(items));
  }

  std::optional<std::uint32_t> ParseHex4() {
    if (at_ + 4 > text_.size()) return std::nullopt;
    std::uint32_t code = 0;
    const auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
    if (error != std::errc() || end != text_.data() + at_ + 4) return std::nullopt;
    at_ += 4;
    return code;
  }

  std::optional<std::uint32_t> ParseEscapedCode() {
    const auto high = ParseHex4();
    if (!high) return Fail("a bad \\u escape");
    if (*high < 0xD800 || *high > 0xDFFF) return *high;
    if (*high > 0xDBFF || !TakeWord("\\u")) return Fail("a lone surrogate");
    const auto low = ParseHex4();
    if (!low || *low < 0xDC00 || *low > 0xDFFF) return Fail("a lone surrogate");
    return 0x10000 + ((*high - 0xD800) << 10) + (*low - 0xDC00);
  }

  std::optional<std::string> ParseString() {
    ++at_;
    std::string out;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) break;
      switch (text_[at_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          const auto code = ParseEscapedCode();
          if (!code) return std::nullopt;
          AppendUtf8(*code, out);
          break;
        }
        default: return Fail("a bad escape");
      }
    }
    return Fail("an unterminated string");
  }

  std::optional<Value> ParseNumber() {
    const std::size_t start = at_;
    const auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ - from;
    };
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    const std::size_t whole = at_;
    if (digits() == 0) return Fail("not a value");
    if (text_[whole] == '0' && at_ - whole > 1) return Fail("a number with a leading zero");
    bool integral = true;
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      integral = false;
      if (digits() == 0) return Fail("digits missing after '.'");
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      integral = false;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (digits() == 0) return Fail("digits missing in the exponent");
    }
    const char* first = text_.data() + start;
    const char* last = text_.data() + at_;
    if (integral) {
      std::int64_t n = 0;
      if (std::from_chars(first, last, n).ec == std::errc()) return Value(n);
    }
    double d = 0;
    const auto [end, error] = std::from_chars(first, last, d);
    if (error != std::errc() || end != last) return Fail("a number out of range");
    return Value(d);
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string error_;
};

}  // namespace

const Value* Value::Find(std::string_view key) const {
  const auto* members = std::get_if<Object>(&data);
  if (!members) return nullptr;
  for (const Member& member : *members)
    if (member.key == key) return &member.value;
  return nullptr;
}

std::string Write(const Value& value) {
  std::string out;
  WriteValue(value, 0, out);
  out += '\n';
  return out;
}

std::optional<Value> Parse(std::string_view text, std::string* error) {
  if (!IsValidUtf8(text)) {
    if (error) *error = "not UTF-8 text";
    return std::nullopt;
  }
  Parser parser(text);
  auto value = parser.Document();
  if (!value && error) *error = parser.Error();
  return value;
}

}  // namespace talvo::text::json
