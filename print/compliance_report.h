// The compliance report sheet: an A4 portrait page in Japanese with the recording's file name,
// the period, the channel, the limit set and its source, a bar chart of the judged statistic
// against the limit per order, and the table of the judged rows (value, maximum and its time,
// limit, margin, verdict). Composed on a Canvas whose user window is the printable area of the
// page in tenths of a millimetre.
#pragma once

#include "compliance/compliance_text.h"
#include "platform/canvas.h"

namespace hg {

constexpr double kReportPageWidth = 1900;   // 190 mm: A4 less 10 mm margins
constexpr double kReportPageHeight = 2770;  // 277 mm

void drawComplianceReport(Canvas& canvas, const ComplianceReport& report);

}  // namespace hg
