#include "ui/start_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace hg {

namespace {

bool hasDriveLetter(const QString& path) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:/"));
    return drive.match(path).hasMatch();
}

// A root keeps its separator ("/", "C:/"); any other folder loses a trailing one.
QString tidyFolder(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')) &&
           !(folder.size() == 3 && hasDriveLetter(folder)))
        folder.chop(1);
    return folder;
}

}  // namespace

QString startFolderOf(const QString& argument, const QString& programFolder) {
    QString path = argument.trimmed();
    if (path.startsWith(QLatin1Char('"'))) path.remove(0, 1);
    if (path.endsWith(QLatin1Char('"'))) path.chop(1);
    path = path.trimmed();
    if (path.isEmpty()) return tidyFolder(QDir::fromNativeSeparators(programFolder));
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));

    if (hasDriveLetter(path)) {
        // A drive-letter path: its folder is everything before the last separator.
        return tidyFolder(path.left(path.lastIndexOf(QLatin1Char('/')) + 1));
    }
    const QFileInfo info(path);
    if (info.isDir()) return tidyFolder(QDir::cleanPath(info.absoluteFilePath()));
    return tidyFolder(QDir::cleanPath(info.absolutePath()));
}

}  // namespace hg
