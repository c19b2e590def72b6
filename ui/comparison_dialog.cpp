#include "ui/comparison_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace hg {

std::optional<std::pair<std::string, std::string>> periodEndOf(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::pair<std::string, std::string>{};
    static const QRegularExpression form(u"^(\\d\\d/\\d\\d/\\d\\d) +(\\d\\d:\\d\\d)$"_qs);
    const QRegularExpressionMatch m = form.match(t);
    if (!m.hasMatch()) return std::nullopt;
    return std::pair{m.captured(1).toStdString(), m.captured(2).toStdString()};
}

std::optional<ComparedPeriodAsked> askComparedPeriod(QWidget* parent, const QString& recording) {
    QDialog dialog(parent);
    dialog.setWindowTitle(u"比較期間"_qs);
    auto* form = new QFormLayout(&dialog);
    auto* file = new QLineEdit(recording, &dialog);
    auto* browse = new QPushButton(u"参照..."_qs, &dialog);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file, 1);
    fileRow->addWidget(browse);
    form->addRow(u"記録ファイル"_qs, fileRow);
    auto* start = new QLineEdit(&dialog);
    auto* end = new QLineEdit(&dialog);
    start->setPlaceholderText(u"yy/mm/dd hh:mm（空欄: 最初の記録）"_qs);
    end->setPlaceholderText(u"yy/mm/dd hh:mm（空欄: 最後の記録）"_qs);
    form->addRow(u"開始"_qs, start);
    form->addRow(u"終了"_qs, end);
    auto* byDay = new QRadioButton(u"時刻で合わせる（日と日）"_qs, &dialog);
    auto* byWeek = new QRadioButton(u"曜日で合わせる（週と週）"_qs, &dialog);
    byDay->setChecked(true);
    form->addRow(u"合わせ方"_qs, byDay);
    form->addRow(QString(), byWeek);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"ｷｬﾝｾﾙ"_qs);
    form->addRow(buttons);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString chosen =
            QFileDialog::getOpenFileName(&dialog, u"比較する記録"_qs, file->text());
        if (!chosen.isEmpty()) file->setText(chosen);
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (!periodEndOf(start->text()) || !periodEndOf(end->text()))
            QMessageBox::warning(&dialog, u"比較期間"_qs,
                                 u"開始と終了は yy/mm/dd hh:mm の形で入力してください。"_qs);
        else
            dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    ComparedPeriodAsked asked;
    asked.recording = file->text().trimmed();
    std::tie(asked.period.startDate, asked.period.startTime) = *periodEndOf(start->text());
    std::tie(asked.period.endDate, asked.period.endTime) = *periodEndOf(end->text());
    asked.alignment = byWeek->isChecked() ? Alignment::Week : Alignment::Day;
    return asked;
}

}  // namespace hg
