#include "graph/Form2.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "analysis/harmdim.h"
#include "datafile/record_format.h"

namespace hg {

Form2::Form2(HARMDIM& state, QMdiArea* area) : state_(state), area_(area) {
    setWindowTitle(QString::fromStdString(std::string(baseName(state.FilePath))));
    Label1 = new QLabel(this);
    Label1->setText(QStringLiteral("レコード数: %1 / %2\nチャンネル数: %3\n次数: %4")
                        .arg(state.LoadedRecords)
                        .arg(state.PeriodRecords + 1)
                        .arg(state.ChannelCount)
                        .arg(state.MaxOrderIndex + 1));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    QMdiSubWindow* frame = area_->addSubWindow(this);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->resize(480, 320);
}

void Form2::showWindow() {
    parentWidget()->show();
    area_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(parentWidget()));
}

void Form2::closeEvent(QCloseEvent* event) {
    state_.LoadedRecords = 0;
    event->accept();
    emit closed();
}

}  // namespace hg
