#include "ui/compliance_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/harmdim.h"
#include "compliance/basis.h"
#include "graph/graph_view.h"
#include "platform/csv_text.h"
#include "platform/dates.h"
#include "platform/qt/csv_save_dialog.h"
#include "platform/qt/message_box.h"
#include "platform/qt/printer_chooser.h"
#include "platform/qt/qt_text.h"
#include "print/compliance_report.h"
#include "ui/compliance_window_meta.h"

#ifndef HARMO_VERSION
#define HARMO_VERSION "unknown"
#endif

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

const QStringList kHeadings = {u"窓"_qs,        u"次数"_qs,       u"条件"_qs,   u"判定値"_qs,
                               u"最大値"_qs,    u"最大の時刻"_qs, u"限度値"_qs, u"余裕"_qs,
                               u"余裕率(%)"_qs, u"判定"_qs};

// The records judged: those of the graph window's range, or every loaded record.
BasisInput judgedRecords(const HARMDIM& a, const std::optional<ShownRange>& range) {
    if (!range) return basisInputOf(a, 0, a.LoadedRecords, a.AnalysisStart, a.AnalysisEnd);
    const RecordSpan span = recordsIn(a, *range);
    if (span.empty()) return basisInputOf(a, 0, 0, a.AnalysisStart, a.AnalysisStart);
    return basisInputOf(a, span.first, span.count(), recordDateTime(a, span.first),
                        recordDateTime(a, span.last));
}

double now() {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    return dateTime(dayNumber(d.year(), d.month(), d.day()).value_or(0),
                    t.time().hour() * 60 + t.time().minute());
}

}  // namespace

ComplianceWindow::ComplianceWindow(std::shared_ptr<const HARMDIM> analysis,
                                   LimitCatalogue catalogue, const GraphView& view, QWidget* parent)
    : QWidget(parent),
      analysis_(std::move(analysis)),
      range_(view.range()),
      catalogue_(std::move(catalogue)),
      meta_(rememberedMeta(toQString(analysis_->FilePath))) {
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
    Text3 = new QLineEdit(this);
    Text4 = new QLineEdit(this);
    Command1 = new QPushButton(u"判定"_qs, this);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    Label3->setWordWrap(true);
    Grid1 = new QTableWidget(0, static_cast<int>(kHeadings.size()), this);
    Grid1->setHorizontalHeaderLabels(kHeadings);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    Command2 = new QPushButton(u"コピー"_qs, this);
    Command3 = new QPushButton(u"CSV保存"_qs, this);
    Command4 = new QPushButton(u"印刷"_qs, this);
    Command5 = new QPushButton(u"PDF保存"_qs, this);
    Command6 = new QPushButton(u"記録の情報…"_qs, this);
    Command7 = new QPushButton(u"印刷プレビュー"_qs, this);
    Printer = new PrinterChooser(this);
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
    connect(Command6, &QPushButton::clicked, this, [this] { editMeta(); });
    connect(Command7, &QPushButton::clicked, this, [this] { preview(); });
    connect(Printer, &PrinterChooser::busyChanged, this, [this](bool busy) {
        Command4->setEnabled(!busy);
        Command7->setEnabled(!busy);
    });
    Printer->refresh();  // the printers and their states, asked off the window thread
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
    if (!report_.assessment.windows.empty()) judge(false);
}

void ComplianceWindow::layoutControls() {
    auto* options = new QGridLayout;
    options->addWidget(new QLabel(u"限度値"_qs, this), 0, 0);
    options->addWidget(Combo1, 0, 1);
    options->addWidget(new QLabel(u"チャンネル"_qs, this), 0, 2);
    options->addWidget(Combo2, 0, 3);
    options->addWidget(Command6, 0, 4);
    options->addWidget(new QLabel(u"契約電力(kW)"_qs, this), 1, 0);
    options->addWidget(Text1, 1, 1);
    options->addWidget(new QLabel(u"測定点の電圧(kV)"_qs, this), 1, 2);
    options->addWidget(Text2, 1, 3);
    options->addWidget(new QLabel(u"最大需要電流 I_L(A)"_qs, this), 2, 0);
    options->addWidget(Text3, 2, 1);
    options->addWidget(new QLabel(u"短絡電流 I_SC(kA)"_qs, this), 2, 2);
    options->addWidget(Text4, 2, 3);
    options->addWidget(Command1, 2, 4);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command2, Command3, Command4, Command7, Command5}) buttons->addWidget(b);
    buttons->addWidget(Printer, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(options);
    all->addWidget(Label1);
    all->addWidget(Label2);
    all->addWidget(Label3);
    all->addWidget(Grid1, 1);
    all->addLayout(buttons);
}

void ComplianceWindow::showSet() {
    const LimitSet* set = catalogue_.find(Combo1->currentText().toStdString());
    if (!set) return;
    const bool perKw = set->quantity == LimitQuantity::CurrentPerKw;
    const bool demand = set->quantity == LimitQuantity::CurrentOfDemand;
    Combo2->setEnabled(perKw || demand);
    Text1->setEnabled(perKw);
    for (QLineEdit* box : {Text3, Text4}) box->setEnabled(demand);
    Text2->setPlaceholderText(perKw ? QString::number(set->receivingKv) : QString());
    std::string text = set->title + "\n出典：" + set->source + "\n版：" + set->edition +
                       "（最新版と照合してください）\n限度値ファイル：" + set->file +
                       "\nSHA-256：" + set->sha256;
    if (perKw) text += "\n" + std::string(kReferenceFromMeasurement);
    Label1->setText(toQString(text));
}

void ComplianceWindow::setContractPower(const QString& kw) {
    Text1->setText(kw);
}

Result<ComplianceOptions> ComplianceWindow::options() const {
    ComplianceOptions o;
    o.channel = static_cast<int16_t>(Combo2->currentIndex());
    for (const auto& [box, target, name] : {std::tuple{Text1, &o.contractKw, u"契約電力"_qs},
                                            std::tuple{Text2, &o.measuredKv, u"測定点の電圧"_qs},
                                            std::tuple{Text3, &o.ilA, u"最大需要電流"_qs},
                                            std::tuple{Text4, &o.iscKa, u"短絡電流"_qs}}) {
        const QString text = box->text().trimmed();
        if (text.isEmpty() || !box->isEnabled()) continue;
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v) || v <= 0)
            return Error{(name + u"は 0 より大きい数値にしてください。"_qs).toStdString()};
        *target = v;
    }
    if (auto kv = ratioOf(meta_.nominalKv); kv && !o.measuredKv) o.measuredKv = *kv;
    return o;
}

bool ComplianceWindow::judge(bool tellRefusal) {
    const LimitSet* set = catalogue_.find(Combo1->currentText().toStdString());
    if (!set) return false;
    const HARMDIM& a = *analysis_;
    const BasisInput judged = judgedRecords(a, range_);
    auto o = options();
    if (o && !a.powersFailure().empty()) o = Error{a.powersFailure()};
    auto assessment = o ? assess(*set, judged, *o) : Result<Assessment>(Error{o.error()});
    if (!assessment) {
        Grid1->setRowCount(0);
        report_.assessment = {};
        Label2->clear();
        Label3->clear();
        if (tellRefusal) showMessage(this, assessment.error());
        return false;
    }
    const double start = dateTime(static_cast<int32_t>(judged.startMinute / 1440),
                                  static_cast<int32_t>(judged.startMinute % 1440));
    const double end = dateTime(static_cast<int32_t>(judged.endMinute / 1440),
                                static_cast<int32_t>(judged.endMinute % 1440));
    report_ = ComplianceReport{a.FilePath, start, end,   judged.tables.records,  a.ChannelCount,
                               *set,       *o,    meta_, std::move(*assessment), HARMO_VERSION,
                               now()};
    showReport();
    return true;
}

void ComplianceWindow::showReport() {
    const Assessment& a = report_.assessment;
    Label2->setText(toQString("総合判定：" + overallText(a.overall)));
    Label2->setStyleSheet(a.overall.verdict == OverallVerdict::Fail
                              ? u"font-weight: bold; color: red"_qs
                              : u"font-weight: bold"_qs);
    QStringList lines;
    for (std::size_t w = 0; w < a.windows.size(); ++w) lines << toQString(windowText(report_, w));
    for (const UnassessableCondition& u : a.unassessable)
        lines << toQString("評価不可：" + conditionText(a.limits, u.condition) + "（" + u.reason +
                           "）");
    if (!a.unmeasured.empty()) {
        for (const auto& [label, text] : reportParticulars(report_))
            if (label == "未測定の次数") lines << toQString("未測定の次数：" + text);
    }
    for (const std::string& w : a.warnings) lines << toQString("警告：" + w);
    Label3->setText(lines.join(u'\n'));
    fillTable();
}

void ComplianceWindow::fillTable() {
    Grid1->setSortingEnabled(false);
    const Assessment& a = report_.assessment;
    std::size_t count = 0;
    for (const AssessedWindow& w : a.windows) count += w.rows.size();
    Grid1->setRowCount(static_cast<int>(count));
    const int d = decimalsOf(a.limits.quantity);
    const auto number = [](std::optional<double> v, int decimals) {
        return new NumberItem(toQString(v ? reportNumber(*v, decimals) : "－"), v.value_or(kNone));
    };
    int row = 0;
    for (std::size_t w = 0; w < a.windows.size(); ++w)
        for (const ComplianceRow& r : a.windows[w].rows) {
            const bool values = r.records > 0;
            const auto value = [&](float v) {
                return values ? std::optional<double>(v) : std::nullopt;
            };
            const LimitCondition& c = a.limits.conditions[static_cast<std::size_t>(r.condition)];
            const auto margin = values ? marginOf(r) : std::nullopt;
            const auto percent = values ? marginPercentOf(r) : std::nullopt;
            Grid1->setItem(row, 0, new NumberItem(QString::number(w + 1), static_cast<double>(w)));
            Grid1->setItem(row, 1, new NumberItem(toQString(orderName(r)), r.order));
            Grid1->setItem(row, 2,
                           new NumberItem(toQString(statisticLabel(c.statistic) + "×" +
                                                    reportNumber(c.factor, 1)),
                                          r.condition));
            Grid1->setItem(row, 3, number(value(r.value), d));
            Grid1->setItem(row, 4, number(value(r.max), d));
            Grid1->setItem(row, 5,
                           new NumberItem(toQString(values ? fullDateTime(r.maxTime) : "－"),
                                          values ? r.maxTime : kNone));
            Grid1->setItem(row, 6, number(r.limit, d));
            Grid1->setItem(
                row, 7, new NumberItem(toQString(marginText(margin, d)), margin.value_or(kNone)));
            Grid1->setItem(
                row, 8, new NumberItem(toQString(marginText(percent, 1)), percent.value_or(kNone)));
            Grid1->setItem(
                row, 9, new NumberItem(toQString(verdictText(r)), r.pass ? (*r.pass ? 1 : 2) : 0));
            if (r.pass && !*r.pass) Grid1->item(row, 9)->setForeground(QColor(255, 0, 0));
            ++row;
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

Status ComplianceWindow::saveCsv(const QString& path, TextEncoding encoding) const {
    if (report_.assessment.windows.empty()) return Error{"判定結果がありません"};
    return writeCsvFile(QFile::encodeName(path).toStdString(), complianceCsv(report_), encoding);
}

std::unique_ptr<PrintDocument> ComplianceWindow::reportSheet() const {
    if (report_.assessment.windows.empty()) return nullptr;
    return drawSheetDocument(PageSetup{}, QString::fromStdString(complianceReportTitle()),
                             complianceReportPages(report_), [&](Canvas& canvas, int page) {
                                 drawComplianceReport(canvas, report_, page);
                             });
}

Status ComplianceWindow::savePdf(const QString& path) const {
    if (report_.assessment.windows.empty()) return Error{"判定結果がありません"};
    const std::unique_ptr<PrintDocument> sheet = reportSheet();
    if (!sheet) return Error{"印刷する用紙を作れませんでした"};
    return sheet->save(QFile::encodeName(path).toStdString());
}

void ComplianceWindow::askCsv() {
    const auto chosen = askCsvTarget(this, u"CSV保存"_qs);
    if (!chosen) return;
    if (auto saved = saveCsv(chosen->path, chosen->encoding); !saved)
        showMessage(this, saved.error());
}

void ComplianceWindow::askPdf() {
    const QString path = QFileDialog::getSaveFileName(this, u"PDF保存"_qs, {}, u"PDF (*.pdf)"_qs);
    if (path.isEmpty()) return;
    if (auto saved = savePdf(path); !saved) showMessage(this, saved.error());
}

void ComplianceWindow::printSheet() {
    const std::unique_ptr<PrintDocument> sheet = reportSheet();
    if (!sheet) return;
    Printer->sendDocument(*sheet);
}

void ComplianceWindow::preview() {
    const std::shared_ptr<PrintDocument> sheet = reportSheet();
    if (!sheet) return;
    Printer->preview(sheet);
}

void ComplianceWindow::editMeta() {
    if (metaDialog_) return;
    metaDialog_ = openMetaDialog(this, meta_, [this](const ReportMeta& meta) {
        meta_ = meta;
        rememberMeta(toQString(analysis_->FilePath), meta_);
        if (!report_.assessment.windows.empty()) judge(false);
    });
    connect(metaDialog_, &QObject::destroyed, this, [this] { metaDialog_ = nullptr; });
}

}  // namespace hg
