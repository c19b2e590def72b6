// PDF documents drawn into memory and written through the staged outputs, where every write,
// the close and the rename are checked: a failure is reported and an earlier file of that name
// stays as it was. (QPdfWriter on a file of its own, or through QSaveFile, cannot report a write
// that fails while the document is finished.)
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
#include <QPrinter>
#include <memory>
#include <string>

#include "platform/output.h"
#include "platform/result.h"

namespace hg {

// A PDF document in memory.
class PdfInMemory {
  public:
    PdfInMemory();
    PdfInMemory(const PdfInMemory&) = delete;
    PdfInMemory& operator=(const PdfInMemory&) = delete;
    ~PdfInMemory();

    QPdfWriter& writer() { return *writer_; }
    // Writes the finished document (its painter ended) to `target`.
    Status save(const std::string& target, OutputLayer& layer = diskOutput());

  private:
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
};

// The device a printed sheet is drawn on: the printer itself, or, when the printer is set to write
// a PDF file, a PDF in memory with the printer's page set-up and resolution, written to that file
// once the sheet is finished.
class SheetOutput {
  public:
    explicit SheetOutput(QPrinter& printer);
    QPagedPaintDevice& device();
    // After the sheet's painter ended: the PDF file written (nothing to do for a printer).
    Status commit(OutputLayer& layer = diskOutput());

  private:
    QPrinter& printer_;
    std::unique_ptr<PdfInMemory> pdf_;
};

}  // namespace hg
