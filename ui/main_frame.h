// MainFrame "グラフ": the frame of every window, with the one menu "ウィンドウ" listing the open
// windows. The app controller puts the windows in it; closing it closes them all.
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
    QMenu* WindowMenu;  // "ウィンドウ"

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillWindowMenu();
};

}  // namespace hg
