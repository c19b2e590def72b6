// One printed sheet as a PDF document drawn into memory, for the system's print service or to be
// written whole into a PDF file, with the same page geometry either way (10 mm margins) and the
// job's title.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <memory>

#include "platform/qt/qpainter_canvas.h"

namespace hg {

// The page of every printed sheet, on paper and in PDF files: 10 mm margins on each side.
QPageLayout sheetPageLayout(bool landscape, const QPageSize& size = QPageSize(QPageSize::A4));

class SheetDocument {
  public:
    // A sheet drawn into memory; pdf() holds the document once finished.
    SheetDocument(const QPageLayout& layout, const QString& title);
    ~SheetDocument();

    // False when drawing could not begin (a PDF file that cannot be created).
    bool isActive() const { return canvas_->isActive(); }
    QPainterCanvas& canvas() { return *canvas_; }
    // Ends the page and the document; false when the device reported a failure.
    bool finish();
    const QByteArray& pdf() const { return bytes_; }
    const QString& title() const { return title_; }

  private:
    void begin(const QPageLayout& layout);

    QString title_;
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainterCanvas> canvas_;
};

}  // namespace hg
