#include "ui/compliance_window_meta.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <functional>

#include "platform/qt/qt_text.h"

namespace hg {

namespace {

QSettings metaSettings() {
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         u"/harmograph/report-meta.ini"_qs,
                     QSettings::IniFormat);
}

// A settings group per recording: its path with the separators the settings file keeps apart.
QString groupOf(const QString& path) {
    return QString::fromLatin1(path.toUtf8().toBase64(QByteArray::Base64UrlEncoding));
}

}  // namespace

ReportMeta rememberedMeta(const QString& path) {
    QSettings settings = metaSettings();
    settings.beginGroup(groupOf(path));
    ReportMeta meta;
    for (const MetaField& f : kMetaFields)
        meta.*(f.member) = settings.value(toQString(f.key)).toString().toStdString();
    return meta;
}

void rememberMeta(const QString& path, const ReportMeta& meta) {
    QSettings settings = metaSettings();
    settings.beginGroup(groupOf(path));
    for (const MetaField& f : kMetaFields)
        settings.setValue(toQString(f.key), toQString(meta.*(f.member)));
}

QDialog* openMetaDialog(QWidget* parent, const ReportMeta& meta,
                        std::function<void(const ReportMeta&)> accepted) {
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(u"記録の情報"_qs);
    auto* form = new QFormLayout(dialog);
    std::vector<QLineEdit*> boxes;
    for (const MetaField& f : kMetaFields) {
        auto* box = new QLineEdit(toQString(meta.*(f.member)), dialog);
        box->setObjectName(toQString(f.key));
        form->addRow(toQString(f.label), box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [=] {
        ReportMeta edited;
        for (std::size_t i = 0; i < kMetaFields.size(); ++i)
            edited.*(kMetaFields[i].member) = boxes[i]->text().toStdString();
        accepted(edited);
        dialog->accept();
    });
    dialog->open();
    return dialog;
}

}  // namespace hg
