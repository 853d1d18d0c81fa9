#include "sim/dnc/dnc_requests.h"

#include <algorithm>

namespace vandir::sim {

namespace {

std::int16_t Size(std::size_t size) { return static_cast<std::int16_t>(size); }

// A text and its NUL at `offset`; the new end of the request.
int PutText(defPACKAGE& request, int offset, std::string_view text) {
  request.put_text(offset, text);
  return offset + Size(text.size()) + 1;
}

}  // namespace

defPACKAGE DncRequest(std::int16_t command, std::int16_t param1, std::int16_t param2,
                      std::int16_t param3) {
  defPACKAGE request;
  request.set_iHead(kPackageHead);
  request.set_iCommand(command);
  request.set_iLength(kHeaderSize);
  request.set_iParam1(param1);
  request.set_iParam2(param2);
  request.set_iParam3(param3);
  return request;
}

defPACKAGE DncTextRequest(std::int16_t command, std::string_view text, std::int16_t param1,
                          std::int16_t param2) {
  auto request = DncRequest(command, param1, param2);
  request.set_iLength(Size(PutText(request, kData, text)));
  return request;
}

defPACKAGE DncDataRequest(std::int16_t command, std::span<const std::uint8_t> data,
                          std::int16_t param1, std::int16_t param2, std::int16_t param3) {
  auto request = DncRequest(command, param1, param2, param3);
  std::copy(data.begin(), data.end(), request.bytes.begin() + kData);
  request.set_iLength(Size(kHeaderSize + data.size()));
  return request;
}

defPACKAGE DncOpenRequest(std::string_view path, std::string_view mode) {
  auto request = DncRequest(kDncOpen);
  PutText(request, kData, path);
  request.set_iLength(Size(PutText(request, kDncOpenMode, mode)));
  return request;
}

defPACKAGE DncNamePairRequest(std::int16_t command, std::string_view from, std::string_view to) {
  const auto fromLength = Size(from.size() + 1);
  const auto toLength = Size(to.size() + 1);
  auto request = DncRequest(command, fromLength, toLength);
  PutText(request, kData, from);
  request.set_iLength(Size(PutText(request, kData + fromLength, to)));
  return request;
}

defPACKAGE DncSeekRequest(std::int16_t handle, std::int32_t offset, std::int16_t origin) {
  auto request = DncRequest(kDncSeek, handle, origin);
  request.put_i32(kData, offset);
  request.set_iLength(kHeaderSize + 4);
  return request;
}

defPACKAGE DncRunRequest(std::string_view name, std::int32_t offset) {
  const auto where = static_cast<std::uint32_t>(offset);
  auto request = DncTextRequest(kDncRunPiece, name, Size(name.size()),
                                static_cast<std::int16_t>(where & 0xFFFF));
  request.set_iParam3(static_cast<std::int16_t>(where >> 16));
  return request;
}

defPACKAGE DncSendRequest(std::string_view name, DncSendStage stage,
                          std::span<const std::uint8_t> data) {
  auto request = DncRequest(kDncSendPiece, Size(name.size()), Size(data.size()),
                            static_cast<std::int16_t>(stage));
  request.put_text(kDncSendName, name);
  std::copy(data.begin(), data.end(), request.bytes.begin() + kDncSendData);
  request.set_iLength(Size(kDncSendData + data.size()));
  return request;
}

}  // namespace vandir::sim
