#include "platform/qt/sheet_document.h"

namespace hg {

namespace {
constexpr int kSheetDpi = 600;
}

QPageLayout sheetPageLayout(bool landscape, const QPageSize& size) {
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

SheetDocument::SheetDocument(const QPageLayout& layout, const QString& title)
    : title_(title), buffer_(&bytes_) {
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
    begin(layout);
}

SheetDocument::~SheetDocument() = default;

void SheetDocument::begin(const QPageLayout& layout) {
    writer_->setCreator(QStringLiteral("harmograph"));
    writer_->setTitle(title_);
    writer_->setResolution(kSheetDpi);
    writer_->setPageLayout(layout);
    canvas_ = std::make_unique<QPainterCanvas>(*writer_);
}

bool SheetDocument::finish() {
    return canvas_->finish();
}

}  // namespace hg
