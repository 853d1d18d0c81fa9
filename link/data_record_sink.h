// Where data-recorder records go once they arrive, on either channel.
#pragma once

#include "link/package.h"

namespace vandir {

class DataRecordSink {
 public:
  virtual ~DataRecordSink() = default;
  virtual void WriteRecord(const defRECEIVE_PACKAGE& record) = 0;
};

}  // namespace vandir
