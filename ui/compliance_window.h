// ComplianceWindow "適合判定": the compliance window, an MDI child of the graph window. For the
// loaded period it judges a limit set chosen in Combo1 (and, for current-per-kW sets, the channel
// of Combo2, the contract power of Text1 and the measuring point's voltage of Text2): per order and
// the total the set's statistic, the maximum and its time, the limit, the margin (limit − value,
// and as % of the limit) and "適合" / "超過". The table sorts by any column; the buttons copy
// it as tab-separated text, save it as CSV (code page 932), print the report sheet or save it
// as PDF.
//
// It reads the loaded tables only (never copies them) and keeps nothing between runs.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "compliance/compliance_text.h"
#include "compliance/limits.h"
#include "compliance/statistics.h"
#include "platform/result.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace hg {

struct HARMDIM;

// What the window judges: the loaded tables and the period they hold.
struct ComplianceSource {
    std::string file;
    StatisticsSource tables;
    const Table<float>& recordX;
    double start = 0;
    double end = 0;
    int32_t periodMinutes = 0;
};

ComplianceSource complianceSourceOf(const HARMDIM& state);

class ComplianceWindow : public QWidget {
    Q_OBJECT

  public:
    // `channel` is the graph window's current channel (0..C, C the composite).
    ComplianceWindow(ComplianceSource source, LimitCatalogue catalogue, int channel,
                     QWidget* parent = nullptr);

    // Judges the chosen set and fills the table; a refusal (no contract power) is shown as a
    // message and leaves the table empty.
    bool judge();

    // The table as shown (its sort order), tab-separated, one line per row with the heading.
    QString tableText() const;
    Status saveCsv(const QString& path) const;
    Status savePdf(const QString& path) const;
    const ComplianceReport& report() const { return report_; }

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

  private:
    void layoutControls();
    void showSet();
    Result<ComplianceOptions> options() const;
    void fillTable();
    void copyTable();
    void askCsv();
    void askPdf();
    void printSheet();

    ComplianceSource source_;
    LimitCatalogue catalogue_;
    ComplianceReport report_;
};

}  // namespace hg
