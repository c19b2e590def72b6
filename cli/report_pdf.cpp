#include "cli/report_pdf.h"

#include <QString>

#include "cli/painting_app.h"
#include "platform/qt/pdf_sheet.h"

namespace hg::cli {

Status writeReportPdf(const std::string& output, const ComplianceReport& report) {
    const auto app = paintingApplication();
    return writePdfSheet(output, false, QStringLiteral("harmograph – 適合判定"),
                         [&](Canvas& canvas) { drawComplianceReport(canvas, report); });
}

}  // namespace hg::cli
