// ComplianceWindow "適合判定": the compliance window, an MDI child of the frame opened from a graph
// window. For the stretch of the period that window shows (its zoomed range, else the loaded
// period) it judges a limit set chosen in Combo1 (and, for current-per-kW sets, the channel of
// Combo2, the contract power of Text1 and the measuring point's voltage of Text2): per order and
// the total the set's statistic, the maximum and its time, the limit, the margin (limit − value,
// and as % of the limit) and "適合" / "超過". The table sorts by any column; the buttons copy
// it as tab-separated text, save it as CSV (code page 932), print the report sheet or save it
// as PDF. It follows the graph window's range and channel as they change.
//
// It reads the loaded tables only (never copies them), keeps them while it is open, and keeps
// nothing between runs.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "compliance/compliance_text.h"
#include "compliance/limits.h"
#include "graph/shown_range.h"
#include "platform/result.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace hg {

class GraphView;
struct HARMDIM;

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
    Status saveCsv(const QString& path) const;
    Status savePdf(const QString& path) const;
    const ComplianceReport& report() const { return report_; }

    // The contract power of Text1, shared with the graph windows through the controller.
    void setContractPower(const QString& kw);

    // Controls.
    QComboBox* Combo1;      // limit sets
    QLabel* Label1;         // the set's title, source and edition
    QComboBox* Combo2;      // current channel: "CH1".. and "合成"
    QLineEdit* Text1;       // contract power, kW
    QLineEdit* Text2;       // measuring point's nominal voltage, kV (the set's when empty)
    QPushButton* Command1;  // "判定"
    QTableWidget* Grid1;    // the judged rows
    QPushButton* Command2;  // "コピー"
    QPushButton* Command3;  // "CSV保存"
    QPushButton* Command4;  // "印刷"
    QPushButton* Command5;  // "PDF保存"

  signals:
    // The contract power typed in Text1.
    void contractPowerEdited(const QString& kw);

  private:
    void layoutControls();
    void showSet();
    Result<ComplianceOptions> options() const;
    void fillTable();
    void copyTable();
    void askCsv();
    void askPdf();
    void printSheet();

    std::shared_ptr<const HARMDIM> analysis_;
    std::optional<ShownRange> range_;  // the graph window's zoomed range; none: the period
    LimitCatalogue catalogue_;
    ComplianceReport report_;
};

}  // namespace hg
