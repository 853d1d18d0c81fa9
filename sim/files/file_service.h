// The file work of one connection: uploads, downloads, file commands and listings. It
// keeps what this work leaves for the connection's next request: the upload being
// received, the injected fault of the transfer under way, and the listing being paged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "link/package.h"
#include "sim/files/file_area.h"
#include "sim/files/file_faults.h"
#include "sim/files/upload.h"

namespace vandir::sim {

class FileService {
 public:
  FileService(FileArea& area, FileFaults& faults) : area_(area), faults_(faults) {}

  static bool Serves(std::int16_t command);
  // The reply to a request it serves, or nullopt when the connection must close instead.
  std::optional<defPACKAGE> Answer(const defPACKAGE& request);

 private:
  // Transfers (transfer_replies.cpp).
  defPACKAGE StartUpload(const defPACKAGE& request);
  std::optional<defPACKAGE> UploadData(const defPACKAGE& request);
  std::optional<defPACKAGE> EndUpload(const defPACKAGE& request);
  std::optional<defPACKAGE> DownloadPiece(const defPACKAGE& request);
  // The transfer's fault when it is due at this step (it is spent then); counts the step
  // otherwise.
  std::optional<TransferFault> FaultDue();

  defPACKAGE FileCommand(const defPACKAGE& request);
  defPACKAGE ListPart(const defPACKAGE& request);

  FileArea& area_;
  FileFaults& faults_;
  std::unique_ptr<Upload> upload_;
  std::optional<TransferFault> transferFault_;      // of the transfer under way
  std::optional<std::vector<FileEntry>> listing_;  // nullopt: no folder to list
  std::size_t listed_ = 0;
  bool endless_ = false;  // the listing under way announces more than it has
};

}  // namespace vandir::sim
