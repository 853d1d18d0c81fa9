#include "app/pages/name_refusals.h"

#include "app/language/language.h"

namespace talvo::app {

std::optional<TRefusedName> RefuseUnsafeName(const std::string& name) {
  const vandir::NameFault fault = vandir::CheckFileName(name);
  if (fault == vandir::NameFault::kNone) return std::nullopt;
  return TRefusedName{name, fault};
}

QString RefusedNameLine(const TLanguage& language, const TRefusedName& refused) {
  const char* key = refused.fault == vandir::NameFault::kTooLong ? "MessageNameTooLong"
                                                                 : "MessageNameRefused";
  return language.Caption("FileString", key) + " " +
         language.Decode(vandir::VisibleName(refused.name));
}

}  // namespace talvo::app
