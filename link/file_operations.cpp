// File transfer and the NC file commands: starting and cancelling jobs, listing folders,
// renaming and deleting on the controller, and the result tracking of those commands.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "link/cache.h"
#include "link/transport.h"
#include "link/vandircnc.h"

namespace vandir {

namespace {

// Both names travel in one package: the upload start and the download request must fit.
constexpr std::size_t kUploadNames = kPackageSize - 26;
constexpr std::size_t kDownloadNames = kPackageSize - 30;

// The controller's own file commands cannot carry the text "0".
bool RefusedName(const std::string& name) { return name == "0" || name.size() > kDataSize - 1; }

}  // namespace

bool TVandirCNC::LoggedIn() const {
  const std::int16_t login = SendCMD->LoginStatus;
  return login == kLoginLimited || login == kLoginFull;
}

int TVandirCNC::SendFile(const std::string& localName, const std::string& controllerName,
                         bool overwrite) {
  if (!LoggedIn()) return kRefused;
  if (localName.empty() || controllerName.empty() ||
      localName.size() + controllerName.size() > kUploadNames)
    return kNameMissing;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(localName, ec)) return kFileMissing;
  std::ifstream file(localName, std::ios::binary | std::ios::ate);
  if (!file) return kFileUnreadable;
  const auto size = static_cast<std::int64_t>(file.tellg());
  // A size the 32-bit field cannot carry is reported as negative, which the job refuses.
  const std::int32_t fileSize =
      size > std::numeric_limits<std::int32_t>::max() ? -1 : static_cast<std::int32_t>(size);
  const auto room = static_cast<std::int32_t>(482 - localName.size() - controllerName.size());
  // Starting one kind of job cancels the other. The job's own flag is raised only with the
  // job stored (RequestUpload): raised earlier, the transport could start the previous job.
  SendCMD->CancelDownload();
  return AskSendFilePiece(localName, controllerName, 0, std::min(room, std::max(fileSize, 0)),
                          fileSize, overwrite);
}

int TVandirCNC::AskSendFilePiece(const std::string& source, const std::string& target,
                                 int offset, int pieceSize, int fileSize, bool overwrite) {
  if (source.size() + target.size() > kUploadNames) return kNameMissing;
  SendCMD->RequestUpload({source, target, offset, pieceSize, fileSize, overwrite});
  return kOk;
}

int TVandirCNC::ReceiveFile(const std::string& controllerName, const std::string& localName) {
  if (!LoggedIn()) return kRefused;
  if (controllerName.empty() || localName.empty() ||
      controllerName.size() + localName.size() > kDownloadNames)
    return kBadArgument;
  SendCMD->CancelUpload();
  return AskReceiveFilePiece(controllerName, localName, 0,
                             static_cast<int>(490 - controllerName.size() - localName.size()), 0);
}

int TVandirCNC::AskReceiveFilePiece(const std::string& source, const std::string& target, int,
                                    int, int) {
  if (source.size() + target.size() > kDownloadNames) return kBadArgument;
  SendCMD->RequestDownload({source, target, 0, 0, 0, false});
  return kOk;
}

void TVandirCNC::CancelSendFile() { SendCMD->CancelUpload(); }
void TVandirCNC::CancelReceiveFile() { SendCMD->CancelDownload(); }
int TVandirCNC::SendPercentange() const { return SendCMD->SendPercent; }
int TVandirCNC::RecvPercentange() const { return SendCMD->RecvPercent; }

int TVandirCNC::GetCount(int* requested, int* answered) {
  Cache->WithCurrent([&](const CacheData& c) {
    *requested = c.FileCmdRequested;
    *answered = c.FileCmdAnswered;
  });
  return *answered;
}

void TVandirCNC::ResetCount() {
  Cache->WithCurrent([](CacheData& c) {
    c.FileCmdRequested = 0;
    c.FileCmdAnswered = 0;
    std::memset(c.FileCmdName, 0, sizeof c.FileCmdName);
    std::memset(c.FileCmdNewName, 0, sizeof c.FileCmdNewName);
  });
}

int TVandirCNC::GetErrorFilename(std::string* name, int* error) {
  Cache->WithCurrent([&](const CacheData& c) {
    *error = c.FileCmdError;
    *name = std::string(c.FileCmdName, strnlen(c.FileCmdName, sizeof c.FileCmdName));
  });
  return 1;
}

int TVandirCNC::GetErrorNewname(std::string* name) {
  Cache->WithCurrent([&](const CacheData& c) {
    *name = std::string(c.FileCmdNewName, strnlen(c.FileCmdNewName, sizeof c.FileCmdNewName));
  });
  return 1;
}

int TVandirCNC::FileList(const std::string& folder, int mode) {
  if (folder == "0" || folder.size() > kDataSize) return kRefused;
  // A request the transport turns away (list busy) is reported, never passed off as sent:
  // the caller would otherwise wait for an answer that cannot come.
  return AskFileList(folder, static_cast<std::int16_t>(mode));
}

// Counts the command as requested before sending it, so that its answer (counted by the
// decoder) cannot overtake the count. A request the transport turns away was never sent:
// the count is taken back and the refusal returned, rather than left for a caller to wait on.
template <class Send>
int TVandirCNC::TrackedFileCommand(Send send) {
  Cache->WithCurrent([](CacheData& c) {
    ++c.FileCmdRequested;
    c.FileCmdError = 0;
  });
  const int result = send();
  if (result != kOk) Cache->WithCurrent([](CacheData& c) { --c.FileCmdRequested; });
  return result;
}

int TVandirCNC::NCFileRename(const std::string& oldName, const std::string& newName) {
  if (oldName == "0" || newName == "0" || oldName.size() + newName.size() > kDataSize - 2)
    return kRefused;
  return TrackedFileCommand([&] { return AskFileRename(oldName, newName); });
}

int TVandirCNC::NCFileDelete(const std::string& name) {
  if (RefusedName(name)) return kRefused;
  return TrackedFileCommand([&] { return AskFileDelete(name); });
}

int TVandirCNC::NCDirCreate(const std::string& folder) {
  if (RefusedName(folder)) return kRefused;
  return TrackedFileCommand([&] { return AskDirCreate(folder); });
}

int TVandirCNC::NCDirDelete(const std::string& folder) {
  if (RefusedName(folder)) return kRefused;
  return TrackedFileCommand([&] { return AskDirDelete(folder); });
}

}  // namespace vandir
