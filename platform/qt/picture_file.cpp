#include "platform/qt/picture_file.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <QSvgGenerator>
#include <cctype>

#include "platform/qt/paint_in_halves.h"
#include "platform/qt/print_document.h"
#include "platform/qt/qpainter_canvas.h"

namespace hg {

namespace {

bool endsWith(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = text[text.size() - suffix.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) return false;
    }
    return true;
}

// Paints on the device; false when painting failed. `drawn` tells whether `draw` drew anything.
bool paint(QPaintDevice& device, int width, int height, const std::function<bool(Canvas&)>& draw,
           bool& drawn) {
    QPainterCanvas canvas(device);
    if (!canvas.isActive()) return false;
    canvas.setScale(width, height);
    drawn = draw(canvas);
    return canvas.finish();
}

// A font family as an SVG renderer reads it: the family, the font drawn in its place here, then
// the generic family, so a renderer without the named fonts still draws the Japanese texts.
QString familyWithFallbacks(const QString& family) {
    QStringList names;
    if (family != QStringLiteral("Sans Serif")) {
        names << family;
        names << QFont::substitutes(family);
    }
    QStringList quoted;
    for (const QString& name : names) quoted << QLatin1Char('\'') + name + QLatin1Char('\'');
    quoted << QStringLiteral("sans-serif");
    return quoted.join(QStringLiteral(", "));
}

QByteArray withFallbackFonts(const QByteArray& svg) {
    static const QRegularExpression attribute(QStringLiteral("font-family=\"([^\"]*)\""));
    const QString text = QString::fromUtf8(svg);
    QString out;
    qsizetype done = 0;
    for (auto it = attribute.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).sliced(done, m.capturedStart() - done);
        out += QStringLiteral("font-family=\"") + familyWithFallbacks(m.captured(1)) +
               QLatin1Char('"');
        done = m.capturedEnd();
    }
    out += QStringView(text).sliced(done);
    return out.toUtf8();
}

}  // namespace

std::optional<PictureForm> pictureFormOf(const std::string& path) {
    if (endsWith(path, ".png")) return PictureForm::Png;
    if (endsWith(path, ".svg")) return PictureForm::Svg;
    if (endsWith(path, ".pdf")) return PictureForm::Pdf;
    return std::nullopt;
}

namespace {

PictureOutcome writeAnyPicture(const QString& path, PictureForm form, int width, int height,
                               const QString& title,
                               const std::function<bool(Canvas&, bool first)>& draw, bool halves,
                               OutputLayer& layer) {
    // Drawn into memory and written whole through the checked outputs: a failed write is
    // reported and an existing file stays as it was.
    const auto whole = [&](Canvas& canvas) { return draw(canvas, true); };
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {PictureResult::NotWritten, "描画用のメモリーを用意できません"};
    bool drawn = false;
    bool painted = false;
    if (form == PictureForm::Pdf) {
        PrintDocument document(QSize(width, height), title);
        if (document.isActive()) {
            document.canvas().setScale(width, height);
            drawn = draw(document.canvas(), true);
            painted = document.finish();
        }
        bytes = document.pdf();
    } else if (form == PictureForm::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setResolution(96);
        svg.setTitle(title);
        painted = paint(svg, width, height, whole, drawn);
        buffer.close();
        if (painted) bytes = withFallbackFonts(bytes);
    } else {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (halves && !image.isNull()) {
            paintInHalves(image, RoundLines::PenPixels, [&](QPainterCanvas& canvas, bool first) {
                canvas.setScale(width, height);
                const bool drew = draw(canvas, first);
                if (first) drawn = drew;
            });
            painted = true;
        } else {
            painted = paint(image, width, height, whole, drawn);
        }
        if (painted && drawn) painted = image.save(&buffer, "PNG");
    }
    if (!painted) return {PictureResult::NotWritten, "この大きさと形式の画像を作れませんでした"};
    if (!drawn) return {PictureResult::NotDrawn, {}};
    const Status written = writeWholeFile(
        QFile::encodeName(path).toStdString(),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), layer);
    if (!written) return {PictureResult::NotWritten, written.error()};
    return {PictureResult::Written, {}};
}

}  // namespace

PictureOutcome writePicture(const QString& path, PictureForm form, int width, int height,
                            const QString& title, const std::function<bool(Canvas&)>& draw,
                            OutputLayer& layer) {
    return writeAnyPicture(
        path, form, width, height, title, [&](Canvas& canvas, bool) { return draw(canvas); }, false,
        layer);
}

PictureOutcome writePicture(const QString& path, PictureForm form, int width, int height,
                            const QString& title,
                            const std::function<bool(Canvas&, bool first)>& draw,
                            OutputLayer& layer) {
    return writeAnyPicture(path, form, width, height, title, draw, true, layer);
}

}  // namespace hg
