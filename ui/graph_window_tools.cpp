// Reading the graph further in the graph window: a second cursor with the differences between
// the two, a jump to a curve's maximum, the value axis set by hand, zoom by keyboard with the
// ranges shown before, the statistics of the range shown, a compared period drawn over the
// graph, and cursors that follow each other between the windows of one analysis. The rules are
// the core's; the window routes keys, mouse and menus to them.
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/series_value.h"
#include "graph/shown_statistics.h"
#include "platform/canvas.h"
#include "platform/qt/message_box.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/wait_cursor.h"
#include "ui/comparison_dialog.h"
#include "ui/graph_window.h"
#include "ui/value_axis_dialog.h"

namespace hg {

namespace {

// Shift+← and Shift+→ as the picture hands them on.
constexpr int kShiftLeft = Qt::Key_Left | int(Qt::ShiftModifier);
constexpr int kShiftRight = Qt::Key_Right | int(Qt::ShiftModifier);

// A drag shorter than this (in pixels) sets no value axis.
constexpr int kLeastValueDrag = 5;

QString colourBox(int colour) {
    const Rgb c = paletteRgb(colour);
    return u"<span style='color:%1'>■</span>"_qs.arg(QColor(c.r, c.g, c.b).name());
}

QString pairHtml(const CursorPair& pair) {
    QString html = u"<hr><b>第2カーソル "_qs + toQString(pair.second.when).toHtmlEscaped() +
                   u"</b><br>"_qs + toQString(pair.timeDifference).toHtmlEscaped();
    for (std::size_t i = 0; i < pair.deltas.size(); ++i) {
        const ReadoutLine& d = pair.deltas[i];
        html += u"<br>%1 %2 %3 → %4 Δ<b>%5</b> %6"_qs.arg(
            colourBox(d.colour), toQString(d.legend).toHtmlEscaped(),
            toQString(pair.first.lines[i].value), toQString(pair.second.lines[i].value),
            toQString(d.value), toQString(d.unit).toHtmlEscaped());
    }
    return html;
}

// "3次 最大 5.9 (..)  95% 5.8  平均 3.2 %"; with a comparison, its line and the differences.
std::vector<QString> statisticsLines(const HARMDIM& state, const GraphView& view,
                                     const GraphRequest& request) {
    std::vector<QString> lines;
    // Values whose tables could not be read back have no statistics.
    if (!tablesFailureFor(state, request.item).empty()) return lines;
    const auto main = shownStatistics(state, request, recordsIn(state, view.shownRange()));
    std::vector<CurveStatistics> other;
    if (const auto& c = view.comparison();
        c && !isPredictionItem(request.item) && tablesFailureFor(*c->other, request.item).empty())
        other = shownStatistics(*c->other, request, comparisonRecordsIn(*c, view.shownRange()));
    for (std::size_t i = 0; i < main.size(); ++i) {
        const CurveStatistics& s = main[i];
        const QString unit = toQString(s.unit);
        lines.push_back(toQString(s.legend) + u" "_qs + toQString(statisticsText(state, s)) +
                        u" "_qs + unit);
        if (i >= other.size() || other[i].count == 0) continue;
        const CurveStatistics& o = other[i];
        lines.push_back(u"  比較 "_qs + toQString(statisticsText(*view.comparison()->other, o)) +
                        u" "_qs + unit);
        lines.push_back(u"  差 最大 %1  95% %2  平均 %3 %4"_qs.arg(
            toQString(readoutNumber(s.max - o.max)), toQString(readoutNumber(s.p95 - o.p95)),
            toQString(readoutNumber(s.mean - o.mean)), unit));
    }
    return lines;
}

}  // namespace

void GraphWindow::buildToolMenus() {
    MeCursor2 = MeV->addAction(u"第2カーソル"_qs);
    MeCursor2->setCheckable(true);
    MeSync = MeV->addAction(u"カーソル連動"_qs);
    MeSync->setCheckable(true);
    MeMax = MeV->addMenu(u"最大値へ移動"_qs);
    MeV->addSeparator();
    MeAxis = MeV->addAction(u"値軸の設定..."_qs);
    MeAxisAuto = MeV->addAction(u"値軸を自動に戻す"_qs);
    MeAxisAuto->setEnabled(false);
    MeCompare = MeV->addAction(u"比較期間..."_qs);
    MeCompareOff = MeV->addAction(u"比較をやめる"_qs);
    MeCompareOff->setEnabled(false);
    MeViewSave = new QAction(u"ビュー保存..."_qs, MeF);
    MeViewOpen = new QAction(u"ビューを開く..."_qs, MeF);
    MeF->insertActions(MeLo, {MeViewSave, MeViewOpen});
    connect(MeCursor2, &QAction::toggled, this, [this](bool on) {
        if (!on) return placeSecondCursor(std::nullopt);
        if (!cursorShown()) MeCursor->setChecked(true);
        const ShownRange shown = view_->shownRange();
        placeSecondCursor(view_->cursor().value_or(
            nearestRecord(*analysis_, (shown.first + shown.last) / 2).value_or(0)));
    });
    connect(MeSync, &QAction::toggled, this, &GraphWindow::cursorsSynchronisedToggled);
    connect(MeMax, &QMenu::aboutToShow, this, &GraphWindow::fillMaximumMenu);
    connect(MeAxis, &QAction::triggered, this, &GraphWindow::askAxisByHand);
    connect(MeAxisAuto, &QAction::triggered, this, [this] { setAxisByHand(std::nullopt); });
    connect(MeCompare, &QAction::triggered, this, &GraphWindow::askComparison);
    connect(MeCompareOff, &QAction::triggered, this, [this] { compareWith(nullptr, {}); });
    connect(MeViewSave, &QAction::triggered, this, &GraphWindow::viewSaveRequested);
    connect(MeViewOpen, &QAction::triggered, this, &GraphWindow::viewOpenRequested);
}

bool GraphWindow::toolKey(int key) {
    const bool zoomKey = key == Qt::Key_Plus || key == Qt::Key_Equal || key == Qt::Key_Minus;
    const bool panKey = key == kShiftLeft || key == kShiftRight;
    if (key == Qt::Key_Backspace) {
        goBack();
        return true;
    }
    if (!zoomKey && !panKey) return false;
    if (!drawn_) return true;
    std::optional<double> centre;
    if (cursorShown() && view_->cursor()) centre = recordMinute(*analysis_, *view_->cursor());
    ZoomKey what = ZoomKey::In;
    if (key == Qt::Key_Minus) what = ZoomKey::Out;
    if (key == kShiftLeft) what = ZoomKey::PanEarlier;
    if (key == kShiftRight) what = ZoomKey::PanLater;
    zoomTo(keyboardRange(*analysis_, view_->shownRange(), what, centre));
    return true;
}

void GraphWindow::goBack() {
    const auto earlier = history_.back();
    if (!earlier || !drawn_) return;
    view_->setRange(*earlier);
    rangeChanged();
}

void GraphWindow::placeSecondCursor(std::optional<int32_t> record) {
    secondCursor_ = record;
    {
        const QSignalBlocker block(MeCursor2);
        MeCursor2->setChecked(record.has_value());
    }
    showSecondCursor();
    showCursor();
}

void GraphWindow::secondCursorClicked(int x) {
    if (!layout_ || !drawn_) return;
    const ShownRange shown = view_->shownRange();
    const double minute = std::clamp(minuteAtX(*layout_, x), shown.first, shown.last);
    if (!cursorShown()) MeCursor->setChecked(true);
    placeSecondCursor(nearestRecord(*analysis_, minute));
}

void GraphWindow::showSecondCursor() {
    std::optional<int> x;
    if (secondCursor_ && layout_ && cursorShown()) {
        const double minute = recordMinute(*analysis_, *secondCursor_);
        const ShownRange shown = view_->shownRange();
        if (minute >= shown.first && minute <= shown.last)
            x = static_cast<int>(std::lround(xOfMinute(*layout_, minute)));
    }
    Picture1->setSecondCursorX(x);
}

void GraphWindow::fillMaximumMenu() {
    MeMax->clear();
    const std::vector<DrawnCurve> curves =
        drawn_ ? drawnCurves(*analysis_, view_->request({})) : std::vector<DrawnCurve>{};
    if (curves.empty()) MeMax->addAction(u"グラフがありません"_qs)->setEnabled(false);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const std::size_t first = curves[i].legend.find_first_not_of(' ');
        const QString legend = first == std::string::npos
                                   ? u"不平衡率"_qs
                                   : toQString(std::string_view(curves[i].legend).substr(first));
        connect(MeMax->addAction(legend), &QAction::triggered, this,
                [this, i] { jumpToMaximum(static_cast<int>(i)); });
    }
}

void GraphWindow::jumpToMaximum(int curve) {
    if (!drawn_) return;
    const GraphRequest request = view_->request({});
    const auto rec =
        maximumRecord(*analysis_, request, curve, recordsIn(*analysis_, view_->shownRange()));
    if (!rec) return;
    if (!cursorShown()) MeCursor->setChecked(true);
    maximum_ = rec;
    maximumCurve_ = curve;
    moveCursorTo(*rec);
    noteShown();
}

// What the window notes of the graph just drawn: the statistics of the range shown, where the
// second cursor and the maximum's mark stand.
void GraphWindow::noteShown() {
    const GraphRequest request = view_->request({});
    const std::vector<QString> lines = statisticsLines(*analysis_, *view_, request);
    statisticsHtml_ = lines.empty() ? QString() : u"<hr><b>表示範囲の統計</b>"_qs;
    for (const QString& line : lines) statisticsHtml_ += u"<br>"_qs + line.toHtmlEscaped();
    showSecondCursor();
    std::optional<QPoint> mark;
    const std::vector<DrawnCurve> curves = drawnCurves(*analysis_, request);
    if (maximum_ && layout_ && axis_ && maximumCurve_ < static_cast<int>(curves.size())) {
        const int series = curves[static_cast<std::size_t>(maximumCurve_)].series;
        const double factor = series == 0 ? axis_->factor : 1.0;
        const double v = seriesValue(*analysis_, request.item, *maximum_, series, request.channel,
                                     factor, request.prediction)
                             .value;
        const double minute = recordMinute(*analysis_, *maximum_);
        const ShownRange shown = view_->shownRange();
        if (minute >= shown.first && minute <= shown.last && std::isfinite(v))
            mark = QPoint(static_cast<int>(std::lround(xOfMinute(*layout_, minute))),
                          static_cast<int>(
                              std::lround(axis_->position(v, layout_->T, layout_->GraphHeight))));
    }
    Picture1->setMaximumMark(mark);
}

QString GraphWindow::statisticsText() const {
    QString text;
    for (const QString& line : statisticsLines(*analysis_, *view_, view_->request({})))
        text += (text.isEmpty() ? QString() : u"\n"_qs) + line;
    return text;
}

QString GraphWindow::toolsHtml() const {
    QString html;
    if (secondCursor_ && view_->cursor())
        html +=
            pairHtml(cursorPair(*analysis_, view_->request({}), *view_->cursor(), *secondCursor_));
    return html + statisticsHtml_;
}

void GraphWindow::setAxisByHand(std::optional<AxisByHand> axis) {
    view_->setAxisByHand(axis);
    MeAxisAuto->setEnabled(axis.has_value());
    if (drawn_) draw();
    emit viewChanged();
}

void GraphWindow::askAxisByHand() {
    if (!drawn_ || !axis_) return;
    const std::optional<AxisByHand> axis = askAxis ? askAxis(*axis_) : askValueAxis(this, *axis_);
    if (axis) setAxisByHand(*axis);
}

// A Ctrl-drag over the plot shows the values between the two heights.
void GraphWindow::valueDragged(int fromY, int toY) {
    if (!drawn_ || !axis_ || !layout_ || std::abs(toY - fromY) < kLeastValueDrag) return;
    const double scale = axis_->scale(layout_->GraphHeight);
    if (!(std::abs(scale) > 0)) return;
    const auto valueAt = [&](int y) { return axis_->top + (y - layout_->T) / scale; };
    if (const auto axis = axisBetween(valueAt(fromY), valueAt(toY))) setAxisByHand(*axis);
}

void GraphWindow::compareWith(std::shared_ptr<const HARMDIM> other, Alignment alignment) {
    if (other)
        view_->setComparison(std::move(other), alignment);
    else
        view_->clearComparison();
    MeCompareOff->setEnabled(view_->comparison().has_value());
    if (drawn_) draw();
    emit viewChanged();
}

void GraphWindow::askComparison() {
    const std::optional<ComparedPeriodAsked> asked =
        askComparisonPeriod
            ? askComparisonPeriod()
            : askComparedPeriod(this, QFile::decodeName(analysis_->FilePath.c_str()));
    if (!asked) return;
    Result<std::shared_ptr<const HARMDIM>> loaded = Error{""};
    {
        WaitCursor wait;
        loaded = loadComparedPeriod(QFile::encodeName(asked->recording).toStdString(),
                                    asked->period, *analysis_);
    }
    if (!loaded) return showMessage(this, "比較する期間を読めません: " + loaded.error());
    compareWith(*loaded, asked->alignment);
}

void GraphWindow::followCursorTime(double dateTime) {
    if (!cursorsSynchronised() || !drawn_) return;
    const double start = std::floor(analysis_->AnalysisStart * 1440.0 + 1e-6) / 1440.0;
    const std::optional<int32_t> rec = nearestRecord(*analysis_, (dateTime - start) * 1440.0);
    if (!rec || rec == view_->cursor()) return;
    if (!cursorShown()) MeCursor->setChecked(true);
    followingCursor_ = true;
    moveCursorTo(*rec);
    followingCursor_ = false;
}

void GraphWindow::setCursorsSynchronised(bool on) {
    const QSignalBlocker block(MeSync);
    MeSync->setChecked(on);
}

bool GraphWindow::cursorsSynchronised() const {
    return MeSync->isChecked();
}

SavedWindow GraphWindow::savedView() const {
    const GraphView& v = *view_;
    SavedWindow w;
    w.item = v.selection().item();
    w.group = Combo2->currentText().toStdString();
    w.channel = v.selection().channel();
    const auto& orders = v.selection().orders();
    for (std::size_t k = 0; k < orders.size(); ++k)
        if (orders[k] == 1) w.orders.push_back(static_cast<int>(k));
    w.range = v.range();
    w.cursor = v.cursor();
    w.secondCursor = secondCursor_;
    if (v.limitSet()) w.limitSet = v.limitSet()->name;
    w.contractKw = v.contractKw();
    w.transformer = v.transformer();
    w.axis = v.axisByHand();
    if (const auto& c = v.comparison(); c && v.comparedAnalysis()) {
        const HARMDIM& other = *v.comparedAnalysis();
        w.comparison = SavedComparison{
            other.FilePath, periodTextsOf(other.AnalysisStart, other.AnalysisEnd), c->alignment};
    }
    return w;
}

// The selection as the window would make it by hand: channel, group, the orders of 任意, item.
void GraphWindow::restoreView(const SavedWindow& saved, std::shared_ptr<const HARMDIM> compared) {
    GraphSelection& s = view_->selection();
    const int channel = std::clamp<int>(saved.channel, 0, analysis_->ChannelCount);
    s.chooseChannel(channel);
    if (channel < static_cast<int>(Option1.size()) && Option1[static_cast<std::size_t>(channel)])
        Option1[static_cast<std::size_t>(channel)]->setChecked(true);
    if (const int g = Combo2->findText(toQString(saved.group)); g >= 0) {
        const QSignalBlocker block(Combo2);
        Combo2->setCurrentIndex(g);
        s.chooseGroup(saved.group);
        for (int k : saved.orders) s.setOrder(k, true);
    }
    if (const std::string_view text = itemTextOf(saved.item); !text.empty()) {
        const int i = Combo1->findText(toQString(text));
        const QSignalBlocker block(Combo1);
        Combo1->setCurrentIndex(i);
        if (i >= 0) s.chooseItem(Combo1->itemText(i).toStdString());
    }
    view_->setTransformer(saved.transformer);
    if (isMainWindow())
        showTransformer({QString::number(saved.transformer.capacity),
                         QString::number(saved.transformer.reactance),
                         QString::number(saved.transformer.voltage)});
    chooseLimitSet(toQString(saved.limitSet));
    if (saved.contractKw) setContractPower(QString::number(*saved.contractKw));
    view_->setAxisByHand(saved.axis);
    MeAxisAuto->setEnabled(saved.axis.has_value());
    if (compared && saved.comparison) view_->setComparison(compared, saved.comparison->alignment);
    MeCompareOff->setEnabled(view_->comparison().has_value());
    syncControls();
    view_->setRange(saved.range);
    syncPanBar();
    Command6->setEnabled(view_->range().has_value());
    MeWhole->setEnabled(view_->range().has_value());
    layoutPicture();
    const int32_t placed = placedRecords(*analysis_);
    const auto inPeriod = [placed](std::optional<int32_t> r) {
        return r && *r >= 0 && *r < placed ? r : std::nullopt;
    };
    if (const auto cursor = inPeriod(saved.cursor)) {
        MeCursor->setChecked(true);
        view_->setCursor(cursor);
    }
    placeSecondCursor(inPeriod(saved.secondCursor));
    showCursor();
}

}  // namespace hg
