// "ﾌﾟﾘﾝﾀ設定": the page set-up of the printed sheets, the paper (A4, A3, B4 (JIS), B5 (JIS),
// Letter) and its orientation. It asks the print server nothing; the sheet keeps its own margins,
// so none are offered.
#pragma once

#include <QDialog>

#include "platform/paper.h"

class QComboBox;
class QRadioButton;

namespace hg {

class PageSetupDialog : public QDialog {
    Q_OBJECT

  public:
    PageSetupDialog(const PageSetup& setup, QWidget* parent = nullptr);
    PageSetup setup() const;

    QComboBox* PaperBox = nullptr;
    QRadioButton* Portrait = nullptr;
    QRadioButton* Landscape = nullptr;
};

// Opens the dialog modally on `setup`; true (and `setup` changed) when it was accepted.
bool askPageSetup(QWidget* parent, PageSetup& setup);

}  // namespace hg
