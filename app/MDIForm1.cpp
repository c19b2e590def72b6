#include "app/MDIForm1.h"

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
#include "app/Form1.h"
#include "graph/Form2.h"
#include "print/Form3.h"
#include "print/Form5.h"
#include "print/print_page.h"

namespace hg {

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("グラフ"));
    mdiArea = new QMdiArea(this);
    setCentralWidget(mdiArea);
    WindowMenu = menuBar()->addMenu(QStringLiteral("ウィンドウ"));
    connect(WindowMenu, &QMenu::aboutToShow, this, &MDIForm1::fillWindowMenu);
    form1 = new Form1(JisuFlag, mdiArea);
    connect(form1, &Form1::endRequested, this, &MDIForm1::endProgram);
    connect(form1, &Form1::graphWindowOpened, this, &MDIForm1::adoptGraphWindow);
    resize(1000, 700);
}

void MDIForm1::start(const QString& argument, const QString& programFolder) {
    // The frame first: a message about the start-up folder appears over it.
    show();
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

void MDIForm1::adoptGraphWindow(Form2* window) {
    connect(window, &Form2::printRequested, this, &MDIForm1::printFor);
    connect(window, &Form2::complianceRequested, this, &MDIForm1::complianceFor);
}

void MDIForm1::complianceFor(Form2* window) {
    if (!window || !window->analysis()) return;
    auto* compliance = new Form5(complianceSourceOf(*window->analysis()), window->limitCatalogue(),
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

Form3& MDIForm1::printDialog() {
    if (!form3_) form3_ = new Form3(this);
    return *form3_;
}

void MDIForm1::printFor(Form2* window) {
    if (!window || !window->analysis()) return;
    const HARMDIM& analysis = *window->analysis();
    Form3& dialog = printDialog();
    // The set print is offered unless the window shows per-phase voltage or an unbalance item.
    dialog.Command3->setEnabled(window->selection().setPrintEnabled());
    dialog.openFor(window->analysis(),
                   printSourceOf(analysis, window->view(), window->Text1->text().toStdString()));
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
