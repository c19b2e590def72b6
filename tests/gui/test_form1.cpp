// The file-selection window: start-up folder, the file list, the scan on a click, the period
// boxes and step buttons, the mode options, Execute in both modes and its failures.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTreeView>
#include <functional>
#include <map>

#include "analysis/harmdim.h"
#include "app/Form1.h"
#include "app/MDIForm1.h"
#include "app/startup.h"
#include "csv/Form4.h"
#include "graph/Form2.h"
#include "gui_support.h"

namespace hg {

using test::clickEntry;
using test::Messages;
using test::writeSample;

class TestForm1 : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder_;
    std::unique_ptr<HARMDIM> state_;
    std::unique_ptr<MDIForm1> frame_;
    Form1* form_ = nullptr;

    // A frame started on `argument` (the scratch folder when empty).
    void startFrame(const QString& argument) {
        state_ = std::make_unique<HARMDIM>();
        frame_ = std::make_unique<MDIForm1>(*state_);
        form_ = frame_->form1;
        frame_->start(argument, folder_);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    void startOnFolder() { startFrame(folder_ + "/x.hm3"); }

    QString path(const QString& name) const { return folder_ + QLatin1Char('/') + name; }

    // Clicks a file and waits for nothing more: the scan runs inside the click.
    void click(const QString& name, bool doubleClick = false) {
        QVERIFY2(clickEntry(form_->File1, name, doubleClick), qPrintable(name));
    }

    void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }

    // The window is back in its idle state.
    void verifyIdle() {
        QVERIFY(!form_->isBusy());
        QVERIFY(form_->Label10->isHidden());
        QVERIFY(form_->ProgressBar1->isHidden());
        QVERIFY(!form_->Option1[0]->isHidden());
        QVERIFY(!form_->Option1[1]->isHidden());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

  private slots:
    void initTestCase() {
        dir_ = test::scratchFolder(QStringLiteral("form1"));
        QVERIFY(dir_->isValid());
        folder_ = QDir(dir_->path()).canonicalPath();
        writeSample(folder_, QStringLiteral("site.hm3"));
        writeSample(folder_, QStringLiteral("bus.hv2"), 100, 10, 600);
        writeSample(folder_, QStringLiteral("feeder.hh2"), 12, 10, 600);
        writeSample(folder_, QStringLiteral("upper.HA4"), 10, 5, 0);
        writeSample(folder_, QStringLiteral("long.ha3"), 33000, 1, 0);  // 22.9 days
        test::writeBytes(path(QStringLiteral("notes.txt")), "not a recording");
        test::writeBytes(path(QStringLiteral("short.hm3")), QByteArray(100, '\0'));
        test::writeBytes(path(QStringLiteral("old.hm2.bak")), "not a recording either");
        test::writeBytes(path(QStringLiteral("page.html")), "<html></html>");
        QDir(folder_).mkdir(QStringLiteral("sub"));
    }

    void cleanup() {
        frame_.reset();
        state_.reset();
        form_ = nullptr;
        for (const QString& csv : QDir(folder_).entryList({QStringLiteral("*.csv")}, QDir::Files))
            QFile::remove(path(csv));
    }

    void startFolderOfArguments_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("folder");
        QTest::newRow("quoted drive path") << "\"C:\\data\\x.hm3\""
                                           << "C:/data";
        QTest::newRow("unquoted drive path") << "C:\\data\\x.hm3"
                                             << "C:/data";
        QTest::newRow("file on a drive root") << "\"C:\\x.hm3\""
                                              << "C:/";
        QTest::newRow("linux path") << "/srv/meas/x.hm3"
                                    << "/srv/meas";
        QTest::newRow("quoted linux path with blank") << "\"/srv/my meas/x.hm3\""
                                                      << "/srv/my meas";
        QTest::newRow("no argument") << ""
                                     << "/opt/harmograph";
        QTest::newRow("only quotes") << "\"\""
                                     << "/opt/harmograph";
        QTest::newRow("existing folder") << "/tmp"
                                         << "/tmp";
    }
    void startFolderOfArguments() {
        QFETCH(QString, argument);
        QFETCH(QString, folder);
        QCOMPARE(startFolderOf(argument, QStringLiteral("/opt/harmograph")), folder);
    }

    void startUpOnQuotedBackslashPath() {
        QString argument = path(QStringLiteral("site.hm3"));
        argument.replace(QLatin1Char('/'), QLatin1Char('\\'));
        startFrame(QLatin1Char('"') + argument + QLatin1Char('"'));
        QCOMPARE(form_->folder(), folder_);
        QVERIFY(form_->subWindow()->isVisible());
        QVERIFY(test::waitForEntry(form_->File1, QStringLiteral("site.hm3")).isValid());
        QVERIFY(form_->File1->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(form_->Label1->text(), QString());
        QVERIFY(!form_->Command1->isEnabled());
        QVERIFY(form_->Option1[0]->isChecked());
        QVERIFY(form_->Label11->isHidden());
        QVERIFY(form_->Text5->isHidden());
        QCOMPARE(form_->Text1->text(), QStringLiteral("00/00/00"));
        QCOMPARE(form_->Text2->text(), QStringLiteral("00:00"));
        QCOMPARE(form_->Drive1->currentData().toString(), QStorageInfo(folder_).rootPath());
        QCOMPARE(form_->Dir1->currentIndex().data(QFileSystemModel::FilePathRole).toString(),
                 folder_);
    }

    void startUpOnLinuxPathAndOnAMissingFolder() {
        startFrame(path(QStringLiteral("site.hm3")));
        QCOMPARE(form_->folder(), folder_);
        cleanup();

        Messages messages;
        startFrame(QStringLiteral("\"C:\\data\\x.hm3\""));
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QStringLiteral("C:/data")));
        QCOMPARE(form_->folder(), folder_);  // the program's own folder
    }

    void captionsAndTitles() {
        startOnFolder();
        QCOMPARE(frame_->windowTitle(), QStringLiteral("グラフ"));
        QCOMPARE(frame_->WindowMenu->title(), QStringLiteral("ウィンドウ"));
        QVERIFY(form_->windowTitle().endsWith(QStringLiteral("(2019/05/29)")));
        QCOMPARE(form_->Command1->text(), QStringLiteral("実\u3000行"));
        QCOMPARE(form_->Command10->text(), QStringLiteral("終\u3000了"));
        QCOMPARE(form_->Label10->text(), QStringLiteral("データ解析中"));
        QCOMPARE(form_->Option1[1]->text(),
                 QStringLiteral("データ変換・CSV\uFF8C\uFF67\uFF72\uFF99作成"));
    }

    void fileListMatchesThePatternWithoutCase() {
        startOnFolder();
        QTRY_COMPARE(test::listedNames(form_->File1),
                     (QStringList{"bus.hv2", "feeder.hh2", "long.ha3", "old.hm2.bak", "short.hm3",
                                  "site.hm3", "upper.HA4"}));
    }

    void clickingAFileScansIt() {
        startOnFolder();
        click(QStringLiteral("site.hm3"));
        QCOMPARE(form_->Label1->text(), path(QStringLiteral("site.hm3")));
        QCOMPARE(form_->Text5->text(), path(QStringLiteral("site.csv")));
        QCOMPARE(form_->Text1->text(), QStringLiteral("19/05/29(水)"));
        QCOMPARE(form_->Text2->text(), QStringLiteral("00:00"));
        QCOMPARE(form_->Text3->text(), QStringLiteral("19/05/29(水)"));
        QCOMPARE(form_->Text4->text(), QStringLiteral("23:50"));
        QVERIFY(form_->Command1->isEnabled());
        QCOMPARE(state_->RecordInterval, 10.0f);

        // A second file replaces the whole period.
        click(QStringLiteral("upper.HA4"));
        QCOMPARE(form_->Label1->text(), path(QStringLiteral("upper.HA4")));
        QCOMPARE(form_->Text3->text(), QStringLiteral("19/05/29(水)"));
        QCOMPARE(form_->Text4->text(), QStringLiteral("00:45"));
        QCOMPARE(state_->RecordInterval, 5.0f);

        // A click on the file already selected scans it again.
        form_->Text4->setText(QStringLiteral("00:10"));
        click(QStringLiteral("upper.HA4"));
        QCOMPARE(form_->Text4->text(), QStringLiteral("00:45"));
    }

    void failedScanKeepsThePreviousFile() {
        startOnFolder();
        Messages messages;
        // Before any good scan Execute stays disabled.
        click(QStringLiteral("short.hm3"));
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(!form_->Command1->isEnabled());
        QCOMPARE(form_->Label1->text(), QString());

        click(QStringLiteral("site.hm3"));
        form_->Text2->setText(QStringLiteral("01:00"));
        for (const QString& bad : {QStringLiteral("short.hm3"), QStringLiteral("old.hm2.bak")}) {
            click(bad);
            QCOMPARE(form_->Label1->text(), path(QStringLiteral("site.hm3")));
            QCOMPARE(form_->Text2->text(), QStringLiteral("01:00"));
            QCOMPARE(form_->Text4->text(), QStringLiteral("23:50"));
            QVERIFY(form_->Command1->isEnabled());
        }
        QCOMPARE(messages.texts.size(), 3);
        // A file that has gone since the folder was listed.
        QVERIFY(!form_->scanFile(path(QStringLiteral("gone.hm3"))));
        QCOMPARE(messages.texts.size(), 4);
        QCOMPARE(form_->Label1->text(), path(QStringLiteral("site.hm3")));
        QCOMPARE(state_->RecordInterval, 10.0f);
    }

    void dateBoxesNormaliseWhileTyping() {
        startOnFolder();
        type(form_->Text1, QStringLiteral("19/05/29"));
        QCOMPARE(form_->Text1->text(), QStringLiteral("19/05/29(水)"));
        QCOMPARE(form_->Text1->cursorPosition(), 8);
        type(form_->Text3, QStringLiteral("19/5/2"));
        QCOMPARE(form_->Text3->text(), QStringLiteral("19/5/2"));  // not a date: left as typed
        type(form_->Text3, QStringLiteral("30/02/29"));
        QCOMPARE(form_->Text3->text(), QStringLiteral("30/02/29"));
        // Editing the weekday away brings it back.
        QTest::keyClick(form_->Text1, Qt::Key_End);
        QTest::keyClick(form_->Text1, Qt::Key_Backspace);
        QCOMPARE(form_->Text1->text(), QStringLiteral("19/05/29(水)"));
    }

    void timeBoxesNormaliseOnLeaving() {
        startOnFolder();
        QApplication::setActiveWindow(frame_.get());
        form_->Text2->setFocus();
        QTRY_VERIFY(form_->Text2->hasFocus());
        type(form_->Text2, QStringLiteral("9:30"));
        QCOMPARE(form_->Text2->text(), QStringLiteral("9:30"));
        QTest::keyClick(form_->Text2, Qt::Key_Tab);
        QTRY_COMPARE(form_->Text2->text(), QStringLiteral("9::0"));

        form_->Text4->setFocus();
        QTRY_VERIFY(form_->Text4->hasFocus());
        type(form_->Text4, QStringLiteral("12345"));
        form_->Text2->setFocus();
        QTRY_COMPARE(form_->Text4->text(), QStringLiteral("12:45"));
    }

    void stepButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("start time + past midnight") << "Command2"
                                                    << "23:55"
                                                    << "00:05";
        QTest::newRow("start time -") << "Command4"
                                      << "10:30"
                                      << "10:20";
        QTest::newRow("start time - past midnight") << "Command4"
                                                    << "00:05"
                                                    << "23:59";
        QTest::newRow("end time +") << "Command5"
                                    << "10:30"
                                    << "10:40";
        QTest::newRow("end time -") << "Command6"
                                    << "00:00"
                                    << "23:59";
        QTest::newRow("start date +") << "Command3"
                                      << "19/05/29(水)"
                                      << "19/05/30(木)";
        QTest::newRow("start date -") << "Command8"
                                      << "19/03/01(金)"
                                      << "19/02/28(木)";
        QTest::newRow("end date +") << "Command7"
                                    << "19/12/31(火)"
                                    << "20/01/01(水)";
        QTest::newRow("end date -") << "Command9"
                                    << "20/03/01(日)"
                                    << "20/02/29(土)";
        QTest::newRow("not a time: ignored") << "Command2"
                                             << "ab:cd"
                                             << "ab:cd";
        QTest::newRow("not a date: ignored") << "Command3"
                                             << "19/13/01"
                                             << "19/13/01";
    }
    void stepButtons() {
        QFETCH(QString, button);
        QFETCH(QString, before);
        QFETCH(QString, after);
        startOnFolder();
        click(QStringLiteral("site.hm3"));  // interval 10
        const std::map<QString, std::pair<QPushButton*, QLineEdit*>> buttons{
            {"Command2", {form_->Command2, form_->Text2}},
            {"Command4", {form_->Command4, form_->Text2}},
            {"Command5", {form_->Command5, form_->Text4}},
            {"Command6", {form_->Command6, form_->Text4}},
            {"Command3", {form_->Command3, form_->Text1}},
            {"Command8", {form_->Command8, form_->Text1}},
            {"Command7", {form_->Command7, form_->Text3}},
            {"Command9", {form_->Command9, form_->Text3}}};
        const auto [pressed, box] = buttons.at(button);
        box->setText(before);
        const QString startDate = form_->Text1->text();
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(box->text(), after);
        if (box == form_->Text2) QCOMPARE(form_->Text1->text(), startDate);  // date unchanged
    }

    void modeOptionsShowTheOutputName() {
        startOnFolder();
        test::clickCheckBox(form_->Option1[1]);
        QVERIFY(form_->Option1[1]->isChecked());
        QVERIFY(form_->Label11->isVisible());
        QVERIFY(form_->Text5->isVisible());
        QCOMPARE(form_->Label11->text(), QStringLiteral("出力ファイル名"));
        test::clickCheckBox(form_->Option1[0]);
        QVERIFY(form_->Label11->isHidden());
        QVERIFY(form_->Text5->isHidden());
    }

    void startAfterEndLeavesTheWindowIdle() {
        startOnFolder();
        Messages messages;
        click(QStringLiteral("site.hm3"));
        form_->Text2->setText(QStringLiteral("10:01"));
        form_->Text4->setText(QStringLiteral("10:00"));
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(form_->graphWindow(), nullptr);
        QVERIFY(form_->subWindow()->isVisible());
        verifyIdle();
    }

    void graphRunOpensTheGraphWindowAndComesBack() {
        startOnFolder();
        Messages messages;
        click(QStringLiteral("bus.hv2"));
        form_->Text3->setText(form_->Text1->text());
        form_->Text2->setText(QStringLiteral("11:00"));
        form_->Text4->setText(QStringLiteral("12:00"));
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QVERIFY(form_->graphWindow() != nullptr);
        QVERIFY(form_->subWindow()->isHidden());
        QCOMPARE(state_->ChannelCount, 2);
        QCOMPARE(state_->PeriodRecords, 6);
        QCOMPARE(state_->LoadedRecords, 7);
        verifyIdle();

        form_->graphWindow()->parentWidget()->close();
        QTRY_COMPARE(form_->graphWindow(), nullptr);
        QVERIFY(form_->subWindow()->isVisible());
        QCOMPARE(state_->LoadedRecords, 0);
        verifyIdle();
    }

    void doubleClickScansThenExecutes() {
        startOnFolder();
        Messages messages;
        click(QStringLiteral("feeder.hh2"), true);
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QCOMPARE(form_->Label1->text(), path(QStringLiteral("feeder.hh2")));
        QVERIFY(form_->graphWindow() != nullptr);
        QCOMPARE(state_->ChannelCount, 2);
        QCOMPARE(state_->MaxOrderIndex, 255);
    }

    void badPeriodsAreReported_data() {
        QTest::addColumn<QString>("startDate");
        QTest::addColumn<QString>("startTime");
        QTest::addColumn<QString>("endDate");
        QTest::addColumn<QString>("endTime");
        QTest::addColumn<QString>("message");
        QTest::newRow("time not parsing") << "19/05/29"
                                          << "9::0"
                                          << "19/05/29"
                                          << "23:50"
                                          << "解析開始時間";
        QTest::newRow("date not parsing") << "19/05/29"
                                          << "00:00"
                                          << "19/02/30"
                                          << "23:50"
                                          << "解析終了年月日";
        QTest::newRow("no record in the period") << "19/05/30"
                                                 << "00:00"
                                                 << "19/05/30"
                                                 << "01:00"
                                                 << "期間に";
    }
    void badPeriodsAreReported() {
        QFETCH(QString, startDate);
        QFETCH(QString, startTime);
        QFETCH(QString, endDate);
        QFETCH(QString, endTime);
        QFETCH(QString, message);
        for (const bool convert : {false, true}) {
            startOnFolder();
            Messages messages;
            click(QStringLiteral("site.hm3"));
            form_->Text1->setText(startDate);
            form_->Text2->setText(startTime);
            form_->Text3->setText(endDate);
            form_->Text4->setText(endTime);
            if (convert) {
                test::clickCheckBox(form_->Option1[1]);
                QTest::mouseClick(form_->Command1, Qt::LeftButton);
                test::clickCheckBox(form_->csvDialog()->Check1[0]);
                QTest::mouseClick(form_->csvDialog()->Command1, Qt::LeftButton);
            } else {
                QTest::mouseClick(form_->Command1, Qt::LeftButton);
            }
            QCOMPARE(messages.texts.size(), 1);
            QVERIFY2(messages.texts[0].contains(message), qPrintable(messages.texts[0]));
            QCOMPARE(form_->graphWindow(), nullptr);
            QVERIFY(form_->subWindow()->isVisible());
            QCOMPARE(form_->Text2->text(), startTime);  // nothing the user typed is lost
            QVERIFY(!QFile::exists(path(QStringLiteral("site.csv"))));
            verifyIdle();
            cleanup();
        }
    }

    void periodOfTooManyRecordsForAGraphIsRefused() {
        startOnFolder();
        Messages messages;
        click(QStringLiteral("long.ha3"));
        QCOMPARE(form_->Text3->text(), QStringLiteral("19/06/20(木)"));
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QStringLiteral("32767")));
        QCOMPARE(form_->graphWindow(), nullptr);
        verifyIdle();
    }

    void folderThatCannotBeListedIsReported() {
        startOnFolder();
        Messages messages;
        QVERIFY(!form_->setFolder(path(QStringLiteral("missing"))));
        QVERIFY(!form_->setFolder(path(QStringLiteral("site.hm3"))));
        QCOMPARE(messages.texts.size(), 2);
        QCOMPARE(form_->folder(), folder_);
        QVERIFY(form_->setFolder(path(QStringLiteral("sub"))));
        QCOMPARE(form_->folder(), path(QStringLiteral("sub")));
        QTRY_COMPARE(test::listedNames(form_->File1), QStringList());
    }

    void conversionFirstExecuteOpensTheDialogOnly() {
        startOnFolder();
        Messages messages;
        click(QStringLiteral("feeder.hh2"));
        test::clickCheckBox(form_->Option1[1]);
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        Form4* dialog = form_->csvDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->Check4->isEnabled());
        QVERIFY(messages.texts.isEmpty());

        // Cancel, then Execute opens the same dialog again.
        QTest::mouseClick(dialog->Command3, Qt::LeftButton);
        QVERIFY(dialog->isHidden());
        QCOMPARE(state_->CsvDialogResult, 0);
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(form_->csvDialog(), dialog);

        // The kind comes from the file just scanned.
        click(QStringLiteral("site.hm3"));
        QVERIFY(dialog->isHidden());  // choices of the previous file are dropped
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->Check4->isEnabled());
        QVERIFY(!dialog->VScroll1->isEnabled());
    }

    // Conversion mode on the file scanned: Execute, then the dialog with `choose` applied to it,
    // then OK.
    void convert(const std::function<void(Form4&)>& choose) {
        test::clickCheckBox(form_->Option1[1]);
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        Form4* dialog = form_->csvDialog();
        QVERIFY(dialog->isVisible());
        choose(*dialog);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    }

    static QByteArray firstLine(const QString& csv) {
        QFile file(csv);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readLine();
    }
    static int lineCount(const QString& csv) {
        QFile file(csv);
        if (!file.open(QIODevice::ReadOnly)) return -1;
        return static_cast<int>(file.readAll().count('\n'));
    }

    void confirmedDialogRunsTheConversionOnce() {
        startOnFolder();
        Messages messages;
        QSignalSpy progress(form_->ProgressBar1, &QProgressBar::valueChanged);
        click(QStringLiteral("site.hm3"));
        convert([](Form4& d) {
            test::clickCheckBox(d.Check1[0]);  // order 1
            test::clickCheckBox(d.Check1[2]);  // order 5
        });
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QVERIFY(form_->csvDialog()->isHidden());
        // OK ran Execute through the activation of the window; the result was used once.
        QCOMPARE(state_->CsvDialogResult, 0);
        verifyIdle();
        const QString csv = path(QStringLiteral("site.csv"));
        QVERIFY(
            firstLine(csv).endsWith(",V1,V5,1I1,1I5,1R1,1R5,2I1,2I5,2R1,2R5,3I1,3I5,3R1,3R5\r\n"));
        QCOMPARE(lineCount(csv), 1 + 144);  // the scan put the whole file in the boxes
        QVERIFY(progress.count() > 0);

        QVERIFY(QFile::remove(csv));
        form_->activated();
        QVERIFY(!QFile::exists(csv));
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(form_->csvDialog()->isHidden());
    }

    void conversionWritesWhereAndWhatTheDialogSays() {
        startOnFolder();
        Messages messages;
        // One file per item for "hh", with the combined current; a relative output name goes
        // beside the measurement file.
        click(QStringLiteral("feeder.hh2"));
        form_->Text5->setText(QStringLiteral("out.csv"));
        convert([](Form4& d) {
            d.VScroll1->setValue(21);
            test::clickCheckBox(d.Check1[0]);  // order 211
            test::clickCheckBox(d.Check4);
            test::clickCheckBox(d.Check5);
        });
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QVERIFY(!QFile::exists(path(QStringLiteral("out.csv"))));
        for (const char* name : {"outV.csv", "outI1.csv", "outI2.csv", "outI3.csv", "outR1.csv",
                                 "outR2.csv", "outR3.csv"})
            QVERIFY2(firstLine(path(QString::fromLatin1(name))).endsWith("211\r\n"), name);
        QCOMPARE(lineCount(path(QStringLiteral("outI3.csv"))), 1 + 12);
    }

    void conversionFailuresAreReportedAndKeepFiles_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        QTest::newRow("a folder") << "sub"
                                  << "sub";
        QTest::newRow("the measurement file") << "site.hm3"
                                              << "site.hm3";
        QTest::newRow("a missing folder") << "missing/site.csv"
                                          << "missing/site.csv";
        QTest::newRow("no name") << ""
                                 << "出力ファイル名";
    }
    void conversionFailuresAreReportedAndKeepFiles() {
        QFETCH(QString, output);
        QFETCH(QString, message);
        startOnFolder();
        Messages messages;
        const QByteArray recording = test::readBytes(path(QStringLiteral("site.hm3")));
        click(QStringLiteral("site.hm3"));
        form_->Text5->setText(output.isEmpty() ? QString() : path(output));
        convert([](Form4& d) { test::clickCheckBox(d.Check1[1]); });
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(message), qPrintable(messages.texts[0]));
        QCOMPARE(test::readBytes(path(QStringLiteral("site.hm3"))), recording);
        QVERIFY(QFileInfo(path(QStringLiteral("sub"))).isDir());
        QCOMPARE(QDir(folder_).entryList({QStringLiteral("*.csv")}, QDir::Files), QStringList());
        verifyIdle();
        QVERIFY(form_->subWindow()->isVisible());
    }

    void changingTheModeClearsAPendingResult() {
        startOnFolder();
        click(QStringLiteral("site.hm3"));
        test::clickCheckBox(form_->Option1[1]);
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        Form4* dialog = form_->csvDialog();
        QVERIFY(dialog->isVisible());
        test::clickCheckBox(form_->Option1[0]);
        QVERIFY(dialog->isHidden());
        QCOMPARE(state_->CsvDialogResult, 0);
        // A stale result never starts a run by itself.
        state_->CsvDialogResult = 1;
        form_->activated();
        QCOMPARE(state_->CsvDialogResult, 0);
        QCOMPARE(form_->graphWindow(), nullptr);
    }

    void endButtonAndClosingEndTheProgram() {
        startOnFolder();
        QTest::mouseClick(form_->Command10, Qt::LeftButton);
        QVERIFY(frame_->isHidden());
        cleanup();
        startOnFolder();
        form_->subWindow()->close();
        QVERIFY(frame_->isHidden());
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestForm1)
#include "test_form1.moc"
