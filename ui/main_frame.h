// MainFrame "グラフ": the frame of every window, with the one menu "ウィンドウ": the file
// selection (reachable while graph windows stay open), the next window (Ctrl+Tab) and the open
// windows. The app controller
// puts the windows in it; closing it closes them all.
#pragma once

#include <QMainWindow>

class QMdiArea;
class QMenu;

namespace hg {

class MainFrame : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainFrame(QWidget* parent = nullptr);

    QMdiArea* mdiArea;
    QMenu* WindowMenu;           // "ウィンドウ"
    QAction* ShowFileSelection;  // "ファイル選択"
    QAction* NextWindow;         // "次のウィンドウ", Ctrl+Tab

  signals:
    // "ファイル選択": the file-selection window is to show, the graph windows staying open.
    void fileSelectionWanted();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillWindowMenu();
};

}  // namespace hg
