// The save dialog of every window: Qt's own file dialog (the same on every desktop), its columns
// in Japanese like the rest of the program: file sizes in バイト / KB / MB, dates as yyyy/MM/dd
// hh:mm, folders as フォルダー and file types from the MIME database in Japanese.
#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace hg {

// The dialog asking where to save, opening in `folder` (the one Qt visited last when empty).
std::unique_ptr<QFileDialog> saveFileDialog(QWidget* parent, const QString& caption,
                                            const QString& filter, const QString& folder = {});

// Shows that dialog; the chosen path, or empty when cancelled.
QString askSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& folder = {});

}  // namespace hg
