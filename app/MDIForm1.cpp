#include "app/MDIForm1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/Form1.h"

namespace hg {

MDIForm1::MDIForm1(HARMDIM& state, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("グラフ"));
    mdiArea = new QMdiArea(this);
    setCentralWidget(mdiArea);
    WindowMenu = menuBar()->addMenu(QStringLiteral("ウィンドウ"));
    connect(WindowMenu, &QMenu::aboutToShow, this, &MDIForm1::fillWindowMenu);
    form1 = new Form1(state, mdiArea);
    connect(form1, &Form1::endRequested, this, &MDIForm1::endProgram);
    resize(1000, 700);
}

void MDIForm1::start(const QString& argument, const QString& programFolder) {
    form1->start(argument, programFolder);
    form1->subWindow()->resize(form1->sizeHint().expandedTo(QSize(820, 560)));
}

void MDIForm1::fillWindowMenu() {
    WindowMenu->clear();
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

void MDIForm1::endProgram() {
    if (ending_) return;
    close();
    QCoreApplication::exit(0);
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    ending_ = true;
    mdiArea->closeAllSubWindows();
    event->accept();
}

}  // namespace hg
