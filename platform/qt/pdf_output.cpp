#include "platform/qt/pdf_output.h"

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

}  // namespace hg
