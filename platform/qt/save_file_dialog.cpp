#include "platform/qt/save_file_dialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace hg {

namespace {

// The file system model's size, type and date columns, written the Japanese way whatever the
// system's locale (the model writes them in the system's).
class JapaneseColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() == 0)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        switch (index.column()) {
            case 1:
                return info.isDir() ? QString()
                                    : japanese.formattedDataSize(
                                          info.size(), 1, QLocale::DataSizeTraditionalFormat);
            case 2:
                return files->type(source);
            case 3:
                return info.lastModified().toString(QStringLiteral("yyyy/MM/dd H:mm"));
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }
};

}  // namespace

std::unique_ptr<QFileDialog> saveFileDialog(QWidget* parent, const QString& caption,
                                            const QString& filter, const QString& folder) {
    auto dialog = std::make_unique<QFileDialog>(parent, caption, folder, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setProxyModel(new JapaneseColumns(dialog.get()));
    return dialog;
}

QString askSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& folder) {
    const auto dialog = saveFileDialog(parent, caption, filter, folder);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().first();
}

}  // namespace hg
