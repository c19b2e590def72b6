// MainFrame "グラフ": the frame of every window, with the one menu "ウィンドウ" listing the open
// windows. The file-selection window FileSelectionWindow lives in it from the start; the frame
// holds the order table the windows share, the print dialog every graph window's print command
// opens, and opens the compliance windows the graph windows ask for.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "analysis/order_flags.h"

class QMdiArea;
class QMenu;

namespace hg {

class FileSelectionWindow;
class GraphWindow;
class PrintDialog;

class MainFrame : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainFrame(QWidget* parent = nullptr);

    // Shows the frame, then opens FileSelectionWindow in it on the folder of the optional path
    // argument (or the program's own folder).
    void start(const QString& argument, const QString& programFolder);

    // Ends the program: every window closes.
    void endProgram();

    // The print dialog, created at its first use; opened for the graph window that asked.
    PrintDialog& printDialog();
    void printFor(GraphWindow* window);
    // The compliance window "適合判定" for a graph window's analysis, channel and limit set.
    void complianceFor(GraphWindow* window);
    // A main graph window opened on the frame: its print commands (and its extra windows')
    // open the print dialog.
    void adoptGraphWindow(GraphWindow* window);

    QMdiArea* mdiArea;
    QMenu* WindowMenu;  // "ウィンドウ"
    FileSelectionWindow* form1;
    // The orders the graph windows store on every draw and the CSV dialog opens with.
    OrderFlags JisuFlag = initialJisuFlag();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillWindowMenu();

    bool ending_ = false;
    QPointer<PrintDialog> form3_;
};

}  // namespace hg
