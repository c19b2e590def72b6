#include "cli/report_pdf.h"

#include <QString>

#include "cli/painting_app.h"
#include "platform/qt/print_document.h"

namespace hg::cli {

bool reportPdfAvailable() {
    return true;
}

std::string reportPdfUnavailable() {
    return {};
}

Status writeReportPdf(const std::string& output, const ComplianceReport& report) {
    const auto app = paintingApplication();
    return writeSheetPdf(output, PageSetup{}, QString::fromStdString(complianceReportTitle()),
                         complianceReportPages(report), [&](Canvas& canvas, int page) {
                             drawComplianceReport(canvas, report, page);
                         });
}

}  // namespace hg::cli
