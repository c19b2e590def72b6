// The print service where there is no CUPS (a Windows desktop, or a build with HARMO_CUPS=OFF):
// Qt's own printing. The printers are those Qt lists; a job is the sheet's PDF drawn page by page
// onto a QPrinter whose document name is the job's, so the queue shows the same job names; a
// failure is reported with what Qt tells (it gives no job number).
#pragma once

#include "platform/qt/print_service.h"

class QPrinter;

namespace hg {

class QtPrintService : public PrintService {
  public:
    PrinterList printers() override;
    SubmitResult submit(const PrintJob& job) override;

  protected:
    // Points the printer at the queue named `name`. Tests print into a PDF file instead.
    virtual void direct(QPrinter& printer, const QString& name);
};

}  // namespace hg
