// Helpers of the window tests: a scratch folder, recordings written by the sample generator and
// loaded as Execute loads them, captured message boxes, one-line data rows and real clicks.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "analysis/harmdim.h"
#include "analysis/load_analysis.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "platform/dates.h"
#include "platform/qt/message_box.h"
#include "ui/app_controller.h"
#include "ui/main_frame.h"
#include "ui/remembered_settings.h"

using namespace Qt::StringLiterals;

namespace hg::test {

// A fresh folder under $HARMO_TMP (or the system's temporary folder), removed at the end.
inline std::unique_ptr<QTemporaryDir> scratchFolder(const QString& stem) {
    const QString base = qEnvironmentVariable("HARMO_TMP", QDir::tempPath());
    QDir().mkpath(base);
    auto dir = std::make_unique<QTemporaryDir>(base + QLatin1Char('/') + stem + "-XXXXXX");
    dir->setAutoRemove(true);
    return dir;
}

// Writes a recording named `name` into `folder`: `records` records every `interval` minutes
// from 2019-05-29 (a Wednesday) at `startMinute`.
inline QString writeSample(const QString& folder, const QString& name, int64_t records = 144,
                           int interval = 10, int startMinute = 0) {
    const QString path = folder + QLatin1Char('/') + name;
    SynthOptions options;
    options.records = records;
    options.intervalMinutes = interval;
    options.start = dateTime(*dayNumber(2019, 5, 29), startMinute);
    const Status written = writeSynth(QFile::encodeName(path).toStdString(), options);
    if (!written) qFatal("writeSynth %s: %s", qPrintable(path), written.error().c_str());
    return path;
}

// Writes a recording and loads all of it into `state` as graph-mode Execute does.
inline bool loadSample(HARMDIM& state, const QString& folder, const QString& name,
                       int64_t records) {
    const std::string path = QFile::encodeName(writeSample(folder, name, records)).toStdString();
    auto scan = scanFile(path);
    if (!scan) return false;
    Recording scanned;
    applyScan(scanned, *scan);
    const PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
    auto loaded = loadAnalysis(scanned, texts);
    if (!loaded || !loaded->analysis) return false;
    state = std::move(*loaded->analysis);
    return true;
}

// The remembered settings of the test's runs: in a scratch folder of its own (never the user's),
// empty when a run starts.
inline void freshSettings() {
    static const std::unique_ptr<QTemporaryDir> store = scratchFolder(u"settings"_s);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store->path());
    forgetRememberedSettings();
}

// The program's controller as a run without remembered settings starts it.
inline std::unique_ptr<AppController> newApp() {
    freshSettings();
    return std::make_unique<AppController>();
}

// The program's windows (the app controller and its frame, shown), as those of a test live in.
struct MdiFrame {
    std::unique_ptr<AppController> app;
    QMdiArea* area = nullptr;

    bool open() {
        app = newApp();
        app->frame().resize(1280, 800);
        app->frame().show();
        area = app->frame().mdiArea;
        return QTest::qWaitForWindowExposed(&app->frame());
    }
    void close() { app.reset(); }
};

// One row of a data-driven test on one line.
template <typename... Values>
void row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

// Picks `text` in a list box as a user does.
inline void choose(QComboBox* combo, const QString& text) {
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The user's limit-set folder under `folder` (XDG_CONFIG_HOME points there), holding the voltage
// set "t-volt" (total 0.5 %, order 3 0.2 %, order 5 0.3 %); returns the folder.
inline QString userLimitSets(const QString& folder) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + u"/config"_s));
    const QString limits = folder + u"/config/harmograph/limits"_s;
    QDir().mkpath(limits);
    writeBytes(limits + u"/t.json"_s,
               R"({"name": "t-volt", "title": "試験", "source": "s", "edition": "e",
                   "check": "c", "quantity": "voltage_distortion", "total": 0.5,
                   "orders": {"3": 0.2, "5": 0.3}})");
    return limits;
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Answers the next save dialog as a user does: picks the file type `type` (keeps the one it
// opened on when empty), types the name `path` and clicks the save button once it can be
// clicked; `openedOn` receives the type the dialog opened on.
inline void answerSaveDialog(const QString& path, const QString& type = {},
                             QString* openedOn = nullptr) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QFileDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
        if (!dialog) return;  // not shown yet
        auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
        if (name->text() != path) {
            if (openedOn) *openedOn = dialog->selectedNameFilter();
            if (!type.isEmpty()) dialog->selectNameFilter(type);
            name->setText(path);
        }
        QPushButton* save = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
        if (!save->isEnabled()) return;  // the folder is still being read
        poll->stop();
        poll->deleteLater();
        QTest::mouseClick(save, Qt::LeftButton);
    });
    poll->start(10);
}

// Captures the message boxes for the lifetime of the object.
class Messages {
  public:
    Messages() {
        setMessageHook([this](const QString& text, MessageKind) { texts << text; });
    }
    ~Messages() { setMessageHook({}); }
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;
    // Exactly one message so far, holding `part`; none at all when `part` is empty.
    void expect(const QString& part = {}) const {
        QVERIFY2(part.isEmpty() ? texts.isEmpty() : texts.size() == 1 && texts[0].contains(part),
                 qPrintable(texts.join(QLatin1Char('\n'))));
    }
    QStringList texts;
};

// The entries the view lists under its root.
inline QModelIndexList entries(QAbstractItemView* view) {
    QModelIndexList list;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        list << view->model()->index(row, 0, root);
    return list;
}

inline QStringList listedNames(QAbstractItemView* view) {
    QStringList names;
    for (const QModelIndex& index : entries(view)) names << index.data().toString();
    names.sort();
    return names;
}

// A real mouse click (or double click) on the entry `name` once it is listed and laid out.
inline bool clickEntry(QAbstractItemView* view, const QString& name, bool doubleClick = false) {
    QModelIndex found;
    (void)QTest::qWaitFor([&] {
        for (const QModelIndex& index : entries(view))
            if (index.data().toString() == name && view->visualRect(index).isValid()) found = index;
        return found.isValid();
    });
    if (!found.isValid()) return false;
    view->scrollTo(found);
    const QPoint centre = view->visualRect(found).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    if (doubleClick) QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    return true;
}

// A real click on a check box's or option button's indicator and caption (a button stretched by
// its layout does not react to a click on its empty part).
inline void clickCheckBox(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    const QRect hit = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonClickRect : QStyle::SE_CheckBoxClickRect, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, {}, hit.center());
}

}  // namespace hg::test
