#include "platform/qt/csv_save_dialog.h"

#include <QFileDialog>

#include "platform/qt/save_file_dialog.h"

namespace hg {

namespace {

// The type chosen last in the run (code page 932 until one is chosen).
TextEncoding& lastChoice() {
    static TextEncoding chosen = TextEncoding::Cp932;
    return chosen;
}

}  // namespace

QString csvFileType(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? QStringLiteral("CSV (UTF-8) (*.csv)")
                                          : QStringLiteral("CSV (Shift_JIS) (*.csv)");
}

std::optional<CsvTarget> askCsvTarget(QWidget* parent, const QString& caption) {
    const auto dialog = saveFileDialog(
        parent, caption,
        csvFileType(TextEncoding::Cp932) + QStringLiteral(";;") + csvFileType(TextEncoding::Utf8));
    dialog->selectNameFilter(csvFileType(lastChoice()));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    lastChoice() = dialog->selectedNameFilter() == csvFileType(TextEncoding::Utf8)
                       ? TextEncoding::Utf8
                       : TextEncoding::Cp932;
    return CsvTarget{dialog->selectedFiles().first(), lastChoice()};
}

}  // namespace hg
