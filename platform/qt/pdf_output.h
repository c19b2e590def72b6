// PDF documents drawn into memory and written through the staged outputs, where every write,
// the close and the rename are checked: a failure is reported and an earlier file of that name
// stays as it was. (QPdfWriter on a file of its own, or through QSaveFile, cannot report a write
// that fails while the document is finished.)
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
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

}  // namespace hg
