#include "platform/qt/print_document.h"

#include <string_view>

namespace hg {

namespace {

constexpr int kSheetDpi = 600;
constexpr int kPictureDpi = 96;

}  // namespace

QPageSize pageSizeOf(Paper paper) {
    switch (paper) {
        case Paper::A4:
            return QPageSize(QPageSize::A4);
        case Paper::A3:
            return QPageSize(QPageSize::A3);
        case Paper::B4:
            return QPageSize(QPageSize::JisB4);
        case Paper::B5:
            return QPageSize(QPageSize::JisB5);
        case Paper::Letter:
            return QPageSize(QPageSize::Letter);
    }
    return QPageSize(QPageSize::A4);
}

std::optional<Paper> paperOfPageSizeId(int id) {
    for (const PaperInfo& p : paperList())
        if (pageSizeOf(p.paper).id() == id) return p.paper;
    // The page set-up of earlier versions offered the ISO B sizes under the same names.
    if (id == QPageSize::B4) return Paper::B4;
    if (id == QPageSize::B5) return Paper::B5;
    return std::nullopt;
}

QPageLayout sheetPageLayout(const PageSetup& page) {
    return QPageLayout(pageSizeOf(page.paper),
                       page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

PrintDocument::PrintDocument(const PageSetup& page, const QString& title)
    : title_(title), page_(page), buffer_(&bytes_) {
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
    writer_->setCreator(QStringLiteral("harmograph"));
    writer_->setTitle(title_);
    writer_->setResolution(kSheetDpi);
    writer_->setPageLayout(sheetPageLayout(page));
    canvas_ = std::make_unique<QPainterCanvas>(*writer_);
}

PrintDocument::PrintDocument(QSize pixels, const QString& title) : title_(title), buffer_(&bytes_) {
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
    writer_->setResolution(kPictureDpi);
    const double points = 72.0 / kPictureDpi;
    writer_->setPageSize(QPageSize(QSizeF(pixels.width() * points, pixels.height() * points),
                                   QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer_->setTitle(title_);
    writer_->setCreator(QStringLiteral("harmograph"));
    page_.landscape = pixels.width() > pixels.height();
    canvas_ = std::make_unique<QPainterCanvas>(*writer_);
}

PrintDocument::~PrintDocument() = default;

void PrintDocument::setTitle(const QString& title) {
    title_ = title;
    writer_->setTitle(title);
}

bool PrintDocument::newPage() {
    return writer_->newPage();
}

bool PrintDocument::finish() {
    finished_ = canvas_->finish() && !bytes_.isEmpty();
    return finished_;
}

Status PrintDocument::save(const std::string& path, OutputLayer& layer) const {
    if (!finished_ || bytes_.isEmpty()) return Error{"PDFを作成できませんでした: " + path};
    return writeWholeFile(
        path, std::string_view(bytes_.constData(), static_cast<std::size_t>(bytes_.size())), layer);
}

std::unique_ptr<PrintDocument> drawSheetDocument(const PageSetup& page, const QString& title,
                                                 int pages,
                                                 const std::function<void(Canvas&, int)>& draw) {
    auto document = std::make_unique<PrintDocument>(page, title);
    bool ok = document->isActive();
    for (int n = 1; n <= pages && ok; ++n) {
        if (n > 1) ok = document->newPage();
        if (ok) draw(document->canvas(), n);
    }
    ok = document->finish() && ok;
    if (!ok) return nullptr;
    return document;
}

Status writeSheetPdf(const std::string& path, const PageSetup& page, const QString& title,
                     int pages, const std::function<void(Canvas&, int)>& draw, OutputLayer& layer) {
    const auto document = drawSheetDocument(page, title, pages, draw);
    if (!document) return Error{"cannot draw the sheet for " + path};
    if (auto written = document->save(path, layer); !written)
        return Error{"cannot write " + path + ": " + written.error()};
    return success();
}

}  // namespace hg
