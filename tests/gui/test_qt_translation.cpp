// The application as every run prepares it: Qt's own dialogs speak Japanese, the save dialog's
// columns too.
#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "app/gui_main.h"
#include "gui_support.h"
#include "platform/qt/save_file_dialog.h"

namespace hg {

class TestQtTranslation : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void qtsOwnButtonsAreJapanese() {
        QMessageBox box(QMessageBox::Warning, u"印刷設定"_s, u"試験"_s,
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), u"キャンセル"_s);
        QDialogButtonBox buttons(QDialogButtonBox::Close);
        QCOMPARE(buttons.button(QDialogButtonBox::Close)->text(), u"閉じる"_s);
        // The page set-up dialog's texts come from the same translation.
        QCOMPARE(QCoreApplication::translate("QPageSetupWidget", "Portrait"),
                 u"縦 (ポートレート)"_s);
    }

    // The save dialog's headers and columns: a folder, a file's size, type and date.
    void saveDialogColumnsAreJapanese() {
        const auto dir = test::scratchFolder(u"dialog"_s);
        QDir(dir->path()).mkdir(u"sub"_s);
        QImage(40, 40, QImage::Format_RGB32).save(dir->filePath(u"a.png"_s));
        test::writeBytes(dir->filePath(u"b.csv"_s), QByteArray(3000, 'x'));
        const auto dialog = saveFileDialog(nullptr, u"保存"_s, u"すべて (*)"_s, dir->path());
        QAbstractProxyModel* columns = dialog->proxyModel();
        QVERIFY(columns);
        QStringList headers;
        for (int c = 0; c < 4; ++c) headers << columns->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{u"名前"_s, u"サイズ"_s, u"タイプ"_s, u"更新日"_s}));
        const auto* files = qobject_cast<QFileSystemModel*>(columns->sourceModel());
        QVERIFY(files);
        const auto cells = [&](const QString& name) {
            QStringList texts;
            for (int c = 1; c < 4; ++c)
                texts << columns->mapFromSource(files->index(dir->filePath(name), c))
                             .data()
                             .toString();
            return texts;
        };
        QTRY_COMPARE(cells(u"sub"_s).mid(0, 2), (QStringList{QString(), u"フォルダー"_s}));
        QTRY_COMPARE(cells(u"a.png"_s)[1], u"PNG 画像"_s);
        QCOMPARE(cells(u"b.csv"_s)[0], u"2.9 KB"_s);
        static const QRegularExpression date(u"^\\d{4}/\\d\\d/\\d\\d \\d{1,2}:\\d\\d$"_s);
        QVERIFY2(date.match(cells(u"b.csv"_s)[2]).hasMatch(), qPrintable(cells(u"b.csv"_s)[2]));
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestQtTranslation)
#include "test_qt_translation.moc"
