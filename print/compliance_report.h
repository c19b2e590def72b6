// The compliance report sheet: A4 portrait pages in Japanese, as many as the report needs, each
// numbered "1/3" with the date of issue and the program's version. The first page holds the
// particulars (the recording, its site and instrument, the period and basis, the set, its file
// and hash, the method and inputs), the overall verdict, each window's coverage and a trend of the
// total distortion (or of the order closest to its limit) with its limit; then each window's
// table of judged rows; last, a 作成・確認・承認 block. Composed on a Canvas whose user window is
// the printable area of the page in tenths of a millimetre.
#pragma once

#include <string>

#include "compliance/compliance_text.h"
#include "platform/canvas.h"

namespace hg {

constexpr double kReportPageWidth = 1900;   // 190 mm: A4 less 10 mm margins
constexpr double kReportPageHeight = 2770;  // 277 mm

// The report's title: its PDF's title and its print job's name.
std::string complianceReportTitle();

// The number of pages the report takes.
int complianceReportPages(const ComplianceReport& report);

// Draws page `page` (1-based) of the report.
void drawComplianceReport(Canvas& canvas, const ComplianceReport& report, int page = 1);

}  // namespace hg
