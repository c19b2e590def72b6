// Qt's own printing, the print service where there is no CUPS: a job is the sheet drawn on a
// QPrinter under the job's name on the job's paper (here a printer writing a PDF file, read
// back), a job Qt took counts as completed, and what Qt reports of a failure is the job's reason.
#include <QPainter>
#include <QPdfDocument>
#include <QPrinter>
#include <QProcess>

#include "gui_support.h"
#include "platform/qt/print_document.h"
#include "platform/qt/qt_print_service.h"

namespace hg {
namespace {

// Qt's printing with every job written into one PDF file instead of a queue.
class PrintToFile : public QtPrintService {
  public:
    explicit PrintToFile(QString file) : file_(std::move(file)) {}

  protected:
    void direct(QPrinter& printer, const QString&) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file_);
    }

  private:
    QString file_;
};

// A landscape sheet, its left half black.
QByteArray halfBlackSheet(const QString& title) {
    PrintDocument sheet(PageSetup{Paper::A4, true}, title);
    QPainter& painter = sheet.canvas().painter();
    const QRect page = painter.viewport();
    painter.fillRect(QRect(page.topLeft(), QSize(page.width() / 2, page.height())), Qt::black);
    return sheet.finish() ? sheet.pdf() : QByteArray();
}

}  // namespace

class TestQtPrintService : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"qtprint"_s);

  private slots:
    void jobIsTheSheetUnderItsName() {
        const QString title = u"harmograph – sample.ha4 電圧歪率"_s;
        const QString file = dir_->filePath(u"job.pdf"_s);
        PrintToFile service(file);
        const SubmitResult r =
            service.submit({u"q0"_s, title, halfBlackSheet(title), PageSetup{Paper::A4, true}});
        QVERIFY2(r.accepted, qPrintable(r.reason));
        QCOMPARE(service.jobStatus(u"q0"_s, r.jobId).state, JobState::Completed);
        QProcess info;
        info.start(u"pdfinfo"_s, {file});
        QVERIFY(info.waitForFinished(60000));
        const QString facts = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(facts.contains(QRegularExpression(u"Title: +"_s + title + u"\n"_s)),
                 qPrintable(facts));
        QVERIFY2(facts.contains(QRegularExpression(u"Pages: +1\n"_s)), qPrintable(facts));
        // The page as printed: landscape A4, the left half black and the right white.
        QPdfDocument printed;
        QCOMPARE(printed.load(file), QPdfDocument::Error::None);
        const QSizeF points = printed.pagePointSize(0);
        QVERIFY(qAbs(points.width() - 841.9) < 1 && qAbs(points.height() - 595.3) < 1);
        const QImage page = printed.render(0, (points / 4).toSize());
        const int y = page.height() / 2;
        QCOMPARE(page.pixelColor(page.width() / 4, y).lightness(), 0);
        QCOMPARE(page.pixelColor(page.width() * 3 / 4, y).lightness(), 255);
        // The job's paper is the printer's: an A3 job comes out on A3.
        QVERIFY(service.submit({u"q0"_s, title, halfBlackSheet(title), PageSetup{Paper::A3, false}})
                    .accepted);
        QCOMPARE(printed.load(file), QPdfDocument::Error::None);
        QVERIFY(qAbs(printed.pagePointSize(0).width() - 841.9) < 1);
        QVERIFY(qAbs(printed.pagePointSize(0).height() - 1190.6) < 1);
    }

    void failuresGiveQtsReason() {
        PrintToFile service(dir_->filePath(u"never.pdf"_s));
        const SubmitResult notPdf =
            service.submit({u"q0"_s, u"x"_s, QByteArray("not a sheet"), {}});
        QVERIFY(!notPdf.accepted && notPdf.reason.startsWith(u"印刷する用紙を読めません"_s));
        PrintToFile nowhere(u"/nonexistent-folder/x/job.pdf"_s);
        const SubmitResult r = nowhere.submit({u"q0"_s, u"x"_s, halfBlackSheet(u"x"_s), {}});
        QVERIFY(!r.accepted && r.reason.startsWith(u"Qt が印刷を"_s));
        QVERIFY(!QFile::exists(dir_->filePath(u"never.pdf"_s)));
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestQtPrintService)
#include "test_qt_print_service.moc"
