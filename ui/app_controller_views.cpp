// The app controller's views kept in files (ファイル → ビュー保存... / ビューを開く...,
// `harmograph FILE.hgview`) and the cursors that follow each other between graph windows.
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "analysis/harmdim.h"
#include "analysis/load_analysis.h"
#include "datafile/scan.h"
#include "platform/output.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/save_file_dialog.h"
#include "platform/qt/wait_cursor.h"
#include "platform/small_file.h"
#include "ui/app_controller.h"
#include "ui/graph_window.h"
#include "ui/main_frame.h"

namespace hg {

namespace {

constexpr std::size_t kMaxViewFileBytes = 1 << 20;

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromLocal(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

}  // namespace

void AppController::setCursorsSynchronised(bool on) {
    syncCursors_ = on;
    for (const QPointer<GraphWindow>& w : graphs_)
        if (w) w->setCursorsSynchronised(on);
}

void AppController::followCursor(GraphWindow* from, double dateTime) {
    if (!syncCursors_) return;
    for (const QPointer<GraphWindow>& w : graphs_)
        if (w && w != from) w->followCursorTime(dateTime);
}

bool AppController::saveView(const QString& chosen) {
    GraphWindow* main = graphs_[0];
    if (!main) return false;
    QString path = chosen;
    if (!isViewFilePath(localPath(path))) path += toQString(kViewFileExtension);
    SavedView view;
    view.recording = main->analysis()->FilePath;
    view.period = periodTextsOf(main->analysis()->AnalysisStart, main->analysis()->AnalysisEnd);
    for (const QPointer<GraphWindow>& w : graphs_)
        if (w) view.windows.push_back(w->savedView());
    const Status saved = writeWholeFile(localPath(path), viewFileText(view));
    if (!saved) tell(u"ビューを保存できませんでした: "_qs + toQString(saved.error()));
    return static_cast<bool>(saved);
}

bool AppController::openView(const QString& path) {
    auto text = readSmallRegularFile(localPath(path), kMaxViewFileBytes);
    auto read = text ? parseViewFile(*text) : Result<ReadView>{Error{text.error()}};
    if (!read) {
        tell(u"ビューを開けません: "_qs + path + u"\n"_qs + toQString(read.error()));
        return false;
    }
    if (read->newerVersion)
        tell(
            u"このビューは新しい版の harmograph で保存されています。この版で読める範囲で開きます。"_qs);
    QString recording = fromLocal(read->view.recording);
    if (!QFileInfo::exists(recording)) {
        recording = askMovedRecording(recording);
        if (recording.isEmpty()) return false;
    }
    auto scan = scanFile(localPath(recording));
    if (!scan) {
        tell(u"記録ファイルを読めません: "_qs + toQString(scan.error()));
        return false;
    }
    Recording scanned;
    applyScan(scanned, *scan);
    Result<LoadedAnalysis> loaded = Error{""};
    {
        WaitCursor wait;
        loaded = loadAnalysis(scanned, read->view.period);
    }
    if (!loaded || !loaded->analysis) {
        tell(u"ビューの期間を読めません: "_qs +
             (loaded ? u"開始が終了より後です。"_qs : toQString(loaded.error())));
        return false;
    }
    return restoreViews(read->view, std::move(loaded->analysis));
}

// The main window, then the extra ones, each with its comparison loaded (a comparison that cannot
// be read is told and left out).
bool AppController::restoreViews(const SavedView& view,
                                 const std::shared_ptr<const HARMDIM>& analysis) {
    for (std::size_t i = 0; i < view.windows.size() && i < graphs_.size(); ++i) {
        GraphWindow* window = i == 0 ? openGraphWindow(analysis) : openExtraWindow();
        if (!window) break;
        const SavedWindow& saved = view.windows[i];
        std::shared_ptr<const HARMDIM> compared;
        if (saved.comparison) {
            auto other = loadComparedPeriod(saved.comparison->recording, saved.comparison->period,
                                            *analysis);
            if (other)
                compared = *other;
            else
                tell(u"比較する期間を読めません: "_qs + toQString(other.error()));
        }
        window->restoreView(saved, compared);
    }
    if (view.windows.empty()) openGraphWindow(analysis);
    return true;
}

}  // namespace hg
