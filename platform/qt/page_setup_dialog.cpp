#include "platform/qt/page_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>

namespace hg {

PageSetupDialog::PageSetupDialog(const PageSetup& setup, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀ設定"));
    PaperBox = new QComboBox(this);
    for (const PaperInfo& p : paperList()) {
        PaperBox->addItem(QString::fromUtf8(p.caption.data(), static_cast<int>(p.caption.size())),
                          static_cast<int>(p.paper));
        if (p.paper == setup.paper) PaperBox->setCurrentIndex(PaperBox->count() - 1);
    }
    Portrait = new QRadioButton(QStringLiteral("縦"), this);
    Landscape = new QRadioButton(QStringLiteral("横"), this);
    (setup.landscape ? Landscape : Portrait)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(Portrait);
    orientation->addWidget(Landscape);
    orientation->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("用紙"), PaperBox);
    form->addRow(QStringLiteral("用紙方向"), orientation);
    form->addRow(buttons);
}

PageSetup PageSetupDialog::setup() const {
    return PageSetup{static_cast<Paper>(PaperBox->currentData().toInt()), Landscape->isChecked()};
}

bool askPageSetup(QWidget* parent, PageSetup& setup) {
    PageSetupDialog dialog(setup, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    setup = dialog.setup();
    return true;
}

}  // namespace hg
