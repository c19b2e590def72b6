// The command line built without Qt (the Windows build of the core and the command line): the
// sub-commands that draw say that they need the full build, and so does a report as PDF.
#include <string>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/report_pdf.h"

namespace hg::cli {

namespace {

const std::string kNeedsFullBuild =
    "drawing needs the full build of harmograph (with Qt); this one converts, lists and reports "
    "as CSV or JSON";

}  // namespace

int plot(int, char**) {
    return fail(kNeedsFullBuild);
}

int print(int, char**) {
    return fail(kNeedsFullBuild);
}

int spectrum(int, char**) {
    return fail(kNeedsFullBuild);
}

bool reportPdfAvailable() {
    return false;
}

std::string reportPdfUnavailable() {
    return "a PDF report: " + kNeedsFullBuild;
}

Status writeReportPdf(const std::string&, const ComplianceReport&) {
    return Error{reportPdfUnavailable()};
}

}  // namespace hg::cli
