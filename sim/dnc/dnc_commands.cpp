#include "sim/dnc/dnc_commands.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <span>
#include <string_view>

#include "sim/control/control_text.h"
#include "sim/dnc/dnc_requests.h"
#include "sim/options.h"

namespace vandir::sim {

namespace {

using Words = std::vector<std::string>;
// The reply line, or nullopt when the arguments do not fit the command.
using Reply = std::optional<std::string>;
using Param = std::int16_t (defPACKAGE::*)() const;

constexpr long kLongestTimeoutMs = 60'000;
constexpr long kMostRecords = 100'000;
constexpr long kMostPieces = 1'000'000'000;
constexpr std::size_t kLongestDncPath = kDncPathField - 1;
constexpr std::size_t kLongestMode = kPackageSize - kDncOpenMode - 1;

template <typename T>
std::optional<T> Number(const std::string& word) {
  const auto value =
      ParseInteger(word, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
  if (!value) return std::nullopt;
  return static_cast<T>(*value);
}

std::optional<std::string_view> Path(const std::string& word) {
  if (word.size() > kLongestDncPath) return std::nullopt;
  return word;
}

std::optional<std::vector<std::uint8_t>> Bytes(const std::string& word, std::size_t most) {
  auto bytes = ParseHex(word);
  if (!bytes || bytes->size() > most) return std::nullopt;
  return bytes;
}

// A trailing "repeat K" from `args[from]` on: K, or 0 when there is none.
std::optional<int> RepeatOf(const Words& args, std::size_t from) {
  if (args.size() == from) return 0;
  if (args.size() != from + 2 || args[from] != "repeat") return std::nullopt;
  const auto piece = ParseInteger(args[from + 1], 1, kMostPieces);
  if (!piece) return std::nullopt;
  return static_cast<int>(*piece);
}

std::string Field(std::string_view name, long value) {
  return std::string(name) + '=' + std::to_string(value);
}

template <typename Format>
std::string Answer(const Outcome<defPACKAGE>& reply, Format format) {
  return reply ? "ok " + format(*reply) : "error " + reply.Why();
}

std::string Result(const Outcome<defPACKAGE>& reply, Param param = &defPACKAGE::iParam1) {
  return Answer(reply, [param](const defPACKAGE& r) { return Field("result", (r.*param)()); });
}

// The `count` data bytes of a reply from `offset` on, as far as the reply goes.
std::string DataHex(const defPACKAGE& reply, int offset, int count) {
  const int end = std::clamp(offset + count, offset, static_cast<int>(reply.iLength()));
  return "data=" + Hex(std::span(reply.bytes)
                           .subspan(static_cast<std::size_t>(offset),
                                    static_cast<std::size_t>(end - offset)));
}

std::int32_t Position(const defPACKAGE& reply) {
  return static_cast<std::int32_t>(static_cast<std::uint16_t>(reply.iParam2()) |
                                   static_cast<std::uint32_t>(reply.iParam3()) << 16);
}

std::string Entries(const std::vector<DncSession::Entry>& entries) {
  std::string text = "ok " + std::to_string(entries.size());
  for (const auto& entry : entries) {
    text += ' ' + Quoted(entry.name) + '/' + std::to_string(entry.size) + '/' +
            std::to_string(entry.attributes);
  }
  return text;
}

std::string Crc(std::uint32_t crc) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(crc));
  return hex;
}

// Requests naming one path, answering their result in iParam1.
Reply PathResult(DncSession& session, std::int16_t command, const std::string& word,
                 std::int16_t param1 = 0) {
  const auto path = Path(word);
  if (!path) return std::nullopt;
  return Result(session.Ask(DncTextRequest(command, *path, param1)));
}

// Requests naming one open file, answering their result in iParam1.
Reply HandleResult(DncSession& session, std::int16_t command, const std::string& word) {
  const auto handle = Number<std::int16_t>(word);
  if (!handle) return std::nullopt;
  return Result(session.Ask(DncRequest(command, *handle)));
}

Reply NamePair(DncSession& session, std::int16_t command, const Words& args) {
  const auto from = Path(args[0]);
  const auto to = Path(args[1]);
  if (!from || !to || from->size() + to->size() + 2 > kDataSize) return std::nullopt;
  return Result(session.Ask(DncNamePairRequest(command, *from, *to)), &defPACKAGE::iParam3);
}

Reply Status(DncSession& session, const Words&) {
  const bool connected = session.Channel().Connected();
  return "ok " + Field("connected", connected) + ' ' +
         Field("unasked", session.Channel().Unasked());
}

Reply Drop(DncSession& session, const Words&) {
  session.Channel().Drop();
  return "ok";
}

Reply Timeout(DncSession& session, const Words& args) {
  const auto ms = ParseInteger(args[0], 1, kLongestTimeoutMs);
  if (!ms) return std::nullopt;
  session.SetTimeout(std::chrono::milliseconds(*ms));
  return "ok";
}

Reply Raw(DncSession& session, const Words& args) {
  std::int16_t header[5];
  for (std::size_t i = 0; i < 5; ++i) {
    const auto value = Number<std::int16_t>(args[i]);
    if (!value) return std::nullopt;
    header[i] = *value;
  }
  std::optional<std::vector<std::uint8_t>> data(std::in_place);
  if (args.size() == 6) data = Bytes(args[5], kDataSize);
  if (!data) return std::nullopt;
  auto request = DncDataRequest(header[0], *data, header[2], header[3], header[4]);
  request.set_iIndex(header[1]);
  const auto reply = session.Raw(request);
  if (!reply) return "error " + reply.Why();
  return reply->empty() ? "ok" : "ok " + Hex(*reply);
}

Reply Root(DncSession& session, const Words&) {
  return Answer(session.Ask(DncRequest(kDncRootPath)),
                [](const defPACKAGE& r) { return Quoted(r.text(kData, r.iLength())); });
}

Reply ChangeDirectory(DncSession& session, const Words& args) {
  const auto path = Path(args[0]);
  if (!path) return std::nullopt;
  return Answer(session.Ask(DncTextRequest(kDncChangeDirectory, *path)), [](const defPACKAGE& r) {
    return Field("result", r.iParam2()) + " path=" + Quoted(r.text(kData, r.iLength()));
  });
}

Reply Delete(DncSession& session, const Words& args) {
  const auto path = Path(args[0]);
  if (!path) return std::nullopt;
  return Result(session.Ask(DncTextRequest(kDncDelete, *path)), &defPACKAGE::iParam2);
}

Reply Rename(DncSession& session, const Words& args) { return NamePair(session, kDncRename, args); }
Reply Copy(DncSession& session, const Words& args) { return NamePair(session, kDncCopy, args); }

Reply Search(DncSession& session, const Words& args) {
  const auto pattern = Path(args[0]);
  const auto attributes = Number<std::int16_t>(args[1]);
  if (!pattern || !attributes) return std::nullopt;
  const auto entries = session.Search(*pattern, *attributes);
  return entries ? Entries(*entries) : "error " + entries.Why();
}

Reply Open(DncSession& session, const Words& args) {
  const auto path = Path(args[0]);
  if (!path || args[1].size() > kLongestMode) return std::nullopt;
  return Answer(session.Ask(DncOpenRequest(*path, args[1])),
                [](const defPACKAGE& r) { return Field("handle", r.iParam1()); });
}

Reply Close(DncSession& session, const Words& args) {
  return HandleResult(session, kDncClose, args[0]);
}
Reply EndOfFile(DncSession& session, const Words& args) {
  return HandleResult(session, kDncEndOfFile, args[0]);
}

Reply Read(DncSession& session, const Words& args) {
  const auto handle = Number<std::int16_t>(args[0]);
  if (!handle) return std::nullopt;
  return Answer(session.Ask(DncRequest(kDncReadBlock, *handle)), [](const defPACKAGE& r) {
    return Field("count", r.iParam1()) + ' ' + Field("position", Position(r)) + ' ' +
           DataHex(r, kData, r.iParam1());
  });
}

Reply Write(DncSession& session, const Words& args) {
  const auto handle = Number<std::int16_t>(args[0]);
  const auto text = Bytes(args[1], kDataSize - 1);  // room for the NUL
  if (!handle || !text) return std::nullopt;
  const std::string_view written(reinterpret_cast<const char*>(text->data()), text->size());
  return Result(session.Ask(DncTextRequest(kDncWriteText, written, *handle)));
}

Reply Seek(DncSession& session, const Words& args) {
  const auto handle = Number<std::int16_t>(args[0]);
  const auto offset = Number<std::int32_t>(args[1]);
  const auto origin = Number<std::int16_t>(args[2]);
  if (!handle || !offset || !origin) return std::nullopt;
  return Result(session.Ask(DncSeekRequest(*handle, *offset, *origin)));
}

Reply Tell(DncSession& session, const Words& args) {
  const auto handle = Number<std::int16_t>(args[0]);
  if (!handle) return std::nullopt;
  return Answer(session.Ask(DncRequest(kDncTell, *handle)),
                [](const defPACKAGE& r) { return Field("position", r.i32(kData)); });
}

Reply Attributes(DncSession& session, const Words& args) {
  return PathResult(session, kDncAttributes, args[0]);
}

Reply Access(DncSession& session, const Words& args) {
  const auto mode = Number<std::int16_t>(args[1]);
  if (!mode) return std::nullopt;
  return PathResult(session, kDncAccess, args[0], *mode);
}

Reply ReadItems(DncSession& session, const Words& args) {
  const auto handle = Number<std::int16_t>(args[0]);
  const auto size = Number<std::int16_t>(args[1]);
  const auto count = Number<std::int16_t>(args[2]);
  if (!handle || !size || !count) return std::nullopt;
  return Answer(session.Ask(DncRequest(kDncReadItems, *handle, *size, *count)),
                [](const defPACKAGE& r) {
                  return Field("count", r.iParam1()) + ' ' + DataHex(r, kData, r.iParam1());
                });
}

Reply WriteItems(DncSession& session, const Words& args) {
  const auto handle = Number<std::int16_t>(args[0]);
  const auto size = Number<std::int16_t>(args[1]);
  const auto count = Number<std::int16_t>(args[2]);
  const auto items = Bytes(args[3], kDataSize);
  if (!handle || !size || !count || !items) return std::nullopt;
  return Answer(session.Ask(DncDataRequest(kDncWriteItems, *items, *handle, *size, *count)),
                [](const defPACKAGE& r) { return Field("count", r.iParam1()); });
}

Reply FreeSpace(DncSession& session, const Words& args) {
  const auto drive = ParseInteger(args[0], 0, std::numeric_limits<std::uint8_t>::max());
  if (!drive) return std::nullopt;
  const auto request = DncRequest(kDncFreeSpace, static_cast<std::int16_t>(*drive));
  return Answer(session.Ask(request), [](const defPACKAGE& r) {
    return Field("result", r.iParam1()) + ' ' + Field("total", r.u16(kData)) + ' ' +
           Field("available", r.u16(kData + 2)) + ' ' + Field("sectors", r.u16(kData + 4)) + ' ' +
           Field("bytes", r.u16(kData + 6));
  });
}

Reply RunProgram(DncSession& session, const Words& args) {
  const auto name = Path(args[0]);
  const auto repeat = RepeatOf(args, 1);
  if (!name || !repeat) return std::nullopt;
  const auto run = session.RunProgram(*name, *repeat);
  if (!run) return "error " + run.Why();
  return "ok " + Field("size", run->size) + ' ' + Field("pieces", run->pieces) +
         " crc32=" + Crc(run->crc) + " file=" + run->file;
}

Reply SendFile(DncSession& session, const Words& args) {
  const auto remote = Path(args[1]);
  const auto repeat = RepeatOf(args, 2);
  if (!remote || !repeat) return std::nullopt;
  const auto sent = session.SendFile(args[0], *remote, *repeat);
  if (!sent) return "error " + sent.Why();
  return "ok " + Field("bytes", static_cast<long>(sent->bytes)) + ' ' +
         Field("pieces", sent->pieces);
}

Reply Record(DncSession& session, const Words& args) {
  const bool counted = !args.empty() && args[0] != "repeat";
  const auto count = counted ? ParseInteger(args[0], 1, kMostRecords) : 1;
  const auto repeat = RepeatOf(args, counted ? 1 : 0);
  if (!count || !repeat) return std::nullopt;
  const auto sent = session.Record(static_cast<int>(*count), *repeat);
  return sent ? "ok " + Field("records", *sent) : "error " + sent.Why();
}

struct Command {
  std::string_view name;
  std::string_view arguments;  // for the usage reply
  std::size_t fewest;          // arguments after the name
  std::size_t most;
  Reply (*run)(DncSession&, const Words&);
};

constexpr Command kCommands[] = {
    {"", "", 0, 0, Status},
    {"drop", "", 0, 0, Drop},
    {"timeout", "MS", 1, 1, Timeout},
    {"raw", "CMD INDEX P1 P2 P3 [HEX]", 5, 6, Raw},
    {"root", "", 0, 0, Root},
    {"cd", "PATH", 1, 1, ChangeDirectory},
    {"delete", "PATH", 1, 1, Delete},
    {"rename", "OLD NEW", 2, 2, Rename},
    {"copy", "SOURCE TARGET", 2, 2, Copy},
    {"search", "PATTERN ATTR", 2, 2, Search},
    {"open", "PATH MODE", 2, 2, Open},
    {"close", "H", 1, 1, Close},
    {"read", "H", 1, 1, Read},
    {"write", "H HEX", 2, 2, Write},
    {"seek", "H OFFSET ORIGIN", 3, 3, Seek},
    {"eof", "H", 1, 1, EndOfFile},
    {"tell", "H", 1, 1, Tell},
    {"attr", "PATH", 1, 1, Attributes},
    {"access", "PATH MODE", 2, 2, Access},
    {"read-items", "H SIZE COUNT", 3, 3, ReadItems},
    {"write-items", "H SIZE COUNT HEX", 4, 4, WriteItems},
    {"free", "DRIVE", 1, 1, FreeSpace},
    {"run", "NAME [repeat K]", 1, 3, RunProgram},
    {"send", "LOCAL REMOTE [repeat K]", 2, 4, SendFile},
    {"record", "[N] [repeat K]", 0, 3, Record},
};

}  // namespace

std::string ExecuteDncCommand(DncSession& session, const std::vector<std::string>& words) {
  const std::string_view name = words.size() > 1 ? std::string_view(words[1]) : "";
  const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [name](const Command& c) { return c.name == name; });
  if (command == std::end(kCommands)) return "error unknown command";
  const Words args(words.begin() + std::min<std::ptrdiff_t>(2, std::ssize(words)), words.end());
  Reply reply;
  if (args.size() >= command->fewest && args.size() <= command->most) {
    reply = command->run(session, args);
  }
  if (reply) return *reply;
  std::string usage = "error usage: dnc";
  for (const auto part : {command->name, command->arguments}) {
    if (!part.empty()) usage += ' ' + std::string(part);
  }
  return usage;
}

}  // namespace vandir::sim
