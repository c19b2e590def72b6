// The file-selection window: start-up folder, the file list, the scan on a click, the period
// boxes and step buttons, the mode options, Execute in both modes and its failures.
#include <QFileSystemModel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "gui_support.h"
#include "ui/app_controller.h"
#include "ui/csv_orders_dialog.h"
#include "ui/file_selection_window.h"
#include "ui/graph_window.h"
#include "ui/main_frame.h"
#include "ui/start_folder.h"

namespace hg {

using test::clickCheckBox;
using test::Messages;
using test::row;

class TestFileSelectionWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder_;
    std::unique_ptr<AppController> app_;
    FileSelectionWindow* form_ = nullptr;

    // The windows started on `argument`, the scratch folder's "x.hm3" unless given.
    void start(const QString& argument = {}) {
        app_ = test::newApp();
        form_ = &app_->fileSelection();
        app_->start(argument.isEmpty() ? path("x.hm3") : argument, folder_);
        QVERIFY(QTest::qWaitForWindowExposed(&app_->frame()));
    }
    GraphWindow* graphWindow() const { return app_->graphWindow(); }
    CsvOrdersDialog* csvDialog() const { return &app_->csvDialog(); }

    QString path(const QString& name) const { return folder_ + QLatin1Char('/') + name; }

    // A real click on a file of the list: the scan runs inside the click.
    void click(const QString& name, bool doubleClick = false) {
        QVERIFY2(test::clickEntry(form_->File1, name, doubleClick), qPrintable(name));
    }
    void execute() { QTest::mouseClick(form_->Command1, Qt::LeftButton); }
    // The four period boxes: start date and time, end date and time.
    QStringList period() const {
        return {form_->Text1->text(), form_->Text2->text(), form_->Text3->text(),
                form_->Text4->text()};
    }
    void setPeriod(const QStringList& texts) {
        int i = 0;
        for (QLineEdit* box : {form_->Text1, form_->Text2, form_->Text3, form_->Text4})
            box->setText(texts[i++]);
    }
    void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    // Conversion mode on the file scanned: Execute, `choose` applied to the dialog, then OK.
    void convert(const std::function<void(CsvOrdersDialog&)>& choose) {
        clickCheckBox(form_->Option1[1]);
        execute();
        CsvOrdersDialog* dialog = csvDialog();
        QVERIFY(dialog->isVisible());
        choose(*dialog);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    }

    // The window is back in its idle state.
    void verifyIdle() {
        QVERIFY(!form_->isBusy() && form_->Label10->isHidden() && form_->ProgressBar1->isHidden());
        QVERIFY(!form_->Option1[0]->isHidden() && !form_->Option1[1]->isHidden());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

  private slots:
    void initTestCase() {
        dir_ = test::scratchFolder(u"form1"_s);
        QVERIFY(dir_->isValid());
        folder_ = QDir(dir_->path()).canonicalPath();
        test::writeSample(folder_, u"site.hm3"_s);
        test::writeSample(folder_, u"bus.hv2"_s, 100, 10, 600);
        test::writeSample(folder_, u"feeder.hh2"_s, 12, 10, 600);
        test::writeSample(folder_, u"upper.HA4"_s, 10, 5, 0);
        test::writeSample(folder_, u"long.ha3"_s, 33000, 1, 0);  // 22.9 days
        test::writeBytes(path("notes.txt"), "not a recording");
        test::writeBytes(path("short.hm3"), QByteArray(100, '\0'));
        test::writeBytes(path("old.hm2.bak"), "not a recording either");
        QDir(folder_).mkdir(u"sub"_s);
        // Three records of 256 bytes, the last stamped like the first.
        test::writeSample(folder_, u"stuck.ha3"_s, 3, 10, 0);
        QFile stuck(path(u"stuck.ha3"_s));
        QVERIFY(stuck.open(QIODevice::ReadWrite));
        const QByteArray first = stuck.read(6);
        QVERIFY(stuck.seek(2 * 256) && stuck.write(first) == 6);
    }

    void cleanup() {
        app_.reset();
        form_ = nullptr;
        for (const QString& csv : QDir(folder_).entryList({u"*.csv"_s}, QDir::Files))
            QFile::remove(path(csv));
    }

    void startFolderOfArguments_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("folder");
        row("file on a drive root", "\"C:\\x.hm3\"", "C:/");
        row("quoted linux path with blank", "\"/srv/my meas/x.hm3\"", "/srv/my meas");
        row("no argument", "", "/opt/harmograph");
        row("only quotes", "\"\"", "/opt/harmograph");
        row("existing folder", "/tmp", "/tmp");
    }
    void startFolderOfArguments() {
        QFETCH(QString, argument);
        QFETCH(QString, folder);
        QCOMPARE(startFolderOf(argument, u"/opt/harmograph"_s), folder);
    }

    // Started on a file's path, Linux or quoted with "\": its folder, listed by the pattern without
    // case, nothing selected, Execute disabled, graph mode. A missing folder is reported. "終　了"
    // and closing the window end the program.
    void startUpAndEnd() {
        start(path("site.hm3"));
        QCOMPARE(form_->folder(), folder_);
        form_->subWindow()->close();
        QVERIFY(app_->frame().isHidden());
        cleanup();
        QString argument = path("site.hm3");
        argument.replace(QLatin1Char('/'), QLatin1Char('\\'));
        start(QLatin1Char('"') + argument + QLatin1Char('"'));
        QCOMPARE(form_->folder(), folder_);
        QCOMPARE(form_->Drive1->currentData().toString(), QStorageInfo(folder_).rootPath());
        QCOMPARE(form_->Dir1->currentIndex().data(QFileSystemModel::FilePathRole).toString(),
                 folder_);
        QTRY_COMPARE(test::listedNames(form_->File1),
                     (QStringList{"bus.hv2", "feeder.hh2", "long.ha3", "old.hm2.bak", "short.hm3",
                                  "site.hm3", "stuck.ha3", "upper.HA4"}));
        QVERIFY(form_->File1->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(form_->Label1->text().isEmpty() && !form_->Command1->isEnabled());
        QVERIFY(form_->Option1[0]->isChecked() && form_->Text5->isHidden());
        QCOMPARE(form_->Text1->text(), u"00/00/00"_s);
        cleanup();
        Messages messages;
        start(u"\"C:\\data\\x.hm3\""_s);
        messages.expect(u"C:/data"_s);
        QCOMPARE(form_->folder(), folder_);  // the program's own folder
        QTest::mouseClick(form_->Command10, Qt::LeftButton);
        QVERIFY(app_->frame().isHidden());
    }

    // The frame is on the screen before the start-up message about a missing folder.
    void startUpMessageShowsOverTheFrame() {
        app_ = test::newApp();
        form_ = &app_->fileSelection();
        QList<bool> frameShown;
        setMessageHook(
            [&](const QString&, MessageKind) { frameShown << app_->frame().isVisible(); });
        app_->start(path("missing/x.hm3"), folder_);
        setMessageHook({});
        QCOMPARE(frameShown, QList<bool>{true});
    }

    // A click in the folder tree lists the folder clicked and leaves its row under the pointer.
    void folderTreeClickKeepsTheRowUnderThePointer() {
        QDir(folder_).mkpath(u"tree"_s);
        for (int i = 0; i < 60; ++i) QDir(path("tree")).mkdir(u"d%1"_s.arg(i, 2, 10, QChar('0')));
        start(path("tree/x.hm3"));
        QTreeView* tree = form_->Dir1;
        const auto* model = static_cast<const QFileSystemModel*>(tree->model());
        const QModelIndex parent = model->index(path("tree"));
        QTRY_COMPARE(model->rowCount(parent), 60);
        // The lowest folder row wholly on view, once the folders around have been listed and
        // nothing moves any more.
        const auto lowestRow = [&] {
            QModelIndex lowest;
            for (int row = 0; row < model->rowCount(parent); ++row) {
                const QModelIndex index = model->index(row, 0, parent);
                const QRect r = tree->visualRect(index);
                if (r.isValid() && r.top() >= 0 && r.bottom() < tree->viewport()->height() &&
                    (!lowest.isValid() || r.top() > tree->visualRect(lowest).top()))
                    lowest = index;
            }
            return lowest;
        };
        QModelIndex lowest;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QModelIndex before = lowestRow();
                QTest::qWait(300);
                lowest = lowestRow();
                return lowest.isValid() && lowest == before &&
                       tree->visualRect(lowest).top() > tree->viewport()->height() * 2 / 3;
            }(),
            10000);
        const QString clicked = model->filePath(lowest);
        const QPoint at = tree->visualRect(lowest).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        QCOMPARE(form_->folder(), clicked);
        QCOMPARE(model->filePath(tree->currentIndex()), clicked);
        QCOMPARE(model->filePath(tree->indexAt(at)), clicked);
    }

    void clickingAFileScansIt() {
        start();
        click("site.hm3");
        QCOMPARE(form_->Label1->text(), path("site.hm3"));
        QCOMPARE(form_->Text5->text(), path("site.csv"));
        QCOMPARE(period(), (QStringList{"19/05/29(水)", "00:00", "19/05/29(水)", "23:50"}));
        QVERIFY(form_->Command1->isEnabled());
        QVERIFY(form_->ScanWarning->isHidden());
        // The scan's warnings show under the path, without a dialog, until the next file.
        Messages messages;
        click("stuck.ha3");
        QVERIFY(form_->ScanWarning->isVisible());
        QVERIFY(form_->ScanWarning->text().contains(u"先頭と同じ"_s));
        QVERIFY(messages.texts.isEmpty());
        // A second file replaces the whole period; a click on the selected file scans it again.
        click("upper.HA4");
        QCOMPARE(form_->Label1->text(), path("upper.HA4"));
        QVERIFY(form_->ScanWarning->isHidden());
        QCOMPARE(form_->Text4->text(), u"00:45"_s);
        QCOMPARE(form_->recording().RecordInterval, 5.0f);
        form_->Text4->setText(u"00:10"_s);
        click("upper.HA4");
        QCOMPARE(form_->Text4->text(), u"00:45"_s);
    }

    void failedScanKeepsThePreviousFile() {
        start();
        Messages messages;
        click("short.hm3");  // before any good scan Execute stays disabled
        QVERIFY(!form_->Command1->isEnabled() && form_->Label1->text().isEmpty());
        click("site.hm3");
        form_->Text2->setText(u"01:00"_s);
        click("short.hm3");
        click("old.hm2.bak");
        QVERIFY(!form_->scanFile(path("gone.hm3")));  // gone since listed
        QCOMPARE(messages.texts.size(), 4);
        QCOMPARE(form_->Label1->text(), path("site.hm3"));
        QCOMPARE(period(), (QStringList{"19/05/29(水)", "01:00", "19/05/29(水)", "23:50"}));
        QVERIFY(form_->recording().RecordInterval == 10.0f && form_->Command1->isEnabled());
    }

    void periodBoxesNormalise() {
        start();
        // Date boxes while typing, without re-triggering themselves.
        type(form_->Text1, u"19/05/29"_s);
        QCOMPARE(form_->Text1->text(), u"19/05/29(水)"_s);
        QCOMPARE(form_->Text1->cursorPosition(), 8);
        QTest::keyClick(form_->Text1, Qt::Key_End);
        QTest::keyClick(form_->Text1, Qt::Key_Backspace);  // the weekday comes back
        QCOMPARE(form_->Text1->text(), u"19/05/29(水)"_s);
        type(form_->Text3, u"19/5/2"_s);
        QCOMPARE(form_->Text3->text(), u"19/5/2"_s);  // not a date: left as typed
        // Time boxes on losing the focus.
        QApplication::setActiveWindow(&app_->frame());
        form_->Text2->setFocus();
        QTRY_VERIFY(form_->Text2->hasFocus());
        type(form_->Text2, u"9:30"_s);
        QCOMPARE(form_->Text2->text(), u"9:30"_s);
        QTest::keyClick(form_->Text2, Qt::Key_Tab);
        QTRY_COMPARE(form_->Text2->text(), u"9::0"_s);
    }

    void stepButtons_data() {
        QTest::addColumn<int>("button");  // index into the buttons of stepButtons()
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        row("start time + past midnight", 0, "23:55", "00:05");
        row("start time -", 1, "10:30", "10:20");
        row("start time - past midnight", 1, "00:05", "23:59");
        row("end time +", 2, "10:30", "10:40");
        row("end time -", 3, "00:00", "23:59");
        row("start date +", 4, "19/05/29(水)", "19/05/30(木)");
        row("start date -", 5, "19/03/01(金)", "19/02/28(木)");
        row("end date +", 6, "19/12/31(火)", "20/01/01(水)");
        row("end date -", 7, "20/03/01(日)", "20/02/29(土)");
        row("not a time: ignored", 0, "ab:cd", "ab:cd");
        row("not a date: ignored", 4, "19/13/01", "19/13/01");
    }
    void stepButtons() {
        QFETCH(int, button);
        QFETCH(QString, before);
        QFETCH(QString, after);
        start();
        click("site.hm3");  // interval 10
        const std::pair<QPushButton*, QLineEdit*> steps[] = {
            {form_->Command2, form_->Text2}, {form_->Command4, form_->Text2},
            {form_->Command5, form_->Text4}, {form_->Command6, form_->Text4},
            {form_->Command3, form_->Text1}, {form_->Command8, form_->Text1},
            {form_->Command7, form_->Text3}, {form_->Command9, form_->Text3}};
        const auto [pressed, box] = steps[button];
        box->setText(before);
        const QString startDate = form_->Text1->text();
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(box->text(), after);
        if (box == form_->Text2) QCOMPARE(form_->Text1->text(), startDate);  // date unchanged
    }

    // Execute in graph mode: nothing on the right moves while it runs (the hidden options keep
    // their room); the graph window opens and this one hides, reachable from the frame's window
    // menu. The open graph windows stay until a new period is loaded, so a mistyped period loses
    // none; closing the last one (with an extra
    // one) shows this window with both modes and lets the tables go.
    void graphRunOpensTheGraphWindowAndComesBack() {
        start();
        Messages messages;
        click("bus.hv2");
        const QString day = form_->Text1->text();
        setPeriod({day, "11:00", day, "12:00"});
        const QPoint before = form_->Text1->pos();
        QList<QPoint> during;
        QTimer::singleShot(0, form_, [&] {
            if (form_->isBusy()) during << form_->Text1->pos();
        });
        execute();
        QCOMPARE(during, QList<QPoint>{before});
        messages.expect();
        QPointer<GraphWindow> graph = graphWindow();
        QVERIFY(graph && form_->subWindow()->isHidden());
        QVERIFY(graph->analysis()->PeriodRecords == 6 && graph->analysis()->LoadedRecords == 7);
        verifyIdle();
        // Back to the file selection from the frame's window menu, the graph staying open.
        MainFrame& frame = app_->frame();
        emit frame.WindowMenu->aboutToShow();
        QVERIFY(frame.WindowMenu->actions().contains(frame.ShowFileSelection));
        frame.ShowFileSelection->trigger();
        QVERIFY(form_->subWindow()->isVisible() && graph->subWindow()->isVisible());
        QCOMPARE(app_->frame().mdiArea->activeSubWindow(), form_->subWindow());
        setPeriod({day, "12:00", day, "11:00"});  // start after end: nothing to do
        execute();
        setPeriod({day, "25:00", day, "12:00"});  // refused
        execute();
        messages.expect(u"解析開始時間"_s);
        QVERIFY(graph && graph->subWindow()->isVisible());
        QCOMPARE(graphWindow(), graph.data());
        setPeriod({day, "10:00", day, "12:00"});
        execute();
        QTRY_VERIFY(!graph);  // replaced by the window of the new period
        QVERIFY(graphWindow() && graphWindow()->analysis()->PeriodRecords == 12);
        std::weak_ptr<const HARMDIM> analysis = graphWindow()->analysis();
        QVERIFY(app_->openExtraWindow());
        graphWindow()->subWindow()->close();
        QTRY_VERIFY(form_->subWindow()->isVisible());
        QVERIFY(form_->Option1[0]->isVisible() && form_->Option1[1]->isVisible());
        QTRY_VERIFY(analysis.expired());
        cleanup();
        // A double click scans, then executes; so does Enter on the file scanned.
        start();
        click("feeder.hh2", true);
        QCOMPARE(form_->Label1->text(), path("feeder.hh2"));
        QVERIFY(graphWindow() && graphWindow()->analysis()->MaxOrderIndex == 255);
        app_->frame().ShowFileSelection->trigger();
        click("bus.hv2");
        QTest::keyClick(form_->File1, Qt::Key_Return);
        QTRY_VERIFY(graphWindow() && graphWindow()->analysis()->MaxOrderIndex < 255);
    }

    // The orders a graph draws reach the CSV dialog (by order index: the graph's indexes 0..4 are
    // the dialog's entries 0..4, of which the odd boxes show 0, 2, 4); every order the recording
    // has stays available there (none greyed by the graph's own bounds).
    void graphOrdersReachTheCsvDialog() {
        start();
        Messages messages;
        click("site.hm3", true);
        GraphWindow* graph = graphWindow();
        QVERIFY(graph);
        test::choose(graph->Combo1, u"電圧歪率(%)"_s);
        test::choose(graph->Combo2, u"１～９次"_s);
        QVERIFY(graph->hasDrawn());
        graph->Command3->click();
        QTRY_VERIFY(form_->subWindow()->isVisible());
        click("feeder.hh2");
        clickCheckBox(form_->Option1[1]);
        execute();
        CsvOrdersDialog* dialog = csvDialog();
        QVERIFY(dialog->isVisible());
        for (int page : {0, 2, 10}) {
            dialog->VScroll1->setValue(page);
            for (int i = 0; i < 25; ++i) {
                QVERIFY2(dialog->Check1[i]->isEnabled(),
                         qPrintable(u"page %1 box %2"_s.arg(page).arg(i)));
                QCOMPARE(dialog->Check1[i]->isChecked(), page == 0 && i < 3);
            }
        }
        messages.expect();
    }

    void badPeriodsAreReported_data() {
        QTest::addColumn<QStringList>("periodTexts");
        QTest::addColumn<QString>("message");
        using L = QStringList;  // start date and time, end date and time
        row("time not parsing", L{"19/05/29(水)", "9::0", "19/05/29(水)", "23:50"}, "解析開始時間");
        row("date not parsing", L{"19/05/29(水)", "00:00", "19/02/30", "23:50"}, "解析終了年月日");
        row("no record in the period", L{"19/05/30(木)", "00:00", "19/05/30(木)", "01:00"},
            "期間に");
        row("start after end: no message", L{"19/05/29(水)", "10:01", "19/05/29(水)", "10:00"}, "");
    }
    void badPeriodsAreReported() {
        QFETCH(QStringList, periodTexts);
        QFETCH(QString, message);
        for (const bool conversion : {false, true}) {
            start();
            Messages messages;
            click("site.hm3");
            setPeriod(periodTexts);
            // Said before the CSV dialog opens; the dialog does not open.
            if (conversion) clickCheckBox(form_->Option1[1]);
            execute();
            messages.expect(message);
            QVERIFY(!graphWindow() && form_->subWindow()->isVisible());
            QVERIFY(csvDialog()->isHidden());
            QCOMPARE(period(), periodTexts);  // nothing the user typed is lost
            QVERIFY(!QFile::exists(path("site.csv")));
            verifyIdle();
            cleanup();
        }
    }

    void periodOfTooManyRecordsForAGraphIsRefused() {
        start();
        Messages messages;
        click("long.ha3");
        execute();
        messages.expect(u"32767"_s);
        QCOMPARE(graphWindow(), nullptr);
        verifyIdle();
    }

    // A folder that cannot be listed is reported; a sub-folder visited before never shows among
    // the files of its parent.
    void fileListShowsTheFolderListedAndOnlyItsFiles() {
        start();
        Messages messages;
        QVERIFY(!form_->setFolder(path("missing")) && !form_->setFolder(path("site.hm3")));
        QCOMPARE(messages.texts.size(), 2);
        QCOMPARE(form_->folder(), folder_);
        QVERIFY(form_->setFolder(path("sub")));
        QTRY_COMPARE(test::listedNames(form_->File1), QStringList());
        QVERIFY(form_->setFolder(folder_));
        QTRY_COMPARE(test::listedNames(form_->File1),
                     (QStringList{"bus.hv2", "feeder.hh2", "long.ha3", "old.hm2.bak", "short.hm3",
                                  "site.hm3", "stuck.ha3", "upper.HA4"}));
    }

    // Conversion mode shows the output name; its first Execute only opens the dialog. Cancel, a
    // change of mode or another file clears the choice: the next Execute opens the dialog again.
    // OK runs the conversion once, through the activation.
    void conversionOpensTheDialogAndItsOkRunsOnce() {
        start();
        Messages messages;
        QSignalSpy progress(form_->ProgressBar1, &QProgressBar::valueChanged);
        click("feeder.hh2");
        clickCheckBox(form_->Option1[1]);
        QVERIFY(form_->Label11->isVisible() && form_->Text5->isVisible());
        execute();
        CsvOrdersDialog* dialog = csvDialog();
        QVERIFY(dialog->isVisible() && dialog->Check4->isEnabled());
        QTest::mouseClick(dialog->Command3, Qt::LeftButton);
        QVERIFY(dialog->isHidden());
        execute();
        QVERIFY(dialog->isVisible() && csvDialog() == dialog);
        clickCheckBox(form_->Option1[0]);
        QVERIFY(form_->Label11->isHidden() && form_->Text5->isHidden() && dialog->isHidden());
        emit dialog->confirmed(dialog->csvOptions());  // a stale answer never starts a run
        QVERIFY(!graphWindow() && !QFile::exists(path("feeder.csv")));
        clickCheckBox(form_->Option1[1]);
        execute();
        QVERIFY(dialog->isVisible());
        // The kind comes from the file just scanned.
        click("site.hm3");
        QVERIFY(dialog->isHidden());
        execute();
        QVERIFY(dialog->isVisible() && !dialog->Check4->isEnabled());
        clickCheckBox(dialog->Check1[0]);  // order 1
        clickCheckBox(dialog->Check1[2]);  // order 5
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        messages.expect();
        QVERIFY(dialog->isHidden());
        verifyIdle();
        const QString csv = path("site.csv");
        const QList<QByteArray> lines = test::readBytes(csv).split('\n');
        QVERIFY(lines[0].endsWith(",V1,V5,1I1,1I5,1R1,1R5,2I1,2I5,2R1,2R5,3I1,3I5,3R1,3R5\r"));
        QCOMPARE(lines.size(), 1 + 144 + 1);  // the scan put the whole file in the boxes
        QVERIFY(progress.count() > 0);
        // A later activation does not convert again.
        QVERIFY(QFile::remove(csv));
        form_->activated();
        QVERIFY(!QFile::exists(csv) && dialog->isHidden());
    }

    // One file per item for "hh", with the combined current; a relative output name goes beside
    // the recording.
    void conversionWritesWhereAndWhatTheDialogSays() {
        start();
        Messages messages;
        click("feeder.hh2");
        form_->Text5->setText(u"out.csv"_s);
        convert([](CsvOrdersDialog& d) {
            d.VScroll1->setValue(21);
            clickCheckBox(d.Check1[0]);  // order 211
            clickCheckBox(d.Check4);
            clickCheckBox(d.Check5);
        });
        messages.expect();
        // Said where the busy label stood, until the next action.
        QCOMPARE(form_->Label12->text(), u"12 件を 7 ファイルに出力しました"_s);
        QVERIFY(form_->Label12->isVisible());
        QVERIFY(!QFile::exists(path("out.csv")));
        for (const char* item : {"V", "I1", "I2", "I3", "R1", "R2", "R3"}) {
            const QString csv = path(u"out%1.csv"_s.arg(item));
            const QList<QByteArray> lines = test::readBytes(csv).split('\n');
            QVERIFY2(lines[0].endsWith("211\r") && lines.size() == 1 + 12 + 1, item);
        }
        click("site.hm3");
        QVERIFY(form_->Label12->isHidden());
        convert([](CsvOrdersDialog& d) { clickCheckBox(d.Check1[0]); });
        QCOMPARE(form_->Label12->text(), u"144 件を site.csv に出力しました"_s);
        clickCheckBox(form_->Option1[0]);
        QVERIFY(form_->Label12->isHidden());
    }

    void conversionFailuresAreReportedAndKeepFiles_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        row("a folder", "sub", "sub");
        row("the measurement file", "site.hm3", "site.hm3");
        row("a missing folder", "missing/site.csv", "missing/site.csv");
        row("no name", "", "出力ファイル名");
    }
    void conversionFailuresAreReportedAndKeepFiles() {
        QFETCH(QString, output);
        QFETCH(QString, message);
        start();
        Messages messages;
        const QByteArray recording = test::readBytes(path("site.hm3"));
        click("site.hm3");
        form_->Text5->setText(output.isEmpty() ? QString() : path(output));
        convert([](CsvOrdersDialog& d) { clickCheckBox(d.Check1[1]); });
        messages.expect(message);
        QCOMPARE(test::readBytes(path("site.hm3")), recording);
        QVERIFY(QFileInfo(path("sub")).isDir());
        QCOMPARE(QDir(folder_).entryList({u"*.csv"_s}, QDir::Files), QStringList());
        verifyIdle();
        QVERIFY(form_->subWindow()->isVisible());
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestFileSelectionWindow)
#include "test_file_selection_window.moc"
