#include "app/pages/name_refusals.h"

#include "app/language/language.h"

namespace talvo::app {

std::optional<TRefusedName> RefuseUnsafeName(const std::string& name) {
  switch (vandir::CheckFileName(name)) {
    case vandir::NameFault::kNone:
      return std::nullopt;
    case vandir::NameFault::kTooLong:
      return TRefusedName{name, ELeftOut::kTooLong};
    default:
      return TRefusedName{name, ELeftOut::kNotPlainName};
  }
}

QString RefusedNameLine(const TLanguage& language, const TRefusedName& refused) {
  const char* key = "MessageNameRefused";
  if (refused.why == ELeftOut::kTooLong) key = "MessageNameTooLong";
  if (refused.why == ELeftOut::kNotThere) key = "MessageFileNotThere";
  return language.Caption("FileString", key) + " " +
         language.Decode(vandir::VisibleName(refused.name));
}

}  // namespace talvo::app
