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

namespace talvo::app {

class TWorkPage : public TPage {
 public:
  explicit TWorkPage(QWidget* parent = nullptr);

  void LoadCaptions(const TLanguage& language) override;
  // Grid sizes and the milling-only fields of the system type.
  void ApplySystemType(int type) override;
  // The six program and status texts start empty.
  void ClearProgramTexts();
  // The page's objects report here; the variable grids write through the window.
  void Attach(TFormMain& frame) override;
  // Mode and status, and the G codes, stay current on every page.
  void SharedInfoChanged(TTalvoInfo& info) override;

  QLabel* StaticTextMainProgName;
  QLabel* StaticTextNowProgName;
  QLabel* StaticTextNCode;
  QLabel* StaticTextLinesNo;
  QLabel* StaticTextWorkMode;
  QLabel* StaticTextWorkStatice;
  QLabel* StaticTextCommandFeedRate;
  QLabel* StaticTextActualFeedRate;
  QLabel* StaticTextFeedRatePer;
  QLabel* StaticTextSCom[3];
  QLabel* StaticTextSActual[3];
  QLabel* StaticTextSPer[3];
  QLabel* StaticTextHCode;
  QLabel* StaticTextMCode[3];
  QLabel* StaticTextTCode;
  QLabel* StaticTextPCode;
  QLabel* StaticTextQCode;
  QLabel* StaticTextRCode;
  QLabel* CutTime;
  QLabel* WorkTime;
  QLabel* NowWorkPice;
  QLabel* MaxWorkPice;
  QLabel* LSpindleT;
  QLabel* SpindleT;
  QLabel* LPrepareT;
  QLabel* PrepareT;
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
