// The Work page: programs, mode and status, feed and spindles, the running codes, part counts
// and times, the G code groups and the macro variables.
#pragma once

#include <QGroupBox>
#include <QLabel>

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
};

}  // namespace talvo::app
