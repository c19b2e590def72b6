// CsvOrdersDialog "ＣＳＶファイル出力次数": the CSV output dialog. The user picks the harmonic
// orders (25 boxes showing one page of ten orders per row, odd or even) and the optional items; OK
// answers with the choices (`confirmed`), and the file-selection window runs the conversion with
// them. Created once and then only hidden and shown, so the choices stay for the rest of the run.
//
// Order box i (0..24) of page v stands for JisuFlag entry 10·v + 2·i (+1 in even mode), i.e.
// order 10·(v + i div 5) + 2·(i mod 5) + 1 (+1 in even mode). Box values are 0, 1 and 2 (grey:
// not available; orders 257..260).
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

#include "csv/csv_writer.h"
#include "datafile/record_format.h"
#include "ui/shared_orders.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace hg {

class CsvOrdersDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog edits the orders the application shares with the graph windows.
    explicit CsvOrdersDialog(SharedOrders& orders, QWidget* parent = nullptr);

    // Activation: prepares the dialog for the selected file's kind (the optional items, the pages,
    // Check4 and Check5) and shows it, not modal.
    void showFor(const FileKind& kind);

    // The values of the 25 order boxes as shown (first page for kinds other than "hh"/"hn").
    std::array<int16_t, 25> boxValues() const;

    // The choices the conversion reads after OK: the shown boxes (the first page for kinds other
    // than "hh"/"hn"), the order table and the optional items.
    CsvOptions csvOptions() const;

    // Controls.
    QLabel* Label1;  // "ＣＳＶファイルへの出力項目をチェックして下さい。"
    QLabel* Label2;  // "･高調波次数"
    std::array<QLabel*, 5> Label4{};            // column headings
    std::array<QCheckBox*, 25> Check1{};        // order boxes, 5 rows by 5 columns
    QScrollBar* VScroll1;                       // page 0..21, one unit = one row of ten orders
    QCheckBox* Check3;                          // "偶数次"
    std::array<QCheckBox*, 2> Check2{};         // "電圧重畳角", "相別実効値"
    QCheckBox* Check4;                          // "項目別にファイルを分ける"
    QCheckBox* Check5;                          // "電流の合成値を出力する"
    QPushButton* Command1;                      // "OK"
    QPushButton* Command2;                      // "全チェック" / "全ﾁｪｯｸ解除"
    QPushButton* Command3;                      // "キャンセル"
    QString Command2Tag = QStringLiteral("1");  // the value the next toggle applies
    int16_t ShownTop = 0;                       // the page the boxes show

  signals:
    // OK with a selection: the dialog is hidden; the conversion reads `options`.
    void confirmed(const hg::CsvOptions& options);
    // Cancel (or the window closed): the dialog is hidden.
    void cancelled();

  public slots:
    void reject() override;  // Cancel, Esc and the close button

  private:
    void pageChange(int v);
    void storePage(bool even);
    void loadPage(int v);
    void check3Click();
    void toggleAll();
    void ok();

    SharedOrders& orders_;  // JisuFlag
};

}  // namespace hg
