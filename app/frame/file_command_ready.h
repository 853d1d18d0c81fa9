// Whether a page may start a file operation now. When it may not, the user has already been
// told why in a message box.
#pragma once

class QWidget;

namespace talvo {
class TTalvoService;
class TTalvoInfo_StatusMode;
}  // namespace talvo

namespace talvo::app {

class TLanguage;

// Refuses while not connected, while the controller is not ready (its status is not 1; only
// when `checkController` is set) and while another file job runs.
bool CheckFileCommandReady(QWidget* parent, const TTalvoService& service,
                           const TLanguage& language, bool checkController,
                           const TTalvoInfo_StatusMode& status);

}  // namespace talvo::app
