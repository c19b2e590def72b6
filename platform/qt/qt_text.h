// UTF-8 text of the core as a QString, for the windows and the Qt canvas.
#pragma once

#include <QString>
#include <string_view>

namespace hg {

inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace hg
