// What the main window is busy with. The service's file events go to the page this names.
#pragma once

namespace talvo::app {

enum EMainActivity {
  maIdle = 0,
  maParamStart = 1,   // the parameter object is being started; its events are ignored
  maParamWait = 2,    // waiting for the key parameters of a new connection
  maHistory = 3,      // the alarm history file is being fetched
  maOpHistory = 4,    // the operation history file is being fetched
  maMachineUpload = 5,
  maMachineDownload = 6,
  maNCFiles = 7,      // the NC files page is shown and owns the file events
  maSetupUpload = 8,
  maMachineCompare = 9,  // the Machine page fetches the controller's files to compare
};

}  // namespace talvo::app
