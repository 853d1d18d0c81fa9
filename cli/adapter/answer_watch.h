// Whether the requests queued since a mark have all been answered. Each request is answered
// by one reply, so the reply count taken just before the reads queue their requests tells:
// counted after, a fast controller could have answered them all before the reads returned.
#pragma once

#include <cstdint>

#include "link/transport.h"

namespace talvo::cli::adapter {

class AnswerWatch {
 public:
  void Mark(const vandir::Send_Recv& transport) { replies_ = transport.ReplyCount; }
  bool Answered(const vandir::Send_Recv& transport) const {
    return transport.CommandListCount() == 0 && transport.ReplyCount != replies_;
  }

 private:
  std::int32_t replies_ = 0;
};

}  // namespace talvo::cli::adapter
