// Files a job leaves out before it starts: a name that is not a plain file name (it could
// reach another folder on either side), a path the service's record cannot hold, or a file
// that is not there to send. The job goes on with the others; the page says which ones were
// left out and why.
#pragma once

#include <QString>

#include <optional>
#include <string>

#include "link/file_names.h"

namespace talvo::app {

class TLanguage;

enum class ELeftOut { kNotPlainName, kTooLong, kNotThere };

struct TRefusedName {
  std::string name;  // as it came, bytes of the side it came from
  ELeftOut why;
  bool operator==(const TRefusedName&) const = default;
};

// Nothing when `name` may be joined to a folder.
std::optional<TRefusedName> RefuseUnsafeName(const std::string& name);

// "<why>: <name>", control bytes shown as \xNN.
QString RefusedNameLine(const TLanguage& language, const TRefusedName& refused);

}  // namespace talvo::app
