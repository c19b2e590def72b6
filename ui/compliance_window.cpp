#include "ui/compliance_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/harmdim.h"
#include "compliance/statistics.h"
#include "graph/graph_view.h"
#include "platform/dates.h"
#include "platform/output.h"
#include "platform/qt/message_box.h"
#include "platform/qt/pdf_sheet.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_text.h"
#include "platform/textcode.h"
#include "print/compliance_report.h"

namespace hg {

namespace {

// A table cell that sorts by its number, not by its text; cells without one sort last.
class NumberItem : public QTableWidgetItem {
  public:
    NumberItem(const QString& text, double key) : QTableWidgetItem(text) {
        setData(Qt::UserRole, key);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

constexpr double kNone = 1e300;  // the sort key of an empty cell

const QStringList kHeadings = {u"次数"_qs,   u"95%値"_qs, u"最大値"_qs,  u"最大の時刻"_qs,
                               u"限度値"_qs, u"余裕"_qs,  u"余裕(%)"_qs, u"判定"_qs};

Status writeBytes(const QString& path, const std::string& bytes) {
    StagedOutputs staged(diskOutput());
    auto file = staged.add(QFile::encodeName(path).toStdString());
    if (!file) return Error{file.error()};
    staged.append(*file, bytes);
    if (auto flushed = staged.flushIfFull(*file); !flushed) return flushed;
    return staged.commit();
}

// The records judged: those of the graph window's range, or every loaded record; and the times
// of the stretch they cover.
struct JudgedRecords {
    StatisticsSource tables;
    double start = 0;
    double end = 0;
};

JudgedRecords judgedRecords(const HARMDIM& a, const std::optional<ShownRange>& range) {
    JudgedRecords judged{statisticsSourceOf(a), a.AnalysisStart, a.AnalysisEnd};
    if (!range) return judged;
    const RecordSpan span = recordsIn(a, *range);
    judged.tables.firstSlot = span.first;
    judged.tables.records = span.count();
    if (!span.empty()) {
        judged.start = recordDateTime(a, span.first);
        judged.end = recordDateTime(a, span.last);
    }
    return judged;
}

}  // namespace

ComplianceWindow::ComplianceWindow(std::shared_ptr<const HARMDIM> analysis,
                                   LimitCatalogue catalogue, const GraphView& view, QWidget* parent)
    : QWidget(parent),
      analysis_(std::move(analysis)),
      range_(view.range()),
      catalogue_(std::move(catalogue)) {
    setWindowTitle(u"適合判定"_qs);
    Combo1 = new QComboBox(this);
    for (const LimitSet& set : catalogue_.sets) Combo1->addItem(toQString(set.name));
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    Combo2 = new QComboBox(this);
    const int channels = analysis_->ChannelCount;
    for (int ch = 0; ch <= channels; ++ch) Combo2->addItem(toQString(channelName(ch, channels)));
    Combo2->setCurrentIndex(std::clamp<int>(view.selection().channel(), 0, channels));
    Text1 = new QLineEdit(this);
    connect(Text1, &QLineEdit::textEdited, this, &ComplianceWindow::contractPowerEdited);
    Text2 = new QLineEdit(this);
    Command1 = new QPushButton(u"判定"_qs, this);
    Grid1 = new QTableWidget(0, static_cast<int>(kHeadings.size()), this);
    Grid1->setHorizontalHeaderLabels(kHeadings);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    Command2 = new QPushButton(u"コピー"_qs, this);
    Command3 = new QPushButton(u"CSV保存"_qs, this);
    Command4 = new QPushButton(u"印刷"_qs, this);
    Command5 = new QPushButton(u"PDF保存"_qs, this);
    layoutControls();

    connect(Combo1, &QComboBox::activated, this, [this] {
        showSet();
        judge();
    });
    connect(Combo2, &QComboBox::activated, this, [this] { judge(); });
    connect(Command1, &QPushButton::clicked, this, [this] { judge(); });
    connect(Command2, &QPushButton::clicked, this, [this] { copyTable(); });
    connect(Command3, &QPushButton::clicked, this, [this] { askCsv(); });
    connect(Command4, &QPushButton::clicked, this, [this] { printSheet(); });
    connect(Command5, &QPushButton::clicked, this, [this] { askPdf(); });
    showSet();
    // The graph window's set, judged at once; else the first set, judged when it is a voltage set.
    const LimitSet* shown = view.limitSet();
    const int chosen = shown ? Combo1->findText(toQString(shown->name)) : -1;
    if (chosen >= 0 && chosen != Combo1->currentIndex()) {
        Combo1->setCurrentIndex(chosen);
        showSet();
        judge();
    } else if (catalogue_.sets.empty()) {
        showMessage(this, u"限度値ファイルがありません。"_qs);
    } else if (catalogue_.find(Combo1->currentText().toStdString())->quantity ==
               LimitQuantity::VoltageDistortion) {
        judge();
    }
}

void ComplianceWindow::follow(const GraphView& view) {
    Combo2->setCurrentIndex(std::clamp<int>(view.selection().channel(), 0, Combo2->count() - 1));
    range_ = view.range();
    if (!report_.rows.empty()) judge(false);
}

void ComplianceWindow::layoutControls() {
    auto* options = new QGridLayout;
    options->addWidget(new QLabel(u"限度値"_qs, this), 0, 0);
    options->addWidget(Combo1, 0, 1);
    options->addWidget(new QLabel(u"チャンネル"_qs, this), 0, 2);
    options->addWidget(Combo2, 0, 3);
    options->addWidget(new QLabel(u"契約電力(kW)"_qs, this), 1, 0);
    options->addWidget(Text1, 1, 1);
    options->addWidget(new QLabel(u"測定点の電圧(kV)"_qs, this), 1, 2);
    options->addWidget(Text2, 1, 3);
    options->addWidget(Command1, 1, 4);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command2, Command3, Command4, Command5}) buttons->addWidget(b);
    buttons->addStretch();
    auto* all = new QVBoxLayout(this);
    all->addLayout(options);
    all->addWidget(Label1);
    all->addWidget(Grid1, 1);
    all->addLayout(buttons);
}

void ComplianceWindow::showSet() {
    const LimitSet* set = catalogue_.find(Combo1->currentText().toStdString());
    if (!set) return;
    const bool current = set->quantity == LimitQuantity::CurrentPerKw;
    for (QWidget* w : std::initializer_list<QWidget*>{Combo2, Text1, Text2}) w->setEnabled(current);
    Text2->setPlaceholderText(current ? QString::number(set->receivingKv) : QString());
    Label1->setText(toQString(set->title + "\n出典：" + set->source + "\n版：" + set->edition +
                              "（最新版と照合してください）"));
}

void ComplianceWindow::setContractPower(const QString& kw) {
    Text1->setText(kw);
}

Result<ComplianceOptions> ComplianceWindow::options() const {
    ComplianceOptions o;
    o.channel = static_cast<int16_t>(Combo2->currentIndex());
    for (const auto& [box, target, name] : {std::tuple{Text1, &o.contractKw, u"契約電力"_qs},
                                            std::tuple{Text2, &o.measuredKv, u"測定点の電圧"_qs}}) {
        const QString text = box->text().trimmed();
        if (text.isEmpty()) continue;
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v) || v <= 0)
            return Error{(name + u"は 0 より大きい数値にしてください。"_qs).toStdString()};
        *target = v;
    }
    return o;
}

bool ComplianceWindow::judge(bool tellRefusal) {
    const LimitSet* set = catalogue_.find(Combo1->currentText().toStdString());
    if (!set) return false;
    const HARMDIM& a = *analysis_;
    const JudgedRecords judged = judgedRecords(a, range_);
    auto o = options();
    auto rows = o ? complianceRows(*set, judged.tables, *o)
                  : Result<std::vector<ComplianceRow>>(Error{o.error()});
    if (!rows) {
        Grid1->setRowCount(0);
        report_.rows.clear();
        if (tellRefusal) showMessage(this, rows.error());
        return false;
    }
    report_ = ComplianceReport{a.FilePath,
                               judged.start,
                               judged.end,
                               judged.tables.records,
                               judged.tables.channels,
                               *set,
                               *o,
                               std::move(*rows),
                               {}};
    setMaxTimes(report_, a.RecordX, a.AnalysisStart, a.PeriodMinutes);
    fillTable();
    return true;
}

void ComplianceWindow::fillTable() {
    Grid1->setSortingEnabled(false);
    Grid1->setRowCount(static_cast<int>(report_.rows.size()));
    const int d = report_.set.quantity == LimitQuantity::CurrentPerKw ? 3 : 2;
    for (std::size_t i = 0; i < report_.rows.size(); ++i) {
        const ComplianceRow& r = report_.rows[i];
        const auto margin = marginOf(r);
        const auto percent = marginPercentOf(r);
        const auto number = [](std::optional<double> v, int decimals) {
            return new NumberItem(toQString(v ? reportNumber(*v, decimals) : "－"),
                                  v.value_or(kNone));
        };
        const int row = static_cast<int>(i);
        Grid1->setItem(row, 0, new NumberItem(toQString(orderName(r)), r.order));
        Grid1->setItem(row, 1, number(r.value, d));
        Grid1->setItem(row, 2, number(r.max, d));
        Grid1->setItem(
            row, 3,
            new NumberItem(toQString(r.maxSlot >= 0 ? formatYyMmDdHhMm(report_.maxTimes[i]) : "－"),
                           r.maxSlot >= 0 ? report_.maxTimes[i] : kNone));
        Grid1->setItem(row, 4, number(r.limit, d));
        Grid1->setItem(row, 5, number(margin, d));
        Grid1->setItem(row, 6, number(percent, 1));
        Grid1->setItem(row, 7,
                       new NumberItem(toQString(verdictText(r)), r.pass ? (*r.pass ? 1 : 2) : 0));
        if (r.pass && !*r.pass) Grid1->item(row, 7)->setForeground(QColor(255, 0, 0));
    }
    Grid1->setSortingEnabled(true);
    Grid1->resizeColumnsToContents();
}

QString ComplianceWindow::tableText() const {
    QString text = kHeadings.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int row = 0; row < Grid1->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < Grid1->columnCount(); ++c) cells << Grid1->item(row, c)->text();
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void ComplianceWindow::copyTable() {
    QApplication::clipboard()->setText(tableText());
}

Status ComplianceWindow::saveCsv(const QString& path) const {
    if (report_.rows.empty()) return Error{"判定結果がありません"};
    auto bytes = encodeText(complianceCsv(report_), TextEncoding::Cp932);
    if (!bytes) return Error{bytes.error()};
    return writeBytes(path, *bytes);
}

Status ComplianceWindow::savePdf(const QString& path) const {
    if (report_.rows.empty()) return Error{"判定結果がありません"};
    return writePdfSheet(QFile::encodeName(path).toStdString(), false,
                         QStringLiteral("harmograph – 適合判定"),
                         [&](Canvas& canvas) { drawComplianceReport(canvas, report_); });
}

void ComplianceWindow::askCsv() {
    const QString path = QFileDialog::getSaveFileName(this, u"CSV保存"_qs, {}, u"CSV (*.csv)"_qs);
    if (path.isEmpty()) return;
    if (auto saved = saveCsv(path); !saved) showMessage(this, saved.error());
}

void ComplianceWindow::askPdf() {
    const QString path = QFileDialog::getSaveFileName(this, u"PDF保存"_qs, {}, u"PDF (*.pdf)"_qs);
    if (path.isEmpty()) return;
    if (auto saved = savePdf(path); !saved) showMessage(this, saved.error());
}

void ComplianceWindow::printSheet() {
    if (report_.rows.empty()) return;
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainterCanvas canvas(printer);
    if (!canvas.isActive()) return showMessage(this, u"印刷を始められません。"_qs);
    drawComplianceReport(canvas, report_);
    if (!canvas.finish()) showMessage(this, u"印刷に失敗しました。"_qs);
}

}  // namespace hg
