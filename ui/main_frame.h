// MainFrame "グラフ": the frame of every window. Its menus: "ウィンドウ" with the file selection
// (reachable while graph windows stay open), the next window (Ctrl+Tab) and the open windows;
// "設定" with "設定の初期化". The app controller puts the windows in it; closing it closes them
// all.
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
    QMenu* SettingsMenu;         // "設定"
    QAction* ResetSettings;      // "設定の初期化"

  signals:
    // "ファイル選択": the file-selection window is to show, the graph windows staying open.
    void fileSelectionWanted();
    // "設定の初期化": the remembered settings are to be forgotten.
    void settingsResetWanted();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillWindowMenu();
};

}  // namespace hg
