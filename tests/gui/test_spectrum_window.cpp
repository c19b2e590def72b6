// The spectrum window opened from a graph window's 表示 menu (by the app controller): it follows
// that window's cursor and channel, tells a bar's value under the pointer, zooms and scrolls the
// orders of a 256-order recording, copies its charts, saves them as PDF or CSV, and prints and
// previews them through its printer row without waiting on the print server; shows the 95th
// percentile or maximum of the range the graph window shows, with its limit set's marks.
#include <QClipboard>
#include <QMainWindow>
#include <QMdiArea>
#include <QWheelEvent>

#include "fake_print_service.h"
#include "gui_support.h"
#include "platform/csv_text.h"
#include "platform/qt/print_preview.h"
#include "platform/qt/printer_chooser.h"
#include "platform/qt/qt_text.h"
#include "ui/graph_window.h"
#include "ui/spectrum_window.h"

using namespace std::chrono_literals;

namespace hg {

class TestSpectrumWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"form6"_s);
    test::MdiFrame mdi_;
    QMdiArea* area_ = nullptr;

    SpectrumWindow* openFrom(GraphWindow*& graph, const QString& name) {
        auto state = std::make_shared<HARMDIM>();
        if (!test::loadSample(*state, dir_->path(), name, 48)) return nullptr;
        graph = mdi_.app->openGraphWindow(state);
        test::choose(graph->Combo1, u"電    流(A)"_s);
        test::choose(graph->Combo2, u"１～９次"_s);
        graph->MeSpec->trigger();
        return qobject_cast<SpectrumWindow*>(area_->activeSubWindow()->widget());
    }

  private slots:
    void initTestCase() { test::userLimitSets(dir_->path()); }
    void init() {
        QVERIFY(mdi_.open());
        area_ = mdi_.area;
    }
    void cleanup() { mdi_.close(); }

    void followsTheCursorAndChannel() {
        GraphWindow* graph = nullptr;
        SpectrumWindow* spectrum = openFrom(graph, u"f.hm2"_s);
        QVERIFY(spectrum);
        QCOMPARE(area_->activeSubWindow()->windowTitle(), u"スペクトル"_s);
        QCOMPARE(spectrum->spectrum().record, 0);
        graph->MeCursor->trigger();
        QTest::keyClick(graph->Picture1, Qt::Key_End);
        QCOMPARE(spectrum->spectrum().record, 47);
        QTest::keyClick(graph->Picture1, Qt::Key_Left);
        QCOMPARE(spectrum->spectrum().record, 46);
        // The channel is followed whatever the item, one without channels too.
        test::choose(graph->Combo1, u"電圧歪率(%)"_s);
        test::clickCheckBox(graph->Option1[1]);
        QCOMPARE(spectrum->spectrum().channel, 1);
        const Spectrum expected = spectrumAt(graph->view().analysis(), 46, 1);
        QCOMPARE(spectrum->spectrum().orders.size(), expected.orders.size());
        QCOMPARE(spectrum->spectrum().orders[3].current, expected.orders[3].current);

        // Hovering a bar tells its value; the clipboard takes the charts.
        area_->setActiveSubWindow(spectrum->subWindow());  // over the graph window again
        QVERIFY(!spectrum->drawing().bars.empty());
        const SpectrumBar bar = spectrum->drawing().bars[2];
        const QPoint centre(static_cast<int>((bar.left + bar.right) / 2),
                            static_cast<int>(bar.bottom) - 1);
        QTest::mouseMove(spectrum->Picture1, centre);
        QCOMPARE(spectrum->Label1->text(), toQString(barText(bar)));
        QTest::mouseClick(spectrum->Command1, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->image(), spectrum->Picture1->image());

        const QString pdf = dir_->filePath(u"s.pdf"_s);
        spectrum->askPdfFileName = [&] { return pdf; };
        QTest::mouseClick(spectrum->Command3, Qt::LeftButton);
        QVERIFY(test::readBytes(pdf).startsWith("%PDF"));
        graph->subWindow()->close();
        QCoreApplication::processEvents();
        QVERIFY(!area_->findChild<SpectrumWindow*>());  // the spectrum goes with its graph window
    }

    // 95%値 and 最大値 take the graph window's range and keep still while the cursor moves; its
    // limit set marks the bars; CSV保存 writes the spectrum shown.
    void statisticsOfTheRangeAndLimits() {
        GraphWindow* graph = nullptr;
        SpectrumWindow* spectrum = openFrom(graph, u"p.hm2"_s);
        QVERIFY(spectrum);
        const HARMDIM& state = graph->view().analysis();
        graph->zoomTo({60, 300});
        test::choose(spectrum->Combo1, u"最大値"_s);
        const RecordSpan shown = recordsIn(state, *graph->view().range());
        const Spectrum expected = spectrumOver(state, shown, 0, SpectrumStatistic::Max);
        QCOMPARE(spectrum->spectrum().when, expected.when);
        QCOMPARE(spectrum->spectrum().orders[1].distortion, expected.orders[1].distortion);
        graph->MeCursor->trigger();
        graph->moveCursorTo(shown.first + 2);
        QCOMPARE(spectrum->spectrum().when, expected.when);
        graph->chooseLimitSet(u"t-volt"_s);
        QCOMPARE(spectrum->spectrum().orders[1].distortionLimit, std::optional<double>(0.2));

        const QString csv = dir_->filePath(u"s.csv"_s);
        spectrum->askCsvFileName = [&] {
            return std::optional(CsvTarget{csv, TextEncoding::Utf8});
        };
        QTest::mouseClick(spectrum->Command5, Qt::LeftButton);
        QCOMPARE(test::readBytes(csv),
                 QByteArray::fromStdString(*spectrumCsv(expected).fileBytes(TextEncoding::Utf8)));
        test::choose(spectrum->Combo1, u"瞬時"_s);
        QCOMPARE(spectrum->spectrum().record, shown.first + 2);
    }

    // 256 orders: all shown at first; the wheel zooms in around the pointer, the bar scrolls.
    void ordersZoomAndScroll() {
        GraphWindow* graph = nullptr;
        SpectrumWindow* spectrum = openFrom(graph, u"h.hh1"_s);
        QVERIFY(spectrum);
        const int last = static_cast<int>(spectrum->spectrum().orders.size()) - 1;
        QVERIFY(last > 200);
        QCOMPARE(spectrum->drawing().shown.last - spectrum->drawing().shown.first + 1, last);
        QVERIFY(!spectrum->HScroll1->isEnabled());
        const QPoint middle = spectrum->Picture1->rect().center();
        for (int i = 0; i < 8; ++i) {
            QWheelEvent e(QPointF(middle), QPointF(spectrum->Picture1->mapToGlobal(middle)),
                          QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
            QApplication::sendEvent(spectrum->Picture1, &e);
        }
        const SpectrumShown zoomed = spectrum->drawing().shown;
        const int count = zoomed.last - zoomed.first + 1;
        QVERIFY(count < last / 4 && zoomed.first > 1);
        QVERIFY(spectrum->HScroll1->isEnabled());
        spectrum->HScroll1->setValue(spectrum->HScroll1->maximum());
        QCOMPARE(spectrum->drawing().shown.last, last);
        QCOMPARE(spectrum->drawing().shown.last - spectrum->drawing().shown.first + 1, count);
    }

    // 印刷 sends the charts as an A4 landscape sheet through the printer row, off the window
    // thread: with a server that takes the job and never answers the click returns at once and
    // 中止 gives the job up (cancelled once the server answers). The preview shows that sheet,
    // and its 印刷 sends it.
    void printsThroughThePrinterRowWithoutWaiting() {
        GraphWindow* graph = nullptr;
        SpectrumWindow* spectrum = openFrom(graph, u"f.hm2"_s);
        QVERIFY(spectrum);
        auto service = std::make_shared<test::FakePrintService>();
        service->answer = test::FakePrintService::Answer::Hang;
        spectrum->Printer->setService(service, 5000ms);
        spectrum->Printer->refresh();
        QTRY_VERIFY(!spectrum->Printer->isFetching());
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(spectrum->Command2, Qt::LeftButton);
        qInfo("スペクトル 印刷 returned after %lld ms with the server hung", clock.elapsed());
        QTRY_COMPARE(service->waiting(), 1);
        QVERIFY(spectrum->Printer->isBusy() && !spectrum->Command2->isEnabled());
        QTest::mouseClick(spectrum->Printer->Abort, Qt::LeftButton);
        QVERIFY(!spectrum->Printer->isBusy() && spectrum->Command2->isEnabled());
        service->release();
        QTRY_COMPARE(service->cancelled(), std::vector<int>{1});
        const PrintJob job = service->jobs().at(0);
        QCOMPARE(job.title, u"harmograph – f.hm2 スペクトル"_s);
        QCOMPARE(job.page, (PageSetup{Paper::A4, true}));

        service->answer = test::FakePrintService::Answer::Accept;
        QTest::mouseClick(spectrum->Command4, Qt::LeftButton);
        auto* preview = spectrum->window()->findChild<PrintPreview*>();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->pageCount(), 1);
        QTest::mouseClick(preview->Print, Qt::LeftButton);
        QTRY_COMPARE(service->printed(), std::size_t{1});
        QCOMPARE(service->jobs().at(1).page, job.page);
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestSpectrumWindow)
#include "test_spectrum_window.moc"
