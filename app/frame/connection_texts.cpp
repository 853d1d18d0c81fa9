#include "app/frame/connection_texts.h"

#include "app/language/language.h"
#include "link/result_codes.h"

namespace talvo::app {

QString DisconnectReason(const TLanguage& language, EProcessKind kind, EConnectState state,
                         int level) {
  if (kind != pkConnecting || state != csConnecting) return {};
  switch (level) {
    case 0:
    case vandir::kNoNewLogin:
      return {};
    case vandir::kLoginRefused:
      return "-" + language.Caption("MainString", "LabelNone");
    case vandir::kLoginRefusedOther:
      return "-" + language.Caption("MainString", "LabelExclude");
    case vandir::kLoginNoConnection:
      return "-" + language.Caption("MainString", "LabelFailed");
    default:
      return "(" + QString::number(level) + ")";
  }
}

QString CountdownSuffix(int remainMilliseconds) {
  return " ( " + QString::number(remainMilliseconds / 1000.0, 'f', 1) + " )";
}

QString FileJobErrorText(const TLanguage& language, EProcessKind kind, int errorNo) {
  const char* prefix = nullptr;
  switch (kind) {
    case pkSendFile:
    case pkReceiveFile:
      prefix = "MessageFailure";
      break;
    case pkFileRename:
      prefix = "MessageRenameFailure";
      break;
    case pkFileDelete:
      prefix = "MessageDelFailure";
      break;
    case pkDirCreate:
      prefix = "MessageCreateDirFailure";
      break;
    default:
      return {};
  }
  // Numbers without a text of their own show the number alone.
  const std::string key = "ERROR_NC_FILE_ERROR_MSG" + std::to_string(errorNo);
  const QString detail = language.Decode(language.Current().ReadString("FileString", key, "")) +
                         "(" + QString::number(errorNo) + ")";
  return language.Caption("FileString", prefix) + ": " + detail;
}

QString AxisLetter(int value) {
  static const char letters[] = "ABCUVW";
  return value >= 0 && value < 6 ? QString(QChar(letters[value])) : QStringLiteral(" ");
}

int ControllerLanguage(int parameter202, int current) {
  switch (parameter202) {
    case 0:
      return 2;
    case 1:
      return 0;
    case 2:
      return 1;
    default:
      return current;
  }
}

}  // namespace talvo::app
