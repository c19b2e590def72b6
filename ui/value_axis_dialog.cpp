#include "ui/value_axis_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "graph/cursor_readout.h"
#include "platform/qt/qt_text.h"

namespace hg {

std::optional<AxisByHand> askValueAxis(QWidget* parent, const ValueAxis& shown) {
    QDialog dialog(parent);
    dialog.setWindowTitle(u"値軸の設定"_qs);
    auto* form = new QFormLayout(&dialog);
    auto* low = new QLineEdit(toQString(readoutNumber(shown.low)), &dialog);
    auto* high = new QLineEdit(toQString(readoutNumber(shown.top)), &dialog);
    auto* step = new QLineEdit(toQString(readoutNumber(shown.unit)), &dialog);
    form->addRow(u"下限"_qs, low);
    form->addRow(u"上限"_qs, high);
    form->addRow(u"目盛間隔"_qs, step);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"ｷｬﾝｾﾙ"_qs);
    form->addRow(buttons);
    std::optional<AxisByHand> chosen;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        auto axis = axisByHand(low->text().toStdString(), high->text().toStdString(),
                               step->text().toStdString());
        if (!axis) {
            QMessageBox::warning(&dialog, u"値軸の設定"_qs, toQString(axis.error()));
            return;
        }
        chosen = *axis;
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return chosen;
}

}  // namespace hg
