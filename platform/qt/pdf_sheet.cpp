#include "platform/qt/pdf_sheet.h"

#include "platform/qt/pdf_output.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/sheet_document.h"

namespace hg {

Status writePdfSheet(const std::string& path, bool landscape, const QString& title,
                     const std::function<void(Canvas&)>& draw, OutputLayer& layer) {
    return writePdfPages(
        path, landscape, title, 1, [&](Canvas& canvas, int) { draw(canvas); }, layer);
}

Status writePdfPages(const std::string& path, bool landscape, const QString& title, int pages,
                     const std::function<void(Canvas&, int)>& draw, OutputLayer& layer) {
    PdfInMemory pdf;
    QPdfWriter& writer = pdf.writer();
    writer.setCreator(QStringLiteral("harmograph"));
    writer.setTitle(title);
    writer.setResolution(600);
    writer.setPageLayout(sheetPageLayout(landscape));
    bool ok = false;
    {
        QPainterCanvas canvas(writer);
        if (canvas.isActive()) {
            ok = true;
            for (int page = 1; page <= pages && ok; ++page) {
                if (page > 1) ok = writer.newPage();
                if (ok) draw(canvas, page);
            }
            ok = canvas.finish() && ok;
        }
    }
    if (!ok) return Error{"cannot draw the sheet for " + path};
    if (auto written = pdf.save(path, layer); !written)
        return Error{"cannot write " + path + ": " + written.error()};
    return success();
}

}  // namespace hg
