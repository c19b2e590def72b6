#include "ui/main_frame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "analysis/harmdim.h"
#include "print/print_page.h"
#include "ui/compliance_window.h"
#include "ui/file_selection_window.h"
#include "ui/graph_window.h"
#include "ui/print_dialog.h"

namespace hg {

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("グラフ"));
    mdiArea = new QMdiArea(this);
    setCentralWidget(mdiArea);
    WindowMenu = menuBar()->addMenu(QStringLiteral("ウィンドウ"));
    connect(WindowMenu, &QMenu::aboutToShow, this, &MainFrame::fillWindowMenu);
    form1 = new FileSelectionWindow(JisuFlag, mdiArea);
    connect(form1, &FileSelectionWindow::endRequested, this, &MainFrame::endProgram);
    connect(form1, &FileSelectionWindow::graphWindowOpened, this, &MainFrame::adoptGraphWindow);
    resize(1000, 700);
}

void MainFrame::start(const QString& argument, const QString& programFolder) {
    // The frame first: a message about the start-up folder appears over it.
    show();
    form1->start(argument, programFolder);
    form1->subWindow()->resize(form1->sizeHint().expandedTo(QSize(820, 560)));
}

void MainFrame::fillWindowMenu() {
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

void MainFrame::adoptGraphWindow(GraphWindow* window) {
    connect(window, &GraphWindow::printRequested, this, &MainFrame::printFor);
    connect(window, &GraphWindow::complianceRequested, this, &MainFrame::complianceFor);
}

void MainFrame::complianceFor(GraphWindow* window) {
    if (!window || !window->analysis()) return;
    auto* compliance =
        new ComplianceWindow(complianceSourceOf(*window->analysis()), window->limitCatalogue(),
                             window->selection().channel());
    // The window reads the loaded tables: they stay while it is open.
    connect(compliance, &QObject::destroyed, this, [keep = window->analysis()] { (void)keep; });
    if (const LimitSet* set = window->limitSet()) {
        const int i = compliance->Combo1->findText(QString::fromStdString(set->name));
        if (i >= 0 && i != compliance->Combo1->currentIndex()) {
            compliance->Combo1->setCurrentIndex(i);
            emit compliance->Combo1->activated(i);
        }
    }
    QMdiSubWindow* frame = mdiArea->addSubWindow(compliance);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowTitle(compliance->windowTitle());
    frame->resize(760, 520);
    frame->show();
    mdiArea->setActiveSubWindow(frame);
    window->adoptReader(compliance);
}

PrintDialog& MainFrame::printDialog() {
    if (!form3_) form3_ = new PrintDialog(this);
    return *form3_;
}

void MainFrame::printFor(GraphWindow* window) {
    if (!window || !window->analysis()) return;
    const HARMDIM& analysis = *window->analysis();
    PrintDialog& dialog = printDialog();
    // The set print is offered unless the window shows per-phase voltage or an unbalance item.
    dialog.Command3->setEnabled(window->selection().setPrintEnabled());
    dialog.openFor(window->analysis(),
                   printSourceOf(analysis, window->view(), window->Text1->text().toStdString()));
}

void MainFrame::endProgram() {
    if (ending_) return;
    close();
    QCoreApplication::exit(0);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    ending_ = true;
    mdiArea->closeAllSubWindows();
    event->accept();
}

}  // namespace hg
