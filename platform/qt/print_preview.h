// The print preview: the pages of a document as they will be sent (the document's own PDF,
// rendered page under page) in a scrolling window, with 印刷 (sends that document) and 閉じる.
// Opened without blocking its window; it deletes itself when closed.
#pragma once

#include <QByteArray>
#include <QDialog>

class QPushButton;
class QScrollArea;

namespace hg {

class PrintPreview : public QDialog {
    Q_OBJECT

  public:
    // Shows the pages of `pdf` at `dpi`; nothing shown (and false from pageCount) when the
    // document cannot be read.
    PrintPreview(const QByteArray& pdf, const QString& title, QWidget* parent, int dpi = 72);
    int pageCount() const { return pages_; }

    QScrollArea* Pages = nullptr;
    QPushButton* Print = nullptr;  // "印刷"
    QPushButton* Close = nullptr;  // "閉じる"

  signals:
    void printRequested();

  private:
    int pages_ = 0;
};

}  // namespace hg
