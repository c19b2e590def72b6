// The one way out of every printed sheet and picture PDF: a document whose pages are drawn
// through the canvas into memory as PDF, then either written whole to a file through the checked
// outputs (a failed write is reported and an earlier file of that name stays as it was) or
// handed as one job to a printer, or shown page by page in the preview. The same bytes go to
// each, so the preview and the file show what the printer gets. Needs a QGuiApplication.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/output.h"
#include "platform/paper.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/result.h"

namespace hg {

// Qt's page size of a paper, and the paper of a Qt page size number (as remembered), if any.
QPageSize pageSizeOf(Paper paper);
std::optional<Paper> paperOfPageSizeId(int id);

// The page of every printed sheet: the paper in its orientation with 10 mm margins on each side.
QPageLayout sheetPageLayout(const PageSetup& page);

class PrintDocument {
  public:
    // A sheet: pages of the set-up's paper at 600 dots per inch, the canvas's letters and lines
    // sized for that paper.
    PrintDocument(const PageSetup& page, const QString& title);
    // A picture: one page of `pixels` at 96 dots per inch, without margins.
    PrintDocument(QSize pixels, const QString& title);
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;
    ~PrintDocument();

    // False when drawing could not begin.
    bool isActive() const { return canvas_->isActive(); }
    QPainterCanvas& canvas() { return *canvas_; }
    // Renames the document before it is finished (a thirds sheet is named for all its thirds).
    void setTitle(const QString& title);
    // Starts the next page; false when the device refused.
    bool newPage();
    // Ends the last page and the document; false when the device reported a failure.
    bool finish();
    bool finished() const { return finished_; }

    // The finished document.
    const QByteArray& pdf() const { return bytes_; }
    const QString& title() const { return title_; }
    const PageSetup& page() const { return page_; }
    // Writes the finished document whole to `path`.
    Status save(const std::string& path, OutputLayer& layer = diskOutput()) const;

  private:
    QString title_;
    PageSetup page_;
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainterCanvas> canvas_;
    bool finished_ = false;
};

// A sheet document of `pages` pages, `draw` called for each (1-based) on a fresh page, finished;
// nothing when it could not be drawn.
std::unique_ptr<PrintDocument> drawSheetDocument(const PageSetup& page, const QString& title,
                                                 int pages,
                                                 const std::function<void(Canvas&, int)>& draw);

// Draws a sheet document and writes it to `path`.
Status writeSheetPdf(const std::string& path, const PageSetup& page, const QString& title,
                     int pages, const std::function<void(Canvas&, int)>& draw,
                     OutputLayer& layer = diskOutput());

}  // namespace hg
