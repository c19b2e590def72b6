#include "platform/qt/pdf_output.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <string_view>

namespace hg {

PdfInMemory::PdfInMemory() : buffer_(&bytes_) {
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
}

PdfInMemory::~PdfInMemory() = default;

Status PdfInMemory::save(const std::string& target, OutputLayer& layer) {
    writer_.reset();  // the document is complete once its painter ended
    buffer_.close();
    if (bytes_.isEmpty()) return Error{"PDFを作成できませんでした: " + target};
    return writeWholeFile(
        target, std::string_view(bytes_.constData(), static_cast<std::size_t>(bytes_.size())),
        layer);
}

SheetOutput::SheetOutput(QPrinter& printer) : printer_(printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat) return;
    // A folder that cannot take the file: the printer's own start fails and says so at once,
    // before anything is drawn.
    const QString folder = QFileInfo(printer.outputFileName()).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) return;
    pdf_ = std::make_unique<PdfInMemory>();
    QPdfWriter& writer = pdf_->writer();
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setCreator(QStringLiteral("harmograph"));
}

QPagedPaintDevice& SheetOutput::device() {
    if (pdf_) return pdf_->writer();
    return printer_;
}

Status SheetOutput::commit(OutputLayer& layer) {
    if (!pdf_) return success();
    return pdf_->save(QFile::encodeName(printer_.outputFileName()).toStdString(), layer);
}

}  // namespace hg
