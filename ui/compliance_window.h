// ComplianceWindow "適合判定": the compliance window, an MDI child of the frame opened from a graph
// window. For the stretch of the period that window shows (its zoomed range, else the loaded
// period) it makes the assessment of a limit set chosen in Combo1 (and, for current sets, the
// channel of Combo2, the contract power of Text1, the measuring point's voltage of Text2, the
// maximum demand current of Text3 and the short-circuit current of Text4): the overall verdict
// (Label2), each window's coverage, the conditions it cannot judge and the plausibility warnings
// (Label3), and per window and order the statistic, the maximum and its time, the limit, the
// margin and the verdict (Grid1). The table sorts by any column; the buttons copy it as
// tab-separated text, save the report as CSV (code page 932 or UTF-8), print the report sheet (to
// the printer of the printer row, sent off the window thread), show it in the print preview or
// save it as PDF (the same document each way), and edit the recording's particulars (site,
// customer, instrument ...), which are remembered per recording. It follows the graph window's
// range and channel as they change.
//
// It reads the loaded tables only (never copies them), keeps them while it is open, and keeps
// nothing between runs but the particulars.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "compliance/compliance_text.h"
#include "compliance/limits.h"
#include "graph/shown_range.h"
#include "platform/qt/print_document.h"
#include "platform/result.h"

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace hg {

class GraphView;
struct HARMDIM;
class PrinterChooser;

class ComplianceWindow : public QWidget {
    Q_OBJECT

  public:
    // Opens on a graph window's view: its range, its channel (0..C, C the composite) and, when
    // the catalogue holds it, its limit set.
    ComplianceWindow(std::shared_ptr<const HARMDIM> analysis, LimitCatalogue catalogue,
                     const GraphView& view, QWidget* parent = nullptr);

    // Takes the graph window's range and channel as they are now; a table shown is judged again
    // (a refusal then only empties it).
    void follow(const GraphView& view);

    // Judges the chosen set and fills the table; a refusal (no contract power) leaves the table
    // empty, and is shown as a message when `tellRefusal`.
    bool judge(bool tellRefusal = true);

    // The table as shown (its sort order), tab-separated, one line per row with the heading.
    QString tableText() const;
    Status saveCsv(const QString& path, TextEncoding encoding = TextEncoding::Cp932) const;
    Status savePdf(const QString& path) const;
    // The report sheet as printed, saved and previewed; nothing without a judged table.
    std::unique_ptr<PrintDocument> reportSheet() const;
    const ComplianceReport& report() const { return report_; }
    // The particulars dialog, while it is open.
    QDialog* metaDialog() const { return metaDialog_; }

    // The contract power of Text1, shared with the graph windows through the controller.
    void setContractPower(const QString& kw);

    // Controls.
    QComboBox* Combo1;      // limit sets
    QLabel* Label1;         // the set's title, source and edition
    QComboBox* Combo2;      // current channel: "CH1".. and "合成"
    QLineEdit* Text1;       // contract power, kW
    QLineEdit* Text2;       // measuring point's nominal voltage, kV (the set's when empty)
    QLineEdit* Text3;       // maximum demand current I_L, A
    QLineEdit* Text4;       // short-circuit current I_SC, kA
    QPushButton* Command1;  // "判定"
    QLabel* Label2;         // the overall verdict
    QLabel* Label3;         // windows, conditions not judged, warnings
    QTableWidget* Grid1;    // the judged rows of every window
    QPushButton* Command2;  // "コピー"
    QPushButton* Command3;  // "CSV保存"
    QPushButton* Command4;  // "印刷"
    QPushButton* Command5;  // "PDF保存"
    QPushButton* Command6;  // "記録の情報…"
    QPushButton* Command7;  // "印刷プレビュー"
    PrinterChooser* Printer;

  signals:
    // The contract power typed in Text1.
    void contractPowerEdited(const QString& kw);

  private:
    void layoutControls();
    void showSet();
    Result<ComplianceOptions> options() const;
    void showReport();
    void fillTable();
    void copyTable();
    void askCsv();
    void askPdf();
    void printSheet();
    void preview();
    void editMeta();

    std::shared_ptr<const HARMDIM> analysis_;
    std::optional<ShownRange> range_;  // the graph window's zoomed range; none: the period
    LimitCatalogue catalogue_;
    ComplianceReport report_;
    ReportMeta meta_;
    QDialog* metaDialog_ = nullptr;
};

}  // namespace hg
