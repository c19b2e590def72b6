// The print service where there is no CUPS (a Windows desktop, or a build with HARMO_CUPS=OFF):
// Qt's own printing. The printers are those Qt lists; a job is the sheet's PDF drawn page by page
// onto a QPrinter whose document name is the job's, on the job's paper (Qt's page size) and
// orientation, so the queue shows the same job names; a failure is reported with what Qt tells.
// Qt gives no job number and no job state: a job Qt took counts as completed, and cannot be
// cancelled afterwards.
#pragma once

#include "platform/qt/print_service.h"

class QPrinter;

namespace hg {

class QtPrintService : public PrintService {
  public:
    PrinterList printers() override;
    SubmitResult submit(const PrintJob& job) override;
    JobStatus jobStatus(const QString& printer, int jobId) override;
    bool cancel(const QString& printer, int jobId) override;

  protected:
    // Points the printer at the queue named `name`. Tests print into a PDF file instead.
    virtual void direct(QPrinter& printer, const QString& name);
};

}  // namespace hg
