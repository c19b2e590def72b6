#include "platform/qt/print_preview.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace hg {

namespace {

// The pages of the document as pictures on white paper, one under the other.
QWidget* pageColumn(const QByteArray& pdf, int dpi, int& count, QWidget* parent) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    QByteArray bytes = pdf;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&source);
    count = document.status() == QPdfDocument::Status::Ready ? document.pageCount() : 0;
    for (int n = 0; n < count; ++n) {
        const QSize size = (document.pagePointSize(n) * dpi / 72.0).toSize();
        QImage page(size, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter(&page).drawImage(0, 0, document.render(n, size));
        auto* label = new QLabel(column);
        label->setPixmap(QPixmap::fromImage(page));
        label->setFrameShape(QFrame::Box);
        layout->addWidget(label, 0, Qt::AlignHCenter);
    }
    return column;
}

}  // namespace

PrintPreview::PrintPreview(const QByteArray& pdf, const QString& title, QWidget* parent, int dpi)
    : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("印刷プレビュー – %1").arg(title));
    Pages = new QScrollArea(this);
    Pages->setWidget(pageColumn(pdf, dpi, pages_, Pages));
    Pages->setBackgroundRole(QPalette::Dark);
    Print = new QPushButton(QStringLiteral("印刷"), this);
    Close = new QPushButton(QStringLiteral("閉じる"), this);
    Print->setEnabled(pages_ > 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Print);
    buttons->addWidget(Close);
    auto* all = new QVBoxLayout(this);
    all->addWidget(Pages, 1);
    all->addLayout(buttons);
    resize(900, 700);
    connect(Print, &QPushButton::clicked, this, [this] {
        emit printRequested();
        close();
    });
    connect(Close, &QPushButton::clicked, this, &QDialog::close);
}

}  // namespace hg
