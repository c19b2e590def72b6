// AppController: the one place for the relations between the windows. It keeps the frame and the
// file-selection window; the graph windows (the main one and up to two extra ones), their tiling
// and window menus; opens the print dialog, the spectrum and compliance windows for the graph
// window that asks, with the analysis it shows and its view, and closes the spectrum and
// compliance windows with it; the CSV dialog and its answer to the file-selection window; and
// the order flags JisuFlag that the graph windows and the CSV dialog share. The windows talk to
// it through signals and know none of each other.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/order_flags.h"
#include "analysis/upstream_prediction.h"
#include "graph/view_file.h"
#include "ui/remembered_settings.h"
#include "ui/shared_orders.h"

namespace hg {

class CsvOrdersDialog;
class FileSelectionWindow;
class GraphWindow;
class MainFrame;
class PrintDialog;
struct HARMDIM;

class AppController : public QObject, public SharedOrders {
    Q_OBJECT

  public:
    AppController();
    ~AppController() override;

    MainFrame& frame() { return *frame_; }
    FileSelectionWindow& fileSelection() { return *form1_; }

    // Shows the frame, then the file-selection window on the folder of the optional path
    // argument (else the folder of the last run, else the program's own folder), both where
    // they were in the last run.
    void start(const QString& argument, const QString& programFolder);
    // Ends the program: every window closes.
    void endProgram();

    // The main graph window on a loaded analysis; the graph windows of the previous one close
    // first.
    GraphWindow* openGraphWindow(std::shared_ptr<const HARMDIM> analysis);
    // An extra graph window on the main one's analysis, tiled with the others; it takes the main
    // window's transformer once. Null without a main window or with two extra ones open.
    GraphWindow* openExtraWindow();
    // Graph window i: 0 the main one, 1 and 2 the extra ones; null when it is not open.
    GraphWindow* graphWindow(int i = 0) const;

    PrintDialog& printDialog();    // created at first use
    CsvOrdersDialog& csvDialog();  // created at first use

    // ファイル → ビュー保存...: the recording, its period and every graph window's view into a
    // view file; false after telling why.
    bool saveView(const QString& path);
    // ビューを開く... and `harmograph FILE.hgview`: loads the recording and restores its windows.
    // A recording no longer where the view says is asked for; a view of a newer program version
    // is opened as far as this one reads it, after saying so. False after telling why.
    bool openView(const QString& path);
    // Whether moving one graph window's cursor moves the others' (カーソル連動; off at first).
    bool cursorsSynchronised() const { return syncCursors_; }
    void setCursorsSynchronised(bool on);
    // Hooks replaceable by tests: the view file to save or open (empty: cancelled), the place of a
    // recording that moved (empty: cancelled), and messages.
    std::function<QString(bool save)> askViewFile;
    std::function<QString(const QString& missing)> askMovedRecording;
    std::function<void(const QString&)> tell;

    OrderFlags jisuFlag() const override;
    void setJisuFlag(const OrderFlags& flags) override;

  private:
    struct Reader {
        QPointer<GraphWindow> graph;
        QPointer<QWidget> window;
    };

    void adopt(GraphWindow* window);
    void printFor(GraphWindow* window);
    void openSpectrum(GraphWindow* window);
    void openCompliance(GraphWindow* window);
    void keepReader(GraphWindow* graph, QWidget* reader);
    void shareContractPower(const QString& kw, QObject* from);
    void takeRememberedSettings();
    void resetSettings();
    void saveSettings() const;
    void showGraphWindow(int i);
    void backToFileSelection();
    void graphWindowClosing(GraphWindow* window);
    void tileGraphWindows();
    void updateWindowEntries();
    void followCursor(GraphWindow* from, double dateTime);
    bool restoreViews(const SavedView& view, const std::shared_ptr<const HARMDIM>& analysis);

    OrderFlags JisuFlag = initialJisuFlag();
    // The unusable prediction parameters a box told last, in whichever graph window.
    std::optional<TransformerParameters> toldParameters_;
    // The contract power (kW) the graph windows' and compliance windows' boxes share.
    QString contractPower_;
    // The limit set last chosen: new graph windows start with it.
    QString limitSet_;
    // The settings of the last run, and whether this one is remembered when it ends.
    RememberedSettings remembered_;
    bool remember_ = true;
    bool ending_ = false;
    bool syncCursors_ = false;
    std::array<QPointer<GraphWindow>, 3> graphs_;
    std::vector<Reader> readers_;  // spectrum and compliance windows, by their graph window
    QPointer<PrintDialog> form3_;
    QPointer<CsvOrdersDialog> form4_;
    FileSelectionWindow* form1_ = nullptr;
    // Last: deleted first, with every window in it, while the rest is still there.
    std::unique_ptr<MainFrame> frame_;
};

}  // namespace hg
