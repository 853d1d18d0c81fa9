// The program's windows in their order of creation: the main window does all set-up, the
// dialogs come after it, are handed to it, and go before it.
#pragma once

#include <string>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/input_pad.h"
#include "app/dialogs/machine_list_dialog.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/process_info_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/dialogs/send_message_dialog.h"
#include "app/frame/main_window.h"

namespace talvo::app {

struct TProgramWindows {
  explicit TProgramWindows(const std::string& home)
      : Main(home),
        Input(&Main),
        About(Main.Language(), home, &Main),
        SendMsg(Main.Language(), &Main),
        Password(Main.Language(), &Main),
        ProcessInfo(Main.Service(), &Main),
        ReturnCode(&Main),
        AddCNC(Main.Machines(), Main.Language(), &Main) {
    Main.SetDialogs({&Input, &About, &SendMsg, &Password, &ProcessInfo, &ReturnCode, &AddCNC});
  }

  TFormMain Main;
  TFrmInput Input;
  TFormAbout About;
  TFormSendMsg SendMsg;
  TPasswordForm Password;
  TFormProcessInfo ProcessInfo;
  TFormReturnCode ReturnCode;
  TFormAddCNC AddCNC;
};

}  // namespace talvo::app
