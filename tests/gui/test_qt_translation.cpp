// The application as every run prepares it: Qt's own dialogs speak Japanese.
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/gui_main.h"

using namespace Qt::StringLiterals;

namespace hg {

class TestQtTranslation : public QObject {
    Q_OBJECT

  private slots:
    void qtsOwnButtonsAreJapanese() {
        prepareApplication(*qApp);
        QMessageBox box(QMessageBox::Warning, u"印刷設定"_s, u"試験"_s,
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), u"キャンセル"_s);
        QDialogButtonBox buttons(QDialogButtonBox::Close);
        QCOMPARE(buttons.button(QDialogButtonBox::Close)->text(), u"閉じる"_s);
        // The page set-up dialog's texts come from the same translation.
        QCOMPARE(QCoreApplication::translate("QPageSetupWidget", "Portrait"),
                 u"縦 (ポートレート)"_s);
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestQtTranslation)
#include "test_qt_translation.moc"
