// The compliance report sheet as a PDF file: drawn through Qt, so only in the full build (the
// command line without windows says so instead).
#pragma once

#include <string>

#include "platform/result.h"
#include "print/compliance_report.h"

namespace hg::cli {

// Whether this build draws the sheet (the full build does), and what it says when it does not.
bool reportPdfAvailable();
std::string reportPdfUnavailable();

// The sheet as an A4 portrait PDF of as many pages as the report needs.
Status writeReportPdf(const std::string& output, const ComplianceReport& report);

}  // namespace hg::cli
