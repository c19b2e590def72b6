// The folder the file-selection window opens at start: the folder of the optional path argument
// (quoted or not, "\" or "/" separators; the file itself is not selected), or the program's own
// folder when there is no argument.
#pragma once

#include <QString>

namespace hg {

// The folder of `argument` with "/" separators and no trailing separator (except a root such as
// "/" or "C:/"). An argument naming an existing folder is that folder; a relative one is taken
// from the working folder. Whether the folder exists is not checked otherwise.
QString startFolderOf(const QString& argument, const QString& programFolder);

}  // namespace hg
