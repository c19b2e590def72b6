// Helpers of the window tests: a scratch folder, recordings written by the sample generator,
// captured message boxes and real clicks on list entries.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "datafile/synth.h"
#include "platform/dates.h"
#include "platform/qt/message_box.h"

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

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
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
    QStringList texts;
};

// The names the list view shows under its root, once the model has listed the folder.
inline QStringList listedNames(QAbstractItemView* view) {
    QStringList names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names << view->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

// The index of `name` in the view once it is listed and laid out (empty after a timeout).
inline QModelIndex waitForEntry(QAbstractItemView* view, const QString& name) {
    QModelIndex found;
    (void)QTest::qWaitFor([&] {
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            const QModelIndex index = view->model()->index(row, 0, root);
            if (index.data().toString() == name && view->visualRect(index).isValid()) {
                found = index;
                return true;
            }
        }
        return false;
    });
    return found;
}

// A real mouse click (or double click) on the entry `name` of the view.
inline bool clickEntry(QAbstractItemView* view, const QString& name, bool doubleClick = false) {
    const QModelIndex index = waitForEntry(view, name);
    if (!index.isValid()) return false;
    view->scrollTo(index);
    const QPoint centre = view->visualRect(index).center();
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
