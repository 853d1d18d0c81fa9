// DncServer: the PC's side of the DNC channel. The controller sends one request package at a
// time and uses the PC's disk through it: files it opens stay in a table of 32 handles,
// directory searches queue their matches, and whole files move in pieces in both directions.
// Every path is confined to the DNC root folder (DncRoot); every length, offset and handle a
// request carries is checked against the package. Used by one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/dnc/dnc_paths.h"
#include "link/dnc/dnc_search.h"
#include "link/package.h"
#include "link/reply_decoder.h"

namespace vandir {

class DncServer {
 public:
  using RootSource = std::function<std::string()>;
  static constexpr int kFileSlots = 32;

  // `root` names the DNC root folder at the time of each request; data-recorder records
  // (21845) go to `recorder`, which may be null.
  DncServer(RootSource root, DataRecordSink* recorder);
  ~DncServer();
  DncServer(const DncServer&) = delete;
  DncServer& operator=(const DncServer&) = delete;

  // Serves `request` into `reply` and returns how many leading bytes of the reply are to be
  // sent: 0 for a data-recorder record, which is not answered, otherwise the reply's
  // iLength (16..512).
  int Serve(const defPACKAGE& request, defPACKAGE& reply);

  // The channel is gone: closes every file the controller had open, abandons the transfers
  // and searches, and forgets the kept replies and the current folder.
  void CloseAll();

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  using File = std::unique_ptr<std::FILE, FileCloser>;
  // The reply of the last retransmission-aware request, answered again when the controller
  // repeats that request (same iIndex and code) because it missed the reply.
  struct KeptReply {
    std::int16_t command;
    defPACKAGE reply;
  };

  void Dispatch(const defPACKAGE& request, defPACKAGE& reply);

  // Requests naming paths (dnc_server.cpp).
  void GetRootPath(defPACKAGE& reply) const;
  void ChangeDirectory(const defPACKAGE& request, defPACKAGE& reply);
  void DeleteFile(const defPACKAGE& request, defPACKAGE& reply) const;
  void RenameOrCopy(const defPACKAGE& request, defPACKAGE& reply, bool copy) const;
  void SearchFirst(const defPACKAGE& request, defPACKAGE& reply);
  void SearchNext(defPACKAGE& reply);
  void Attributes(const defPACKAGE& request, defPACKAGE& reply) const;
  void AccessTest(const defPACKAGE& request, defPACKAGE& reply) const;
  void FreeSpace(const defPACKAGE& request, defPACKAGE& reply) const;

  // Requests on the file table and whole-file transfers (dnc_file_requests.cpp).
  void OpenFile(const defPACKAGE& request, defPACKAGE& reply);
  void CloseFile(const defPACKAGE& request, defPACKAGE& reply);
  void ReadBlock(const defPACKAGE& request, defPACKAGE& reply);
  void WriteText(const defPACKAGE& request, defPACKAGE& reply);
  void Seek(const defPACKAGE& request, defPACKAGE& reply);
  void EndOfFile(const defPACKAGE& request, defPACKAGE& reply);
  void Tell(const defPACKAGE& request, defPACKAGE& reply);
  void ReadItems(const defPACKAGE& request, defPACKAGE& reply);
  void WriteItems(const defPACKAGE& request, defPACKAGE& reply);
  void SendFile(const defPACKAGE& request, defPACKAGE& reply);
  void ReceiveFile(const defPACKAGE& request, defPACKAGE& reply);

  // The open file a request's handle (iParam1) names, or null.
  std::FILE* OpenSlot(const defPACKAGE& request) const;
  // The PC path of a controller path, or nothing when it is refused.
  std::optional<std::filesystem::path> Resolve(std::string_view controllerPath) const;
  // The folder part of a search pattern as a PC folder inside the root.
  std::optional<std::filesystem::path> SearchFolder(const DncRoot& root,
                                                    const std::string& folder) const;
  // The NUL-terminated text at package offsets [from, to), or nothing when it has no NUL
  // there.
  static std::optional<std::string> Text(const defPACKAGE& package, int from, int to);
  // A name of `length` bytes at package offset `at` with at most `room` bytes available,
  // cut at its first NUL; nothing when the length does not fit or the name is empty.
  static std::optional<std::string> Name(const defPACKAGE& package, int at, int length,
                                         int room);
  // Opens a regular file with a C open mode; null for any other mode or kind of file.
  static File OpenRegular(const std::filesystem::path& path, const std::string& mode);

  const RootSource root_;
  DataRecordSink* const recorder_;

  std::array<File, kFileSlots> FileTable;
  std::array<std::int32_t, kFileSlots> FilePositions{};
  std::deque<DirectoryEntry> tFileQueue;
  std::int16_t LastDNCIndex = 0;
  std::optional<KeptReply> kept_;
  File OutFile;
  std::int64_t OutFileSize = 0;
  File InFile;
  std::filesystem::path current_;  // current folder, relative to the root
};

}  // namespace vandir
