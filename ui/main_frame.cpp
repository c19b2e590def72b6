#include "ui/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace hg {

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("グラフ"));
    mdiArea = new QMdiArea(this);
    setCentralWidget(mdiArea);
    SettingsMenu = menuBar()->addMenu(QStringLiteral("設定"));
    ResetSettings = SettingsMenu->addAction(QStringLiteral("設定の初期化"));
    connect(ResetSettings, &QAction::triggered, this, &MainFrame::settingsResetWanted);
    WindowMenu = menuBar()->addMenu(QStringLiteral("ウィンドウ"));
    ShowFileSelection = new QAction(QStringLiteral("ファイル選択"), this);
    connect(ShowFileSelection, &QAction::triggered, this, &MainFrame::fileSelectionWanted);
    NextWindow = new QAction(QStringLiteral("次のウィンドウ"), this);
    NextWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    addAction(NextWindow);  // the key works while the menu is closed
    connect(NextWindow, &QAction::triggered, mdiArea, &QMdiArea::activateNextSubWindow);
    connect(WindowMenu, &QMenu::aboutToShow, this, &MainFrame::fillWindowMenu);
    resize(1000, 700);
}

void MainFrame::fillWindowMenu() {
    WindowMenu->clear();
    WindowMenu->addAction(ShowFileSelection);
    WindowMenu->addAction(NextWindow);
    WindowMenu->addSeparator();
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (!window->isVisible()) continue;
        QAction* entry = WindowMenu->addAction(window->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(window == mdiArea->activeSubWindow());
        connect(entry, &QAction::triggered, this,
                [this, window] { mdiArea->setActiveSubWindow(window); });
    }
}

void MainFrame::closeEvent(QCloseEvent* event) {
    mdiArea->closeAllSubWindows();
    event->accept();
}

}  // namespace hg
