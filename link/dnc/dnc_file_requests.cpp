// The DNC requests on the controller's open files, and the whole-file transfers.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "link/dnc/dnc_server.h"

namespace vandir {

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = -1;
constexpr int kNotOpen = -9;  // also: no free handle
constexpr int kModeAt = kData + 256;          // open-mode text of request 4130
constexpr int kEndOfFileMark = 32;
constexpr int kTellReplyLength = kPackageSize;
constexpr int kSendPiece = 492;               // file bytes per 4144 reply
constexpr int kSendHeader = kHeaderSize + 4;  // header and file size
constexpr int kReceiveNameAt = 20;            // 4145: name field of 256 bytes
constexpr int kReceiveNameRoom = 256;
constexpr int kReceiveDataAt = 276;
constexpr int kReceivePiece = kPackageSize - kReceiveDataAt;  // 236
constexpr int kLastPiece = 1;

// open(2) flags of a C open mode: "r", "w" or "a", then "+" and "b" in either order.
std::optional<int> OpenFlags(std::string_view mode) {
  if (mode.empty()) return std::nullopt;
  const std::string_view rest = mode.substr(1);
  const bool update = rest.find('+') != std::string_view::npos;
  if (rest != "" && rest != "b" && rest != "+" && rest != "+b" && rest != "b+") return std::nullopt;
  switch (mode.front()) {
    case 'r': return update ? O_RDWR : O_RDONLY;
    case 'w': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default: return std::nullopt;
  }
}

std::int32_t Position(std::FILE* file) {
  const long position = std::ftell(file);
  return position < 0 ? kFailed : static_cast<std::int32_t>(std::min<long>(position, INT32_MAX));
}

}  // namespace

DncServer::File DncServer::OpenRegular(const fs::path& path, const std::string& mode) {
  const auto flags = OpenFlags(mode);
  if (!flags) return nullptr;
  // Non-blocking open: a FIFO placed in the root must not hang the channel; it is refused
  // below like every other file that is not a regular one.
  const int fd = ::open(path.c_str(), *flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return nullptr;
  struct stat st {};
  std::FILE* file = nullptr;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
    file = ::fdopen(fd, mode.c_str());
  if (!file) ::close(fd);
  return File(file);
}

std::FILE* DncServer::OpenSlot(const defPACKAGE& request) const {
  const int handle = request.iParam1();
  if (handle < 0 || handle >= kFileSlots) return nullptr;
  return FileTable[static_cast<std::size_t>(handle)].get();
}

void DncServer::OpenFile(const defPACKAGE& request, defPACKAGE& reply) {
  const auto free = std::find(FileTable.begin(), FileTable.end(), nullptr);
  if (free == FileTable.end()) {
    reply.set_iParam1(kNotOpen);
    return;
  }
  const auto name = Text(request, kData, kModeAt);
  const auto mode = Text(request, kModeAt, kPackageSize);
  const auto path = name && mode ? Resolve(*name) : std::nullopt;
  File file = path ? OpenRegular(*path, *mode) : nullptr;
  if (!file) {
    reply.set_iParam1(kFailed);
    return;
  }
  const auto slot = static_cast<std::size_t>(free - FileTable.begin());
  *free = std::move(file);
  FilePositions[slot] = 0;
  reply.set_iParam1(static_cast<std::int16_t>(slot));
}

void DncServer::CloseFile(const defPACKAGE& request, defPACKAGE& reply) {
  if (!OpenSlot(request)) {
    reply.set_iParam1(kNotOpen);
    return;
  }
  const auto slot = static_cast<std::size_t>(request.iParam1());
  const bool closed = std::fclose(FileTable[slot].release()) == 0;
  FilePositions[slot] = 0;
  reply.set_iParam1(closed ? 0 : kFailed);
}

void DncServer::ReadBlock(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  if (!file) return;
  const auto slot = static_cast<std::size_t>(request.iParam1());
  const std::int32_t position = Position(file);
  if (position >= 0) FilePositions[slot] = position;
  const std::size_t read = std::fread(reply.bytes.data() + kData, 1, kDataSize, file);
  reply.set_iParam1(static_cast<std::int16_t>(read));
  if (read > 0) {
    const auto kept = static_cast<std::uint32_t>(FilePositions[slot]);
    reply.set_iParam2(static_cast<std::int16_t>(kept & 0xFFFF));
    reply.set_iParam3(static_cast<std::int16_t>(kept >> 16));
  }
  reply.set_iLength(static_cast<std::int16_t>(kHeaderSize + read));
}

void DncServer::WriteText(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  if (!file) {
    reply.set_iParam1(kNotOpen);
    return;
  }
  const auto text = Text(request, kData, kPackageSize);
  reply.set_iParam1(text && std::fputs(text->c_str(), file) >= 0 ? 0 : kFailed);
}

void DncServer::Seek(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  if (!file) {
    reply.set_iParam1(kNotOpen);
    return;
  }
  static constexpr int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  const int origin = request.iParam2();
  const bool moved = origin >= 0 && origin <= 2 &&
                     std::fseek(file, request.i32(kData), kOrigins[origin]) == 0;
  FilePositions[static_cast<std::size_t>(request.iParam1())] = Position(file);
  reply.set_iParam1(moved ? 0 : kFailed);
}

void DncServer::EndOfFile(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  reply.set_iParam1(!file ? kNotOpen : std::feof(file) ? kEndOfFileMark : 0);
}

void DncServer::Tell(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  std::int32_t position = kFailed;
  if (file) {
    position = Position(file);
    FilePositions[static_cast<std::size_t>(request.iParam1())] = position;
  }
  reply.put_i32(kData, position);
  reply.set_iLength(kTellReplyLength);
}

void DncServer::ReadItems(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  const int size = request.iParam2(), count = request.iParam3();
  if (!file || size < 1 || count < 0 || size * count > kDataSize) return;
  const std::size_t items = std::fread(reply.bytes.data() + kData, static_cast<std::size_t>(size),
                                       static_cast<std::size_t>(count), file);
  // Every byte of the items read goes back, whatever the item size.
  reply.set_iParam1(static_cast<std::int16_t>(items));
  const std::size_t bytes = items * static_cast<std::size_t>(size);
  reply.set_iLength(static_cast<std::int16_t>(kHeaderSize + bytes));
}

void DncServer::WriteItems(const defPACKAGE& request, defPACKAGE& reply) {
  std::FILE* file = OpenSlot(request);
  const int size = request.iParam2(), count = request.iParam3();
  if (!file || size < 1 || count < 0 || size * count > kDataSize) return;
  reply.set_iParam1(static_cast<std::int16_t>(
      std::fwrite(request.bytes.data() + kData, static_cast<std::size_t>(size),
                  static_cast<std::size_t>(count), file)));
}

void DncServer::SendFile(const defPACKAGE& request, defPACKAGE& reply) {
  const std::int64_t offset =
      std::int64_t{request.iParam3()} * 65536 + static_cast<std::uint16_t>(request.iParam2());
  reply.set_iParam1(kFailed);
  reply.set_iParam2(request.iParam2());
  reply.set_iParam3(request.iParam3());
  reply.set_iLength(kSendHeader);
  if (offset == 0) {
    OutFile.reset();
    const auto name = Name(request, kData, request.iParam1(), kDataSize);
    const auto path = name ? Resolve(*name) : std::nullopt;
    if (path) OutFile = OpenRegular(*path, "rb");
    struct stat st {};
    // The protocol's offsets are 32-bit: a larger file cannot be sent whole.
    if (OutFile && (::fstat(fileno(OutFile.get()), &st) != 0 || st.st_size > INT32_MAX))
      OutFile.reset();
    OutFileSize = OutFile ? st.st_size : 0;
  }
  // A piece is read where the controller asks for it, so that a skipped or repeated offset
  // never gets the bytes of another one.
  if (!OutFile || offset < 0 || offset > OutFileSize ||
      std::fseek(OutFile.get(), static_cast<long>(offset), SEEK_SET) != 0) {
    OutFile.reset();
    return;
  }
  const std::int64_t remaining = OutFileSize - offset;
  const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(remaining, kSendPiece));
  if (std::fread(reply.bytes.data() + kSendHeader, 1, wanted, OutFile.get()) != wanted) {
    OutFile.reset();
    return;
  }
  if (remaining < kSendPiece) OutFile.reset();
  reply.put_i32(kData, static_cast<std::int32_t>(OutFileSize));
  reply.set_iParam1(static_cast<std::int16_t>(wanted));
  reply.set_iLength(static_cast<std::int16_t>(kSendHeader + wanted));
}

void DncServer::ReceiveFile(const defPACKAGE& request, defPACKAGE& reply) {
  const int length = request.iParam2();
  const int piece = request.iParam3();
  if (request.iLength() < kHeaderSize || request.iLength() > kPackageSize || length < 0 ||
      length > kReceivePiece) {
    reply.set_iParam1(request.iParam1());
    reply.set_iParam2(kFailed);
    reply.set_iParam3(request.iParam3());
    return;
  }
  const std::int16_t code = reply.iCommand();
  reply = request;
  reply.set_iCommand(code);
  if (piece == 0) {
    InFile.reset();
    const auto name = Name(request, kReceiveNameAt, request.iParam1(), kReceiveNameRoom);
    const auto path = name ? Resolve(*name) : std::nullopt;
    if (path) InFile = OpenRegular(*path, "wb");
  }
  bool written = InFile && std::fwrite(request.bytes.data() + kReceiveDataAt, 1,
                                       static_cast<std::size_t>(length), InFile.get()) ==
                               static_cast<std::size_t>(length);
  // The last piece is only complete once the file is closed without error.
  if (!written || piece == kLastPiece || (piece == 0 && length < kReceivePiece))
    written = InFile && std::fclose(InFile.release()) == 0 && written;
  reply.set_iParam2(static_cast<std::int16_t>(written ? length : kFailed));
}

}  // namespace vandir
