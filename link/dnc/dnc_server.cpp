#include "link/dnc/dnc_server.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace vandir {

namespace fs = std::filesystem;

namespace {

// Request codes; a reply carries the request's code + 4096.
enum Request : std::int16_t {
  kGetRootPath = 4096,
  kChangeDirectory = 4097,
  kDeleteFile = 4113,
  kRename = 4114,
  kCopy = 4115,
  kSearchFirst = 4128,
  kSearchNext = 4129,
  kOpenFile = 4130,
  kCloseFile = 4131,
  kReadBlock = 4132,
  kWriteText = 4133,
  kSeek = 4134,
  kEndOfFile = 4135,
  kTell = 4136,
  kAttributes = 4137,
  kAccessTest = 4138,
  kReadItems = 4139,
  kWriteItems = 4140,
  kFreeSpace = 4141,
  kSendFile = 4144,
  kReceiveFile = 4145,
};
constexpr int kReplyCodeOffset = 4096;

constexpr int kFailed = -1;
constexpr int kPathField = 256;               // bytes of a fixed path field
constexpr int kPathReplyLength = kHeaderSize + kPathField;  // 272
constexpr int kSearchReplyLength = kHeaderSize + kDirectoryEntrySize;  // 74
constexpr int kFreeSpaceReplyLength = 24;
constexpr int kAllAttributes = 0xFF;
constexpr int kLastDrive = 26;  // Z:
// Free space is told in 16-bit cluster counts of 512-byte sectors.
constexpr std::uint64_t kBytesPerSector = 512;
constexpr std::uint64_t kMaxClusters = 0xFFFF;
constexpr std::uint64_t kMaxSectorsPerCluster = 0x8000;

bool RetransmissionAware(int command) {
  switch (command) {
    case kReadBlock:
    case kWriteText:
    case kSeek:
    case kEndOfFile:
    case kTell:
    case kReadItems:
    case kWriteItems:
    case kSendFile:
    case kReceiveFile:
      return true;
    default:
      return false;
  }
}

void PutEntry(defPACKAGE& reply, const DirectoryEntry& entry) {
  std::memcpy(reply.bytes.data() + kData, entry.data(), entry.size());
}

}  // namespace

DncServer::DncServer(RootSource root, DataRecordSink* recorder)
    : root_(std::move(root)), recorder_(recorder) {}

DncServer::~DncServer() = default;

int DncServer::Serve(const defPACKAGE& request, defPACKAGE& reply) {
  reply = defPACKAGE{};
  const std::int16_t command = request.iCommand();
  if (command == kReplyDataRecord) {
    if (recorder_) recorder_->WriteRecord(request);
    return 0;
  }
  const bool aware = RetransmissionAware(command);
  if (aware && kept_ && kept_->command == command && LastDNCIndex == request.iIndex()) {
    reply = kept_->reply;
    return reply.iLength();
  }
  reply.set_iHead(kPackageHead);
  reply.set_iCommand(
      static_cast<std::int16_t>(static_cast<std::uint16_t>(command) + kReplyCodeOffset));
  reply.set_iIndex(request.iIndex());
  reply.set_iLength(kHeaderSize);
  Dispatch(request, reply);
  // A block read that found nothing is not kept: asked again, it reads again.
  if (aware && (command != kReadBlock || reply.iParam1() > 0)) {
    kept_ = KeptReply{command, reply};
    LastDNCIndex = request.iIndex();
  }
  return reply.iLength();
}

void DncServer::Dispatch(const defPACKAGE& request, defPACKAGE& reply) {
  switch (request.iCommand()) {
    case kGetRootPath: return GetRootPath(reply);
    case kChangeDirectory: return ChangeDirectory(request, reply);
    case kDeleteFile: return DeleteFile(request, reply);
    case kRename: return RenameOrCopy(request, reply, false);
    case kCopy: return RenameOrCopy(request, reply, true);
    case kSearchFirst: return SearchFirst(request, reply);
    case kSearchNext: return SearchNext(reply);
    case kOpenFile: return OpenFile(request, reply);
    case kCloseFile: return CloseFile(request, reply);
    case kReadBlock: return ReadBlock(request, reply);
    case kWriteText: return WriteText(request, reply);
    case kSeek: return Seek(request, reply);
    case kEndOfFile: return EndOfFile(request, reply);
    case kTell: return Tell(request, reply);
    case kAttributes: return Attributes(request, reply);
    case kAccessTest: return AccessTest(request, reply);
    case kReadItems: return ReadItems(request, reply);
    case kWriteItems: return WriteItems(request, reply);
    case kFreeSpace: return FreeSpace(request, reply);
    case kSendFile: return SendFile(request, reply);
    case kReceiveFile: return ReceiveFile(request, reply);
    default: {
      // Unknown to the PC: the request comes back, marked as answered.
      const std::int16_t code = reply.iCommand();
      reply = request;
      reply.set_iCommand(code);
      reply.set_iLength(std::clamp<std::int16_t>(request.iLength(), kHeaderSize, kPackageSize));
      return;
    }
  }
}

void DncServer::CloseAll() {
  for (auto& file : FileTable) file.reset();
  FilePositions.fill(0);
  tFileQueue.clear();
  OutFile.reset();
  OutFileSize = 0;
  InFile.reset();
  kept_.reset();
  current_.clear();
}

std::optional<std::string> DncServer::Text(const defPACKAGE& package, int from, int to) {
  const auto* begin = reinterpret_cast<const char*>(package.bytes.data() + from);
  if (!std::memchr(begin, 0, static_cast<std::size_t>(to - from))) return std::nullopt;
  return std::string(begin);
}

std::optional<std::string> DncServer::Name(const defPACKAGE& package, int at, int length,
                                           int room) {
  if (length < 1 || length > room) return std::nullopt;
  const auto* begin = reinterpret_cast<const char*>(package.bytes.data() + at);
  std::string name(begin, strnlen(begin, static_cast<std::size_t>(length)));
  if (name.empty()) return std::nullopt;
  return name;
}

std::optional<fs::path> DncServer::Resolve(std::string_view controllerPath) const {
  return DncRoot(root_()).Resolve(controllerPath, current_);
}

std::optional<fs::path> DncServer::SearchFolder(const DncRoot& root,
                                                const std::string& folder) const {
  auto resolved = root.Resolve(folder.empty() ? "." : folder, current_);
  std::error_code ec;
  if (!resolved || !fs::is_directory(*resolved, ec)) return std::nullopt;
  return resolved;
}

void DncServer::GetRootPath(defPACKAGE& reply) const {
  const std::string root = root_();
  reply.put_text(kData, std::string_view(root).substr(0, kPathField - 1));
  reply.set_iParam1(kPathField);
  reply.set_iLength(kPathReplyLength);
}

void DncServer::ChangeDirectory(const defPACKAGE& request, defPACKAGE& reply) {
  const DncRoot root(root_());
  const auto text = Text(request, kData, kData + kPathField);
  const auto folder = text ? root.Resolve(*text, current_) : std::nullopt;
  std::error_code ec;
  const bool changed = folder && fs::is_directory(*folder, ec);
  if (changed) current_ = root.Relative(fs::weakly_canonical(*folder, ec));
  std::memcpy(reply.bytes.data() + kData, request.bytes.data() + kData, kPathField);
  reply.set_iParam1(kPathField);
  reply.set_iParam2(changed ? 0 : kFailed);
  reply.set_iLength(kPathReplyLength);
}

void DncServer::DeleteFile(const defPACKAGE& request, defPACKAGE& reply) const {
  const auto text = Text(request, kData, kData + kPathField);
  const auto path = text ? Resolve(*text) : std::nullopt;
  // unlink: files only, never a folder; a symbolic link goes, not what it names.
  const bool deleted = path && ::unlink(path->c_str()) == 0;
  std::memcpy(reply.bytes.data() + kData, request.bytes.data() + kData, kPathField);
  reply.set_iParam1(kPathField);
  reply.set_iParam2(deleted ? 0 : kFailed);
  reply.set_iLength(kPathReplyLength);
}

void DncServer::RenameOrCopy(const defPACKAGE& request, defPACKAGE& reply, bool copy) const {
  const int oldLength = request.iParam1();
  const int newLength = request.iParam2();
  const auto oldName = Name(request, kData, oldLength, kDataSize);
  const auto newName = oldName ? Name(request, kData + oldLength, newLength, kDataSize - oldLength)
                               : std::nullopt;
  const auto from = oldName ? Resolve(*oldName) : std::nullopt;
  const auto to = newName ? Resolve(*newName) : std::nullopt;
  bool done = false;
  std::error_code ec;
  if (from && to && copy) {
    done = fs::copy_file(*from, *to, fs::copy_options::overwrite_existing, ec) && !ec &&
           fs::exists(*from, ec) && fs::exists(*to, ec);
  } else if (from && to && fs::exists(fs::symlink_status(*from, ec)) &&
             !fs::exists(fs::symlink_status(*to, ec))) {
    // As on the controller, a rename never replaces an existing file.
    fs::rename(*from, *to, ec);
    done = !ec;
  }
  std::memcpy(reply.bytes.data() + kData, request.bytes.data() + kData, kDataSize);
  reply.set_iParam1(request.iParam1());
  reply.set_iParam2(request.iParam2());
  reply.set_iParam3(done ? 0 : kFailed);
  reply.set_iLength(static_cast<std::int16_t>(newName ? kHeaderSize + oldLength + newLength
                                                      : kHeaderSize));
}

void DncServer::SearchFirst(const defPACKAGE& request, defPACKAGE& reply) {
  tFileQueue.clear();
  const DncRoot root(root_());
  if (const auto text = Text(request, kData, kPackageSize)) {
    const DncPattern pattern = SplitDncPattern(*text);
    if (const auto folder = SearchFolder(root, pattern.folder))
      for (const auto& entry : FindEntries(root, *folder, pattern.name, request.iParam2()))
        tFileQueue.push_back(entry);
  }
  SearchNext(reply);
}

void DncServer::SearchNext(defPACKAGE& reply) {
  reply.set_iParam2(static_cast<std::int16_t>(std::min<std::size_t>(tFileQueue.size(), INT16_MAX)));
  if (tFileQueue.empty()) {
    reply.set_iParam1(kFailed);
  } else {
    PutEntry(reply, tFileQueue.front());
    tFileQueue.pop_front();
  }
  reply.set_iLength(kSearchReplyLength);
}

void DncServer::Attributes(const defPACKAGE& request, defPACKAGE& reply) const {
  int attribute = kFailed;
  const DncRoot root(root_());
  if (const auto text = Text(request, kData, kPackageSize)) {
    const DncPattern pattern = SplitDncPattern(*text);
    if (const auto folder = SearchFolder(root, pattern.folder)) {
      const auto entries = FindEntries(root, *folder, pattern.name, kAllAttributes);
      if (!entries.empty()) attribute = entries.front()[kEntryAttributeAt];
    }
  }
  reply.set_iParam1(static_cast<std::int16_t>(attribute));
}

void DncServer::AccessTest(const defPACKAGE& request, defPACKAGE& reply) const {
  // The DOS access modes are the POSIX ones: 0 exists, 2 write, 4 read, 6 both.
  const int mode = request.iParam1();
  const auto text = Text(request, kData, kPackageSize);
  const auto path = text && (mode == F_OK || mode == W_OK || mode == R_OK || mode == (R_OK | W_OK))
                        ? Resolve(*text)
                        : std::nullopt;
  reply.set_iParam1(path && ::access(path->c_str(), mode) == 0 ? 0 : kFailed);
}

void DncServer::FreeSpace(const defPACKAGE& request, defPACKAGE& reply) const {
  // Every drive of the controller is the root folder.
  const int drive = request.iParam1() & 0xFF;
  const DncRoot root(root_());
  std::error_code ec;
  const fs::space_info space = root.Valid() ? fs::space(root.Path(), ec) : fs::space_info{};
  reply.set_iLength(kFreeSpaceReplyLength);
  if (drive > kLastDrive || !root.Valid() || ec) {
    reply.set_iParam1(1);
    return;
  }
  std::uint64_t sectorsPerCluster = 1;
  while (sectorsPerCluster < kMaxSectorsPerCluster &&
         space.capacity / (kBytesPerSector * sectorsPerCluster) > kMaxClusters)
    sectorsPerCluster *= 2;
  const std::uint64_t cluster = kBytesPerSector * sectorsPerCluster;
  reply.put_u16(kData,
                static_cast<std::uint16_t>(std::min(space.capacity / cluster, kMaxClusters)));
  reply.put_u16(kData + 2,
                static_cast<std::uint16_t>(std::min(space.available / cluster, kMaxClusters)));
  reply.put_u16(kData + 4, static_cast<std::uint16_t>(sectorsPerCluster));
  reply.put_u16(kData + 6, static_cast<std::uint16_t>(kBytesPerSector));
}

}  // namespace vandir
