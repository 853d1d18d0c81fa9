// Where the Position page shows what its information objects hold. Each function writes the
// cells one change event covers: an object's column of six axes, or the block of sets or
// tools it has just read.
#pragma once

#include <QString>

#include "service/talvo_info_position.h"
#include "service/talvo_info_tools.h"

namespace talvo::app {

class StringGrid;

// The base offset (column 0) or G54..G59 (columns 1..6), by the object's kind.
void ShowOffsetColumn(StringGrid& offsets, const TTalvoInfo_Position& column);
// The extended sets just read; set n stands in column n + 7.
void ShowExtendedOffsets(StringGrid& offsets, const TTalvoInfo_G54P& sets);
// Radius and lengths go to the tool grid in the column of their kind; the TDC value, a
// plain count rather than a length, to column 1 of the TDC grid.
void ShowMillTools(StringGrid& tools, StringGrid& tdc, const TTalvoInfo_MillToolComp& comp);
void ShowTDCTimes(StringGrid& tdc, const TTalvoInfo_MillToolTDCtime& times);
// Both lathe grids share the tool type in column 1.
void ShowLatheTools(StringGrid& geometry, StringGrid& wear, const TTalvoInfo_LatheToolComp& comp);

// The first column whose header, in upper case, is `typed` trimmed and in upper case;
// -1 when none is or nothing was typed.
int HeaderColumn(const StringGrid& grid, const QString& typed);

}  // namespace talvo::app
