#include "sim/files/file_service.h"

#include <algorithm>
#include <limits>
#include <string>

#include "sim/files/file_codes.h"
#include "sim/files/hostile_names.h"
#include "sim/note.h"
#include "sim/wire/reply_data.h"
#include "sim/wire/request_text.h"

namespace vandir::sim {

namespace {

constexpr std::int16_t kCmdDownloadPiece = 368;
constexpr std::int16_t kCmdUploadStart = 373;
constexpr std::int16_t kCmdRename = 401;
constexpr std::int16_t kCmdDelete = 402;
constexpr std::int16_t kCmdMakeFolder = 405;
constexpr std::int16_t kCmdRemoveFolder = 407;
constexpr std::int16_t kCmdList = 409;
constexpr std::int16_t kCmdUploadData = 4352;
constexpr std::int16_t kCmdUploadEnd = 4354;

constexpr std::int16_t kListStart = 0;
constexpr std::int16_t kListMore = 1;
constexpr std::int16_t kNoSuchFolder = -1;

// The first name, then for a rename the new one; the first one's length in iParam2 tells
// a client where the new one starts.
void PutNames(defPACKAGE& reply, const std::string& name, const std::string& newName) {
  const int room = reply.iLength() - kData;
  if (room <= 0) return;
  const std::string first = name.substr(0, static_cast<std::size_t>(room - 1));
  reply.set_iParam2(static_cast<std::int16_t>(first.size()));
  reply.put_text(kData, first);
  const int rest = room - static_cast<int>(first.size()) - 1;
  PutText(reply, kData + static_cast<int>(first.size()) + 1, newName, rest);
}

}  // namespace

bool FileService::Serves(std::int16_t command) {
  switch (command) {
    case kCmdDownloadPiece:
    case kCmdUploadStart:
    case kCmdRename:
    case kCmdDelete:
    case kCmdMakeFolder:
    case kCmdRemoveFolder:
    case kCmdList:
    case kCmdUploadData:
    case kCmdUploadEnd:
      return true;
    default:
      return false;
  }
}

std::optional<defPACKAGE> FileService::Answer(const defPACKAGE& request) {
  switch (request.iCommand()) {
    case kCmdUploadStart:
      return StartUpload(request);
    case kCmdUploadData:
      return UploadData(request);
    case kCmdUploadEnd:
      return EndUpload(request);
    case kCmdDownloadPiece:
      return DownloadPiece(request);
    case kCmdList:
      return ListPart(request);
    default:
      return FileCommand(request);
  }
}

defPACKAGE FileService::FileCommand(const defPACKAGE& request) {
  const std::int16_t command = request.iCommand();
  auto reply = ReplyTo(request, static_cast<std::int16_t>(command + kReplyOffset),
                       AskedLength(request));
  const auto [name, newName] =
      command == kCmdRename
          ? RequestTexts(request, kData, request.iParam2(), request.iParam3())
          : TextPair{RequestText(request, kData, request.iParam2()), {}};
  std::int16_t result = kFileDone;
  if (const auto failure = faults_.TakeFailure()) {
    result = *failure;
  } else if (command == kCmdRename) {
    result = area_.Rename(name, newName);
  } else if (command == kCmdDelete) {
    result = area_.Delete(name);
  } else if (command == kCmdMakeFolder) {
    result = area_.MakeFolder(name);
  } else {
    result = area_.RemoveFolder(name);
  }
  Note("file command %d %s%s%s: %d", command, name.c_str(), newName.empty() ? "" : " ",
       newName.c_str(), result);
  reply.set_iParam1(result);
  PutNames(reply, name, newName);
  return reply;
}

defPACKAGE FileService::ListPart(const defPACKAGE& request) {
  auto reply = ReplyTo(request, static_cast<std::int16_t>(kCmdList + kReplyOffset),
                       AskedLength(request));
  const bool start = request.iParam1() == kListStart;
  if (start) {
    listing_ = area_.List(RequestText(request, kData, request.iLength() - kData));
    listed_ = 0;
    endless_ = listing_ && faults_.TakeEndlessListing();
    if (listing_ && faults_.HostileNames()) {
      const std::vector<FileEntry> hostile = HostileEntries();
      listing_->insert(listing_->end(), hostile.begin(), hostile.end());
    }
  }
  if (!listing_) {
    reply.set_iParam1(kNoSuchFolder);
    return reply;
  }
  const auto& entries = *listing_;
  // A whole package holds eleven entries.
  const int count = std::min(RoomFor(reply, kData, kEntrySize),
                             static_cast<int>(entries.size() - listed_));
  for (int k = 0; k < count; ++k) PutEntry(reply, kData + kEntrySize * k, entries[listed_++]);
  reply.set_iParam1(start ? kListStart : kListMore);
  reply.set_iParam2(static_cast<std::int16_t>(count));
  constexpr std::size_t kNeverThere = 1000;
  reply.set_iParam3(static_cast<std::int16_t>(
      std::min<std::size_t>(entries.size() + (endless_ ? kNeverThere : 0),
                            std::numeric_limits<std::int16_t>::max())));
  return reply;
}

}  // namespace vandir::sim
