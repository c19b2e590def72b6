#include "platform/qt/pdf_sheet.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>

#include "platform/qt/qpainter_canvas.h"

namespace hg {

Status writePdfSheet(const std::string& path, bool landscape,
                     const std::function<void(Canvas&)>& draw) {
    QSaveFile save(QString::fromStdString(path));
    if (!save.open(QIODevice::WriteOnly)) return Error{"cannot create a file beside " + path};
    bool ok = false;
    {
        QPdfWriter writer(&save);
        writer.setCreator(QStringLiteral("harmograph"));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainterCanvas canvas(writer);
        if (canvas.isActive()) {
            draw(canvas);
            ok = canvas.finish();
        }
    }
    if (!ok) save.cancelWriting();
    if (!ok || !save.commit())
        return Error{"cannot write " + path + " (disk full or no permission?)"};
    return success();
}

}  // namespace hg
