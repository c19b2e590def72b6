// The save dialog of every CSV a window writes: where, and in which code page, chosen by the file
// type: "CSV (Shift_JIS) (*.csv)" (code page 932, offered first) or "CSV (UTF-8) (*.csv)" (UTF-8
// with its byte-order mark). Each dialog opens on the type chosen last in the run.
#pragma once

#include <QString>
#include <optional>

#include "platform/textcode.h"

class QWidget;

namespace hg {

struct CsvTarget {
    QString path;
    TextEncoding encoding = TextEncoding::Cp932;
};

// The file type offering an encoding.
QString csvFileType(TextEncoding encoding);

// Asks where to save a CSV; none when cancelled.
std::optional<CsvTarget> askCsvTarget(QWidget* parent, const QString& caption);

}  // namespace hg
