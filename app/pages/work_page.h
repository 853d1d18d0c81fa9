// The Work page: programs, mode and status, feed and spindles, the running codes, part counts
// and times, the G code groups and the macro variables.
#pragma once

#include <QGroupBox>
#include <QLabel>

#include <memory>

#include "app/frame/edit_grid_value.h"
#include "app/pages/grid_pass.h"
#include "app/pages/page.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/value_text.h"

namespace talvo::app {

class TWorkPage : public TPage {
 public:
  explicit TWorkPage(QWidget* parent = nullptr);

  void LoadCaptions(const TLanguage& language) override;
  // Grid sizes and the milling-only fields of the system type.
  void ApplySystemType(int type) override;
  // The six program and status texts start empty.
  void ClearProgramTexts();
  // The program, mode, status, part counts and times of the machine left behind are not the
  // new machine's.
  void MachineChanged() override;
  // The page's objects report here; the variable grids write through the window.
  void Attach(TFormMain& frame) override;
  // Mode and status, and the G codes, stay current on every page.
  void SharedInfoChanged(TTalvoInfo& info) override;

  ValueText* StaticTextMainProgName;
  ValueText* StaticTextNowProgName;
  ValueText* StaticTextNCode;
  ValueText* StaticTextLinesNo;
  ValueText* StaticTextWorkMode;
  ValueText* StaticTextWorkStatice;
  ValueText* StaticTextCommandFeedRate;
  ValueText* StaticTextActualFeedRate;
  ValueText* StaticTextFeedRatePer;
  ValueText* StaticTextSCom[3];
  ValueText* StaticTextSActual[3];
  ValueText* StaticTextSPer[3];
  ValueText* StaticTextHCode;
  ValueText* StaticTextMCode[3];
  ValueText* StaticTextTCode;
  ValueText* StaticTextPCode;
  ValueText* StaticTextQCode;
  ValueText* StaticTextRCode;
  ValueText* CutTime;
  ValueText* WorkTime;
  ValueText* NowWorkPice;
  ValueText* MaxWorkPice;
  QLabel* LSpindleT;
  ValueText* SpindleT;
  QLabel* LPrepareT;
  ValueText* PrepareT;
  QGroupBox* GcodeGroup;
  StringGrid* StringGridGroup;
  QGroupBox* LocalVerGroupBox;
  QGroupBox* GlobalVerGroupBox;
  StringGrid* gridLocalVar;
  StringGrid* gridGlobalVar;

 private:
  void StatusModeChange();
  void GGroupChange();
  void ProgramChange();
  void WorkPieceChange();
  void WorkTimeChange();
  void FeedRateChange();
  void SpindleSpeedChange();
  void MacroVariableChange();
  void BackupRegisterChange();
  void BindVariableGrid(StringGrid& grid, EEditKind kind);

  TFormMain* frame_ = nullptr;
  bool lathe_ = false;
  std::unique_ptr<TGridPass> pass_;
};

}  // namespace talvo::app
