// Reading the graph in the graph window: the cursor and its readout strip, zoom and pan, the limit
// set drawn over the graph, asking for the spectrum and compliance windows, and saving the picture
// and the drawn curves. The window only routes the mouse and keys; the rules are those of the core.
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "graph/cursor_readout.h"
#include "graph/curve_export.h"
#include "graph/limit_overlay.h"
#include "platform/canvas.h"
#include "platform/csv_text.h"
#include "platform/output.h"
#include "platform/qt/csv_save_dialog.h"
#include "platform/qt/message_box.h"
#include "platform/qt/picture_file.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/save_file_dialog.h"
#include "ui/graph_window.h"

namespace hg {

namespace {

// A drag shorter than this is a click, not a zoom.
constexpr int kLeastDrag = 5;
// One wheel step shows this much of the range.
constexpr double kWheelZoom = 0.8;

QString readoutHtml(const CursorReadout& r) {
    QString html = u"<b>"_qs + toQString(r.when).toHtmlEscaped() + u"</b>"_qs;
    for (const ReadoutLine& line : r.lines) {
        const Rgb c = paletteRgb(line.colour);
        html += u"<br><span style='color:%1'>■</span> %2 <b>%3</b> %4"_qs.arg(
            QColor(c.r, c.g, c.b).name(), toQString(line.legend).toHtmlEscaped(),
            toQString(line.value), toQString(line.unit).toHtmlEscaped());
    }
    return html;
}

// Why a graph was not drawn, in the user's words.
QString whyNotDrawn(GraphOutcome outcome) {
    switch (outcome) {
        case GraphOutcome::NoOrders:
            return u"描く次数が選ばれていません。"_qs;
        case GraphOutcome::TooSmall:
            return u"グラフを描くには画面が小さすぎます。ウィンドウを広げてください。"_qs;
        default:
            return u"解析内容と解析次数を選んでください。"_qs;
    }
}

}  // namespace

// The cursor line is painted over the kept picture: only the columns of its old and new place
// are painted again.
void GraphPicture::setCursorX(std::optional<int> x) {
    if (x == cursorX_) return;
    const auto columns = [this](int at) { return QRect(at - 2, 0, 5, height()); };
    if (cursorX_) update(columns(*cursorX_));
    cursorX_ = x;
    if (cursorX_) update(columns(*cursorX_));
}

void GraphPicture::setSecondCursorX(std::optional<int> x) {
    if (x == secondCursorX_) return;
    secondCursorX_ = x;
    update();
}

void GraphPicture::setMaximumMark(std::optional<QPoint> at) {
    if (at == maximumMark_) return;
    maximumMark_ = at;
    update();
}

void GraphPicture::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    if (event->modifiers() & Qt::ControlModifier) {
        valueFrom_ = at.y();
    } else if (event->modifiers() & Qt::ShiftModifier) {
        panFrom_ = at.x();
        panMoved_ = false;
    } else {
        dragFrom_ = at.x();
    }
    dragTo_.reset();
    valueTo_.reset();
}

void GraphPicture::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (valueFrom_) {
        valueTo_ = at.y();
        update();
        return;
    }
    if (panFrom_) {
        const int dx = at.x() - *panFrom_;
        panFrom_ = at.x();
        panMoved_ = panMoved_ || dx != 0;
        if (dx != 0) emit panDragged(dx);
        return;
    }
    if (dragFrom_) {
        dragTo_ = at.x();
        update();
    }
    emit pointerMoved(at);
}

void GraphPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const std::optional<int> from = dragFrom_, valueFrom = valueFrom_;
    const bool shiftClick = panFrom_ && !panMoved_;
    const QPoint to = event->position().toPoint();
    dragFrom_.reset();
    dragTo_.reset();
    panFrom_.reset();
    valueFrom_.reset();
    valueTo_.reset();
    update();
    if (from) emit zoomDragged(*from, to.x());
    if (valueFrom) emit valueDragged(*valueFrom, to.y());
    if (shiftClick) emit secondCursorClicked(to.x());
}

void GraphPicture::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) emit wheelTurned(event->position().toPoint(), steps);
    event->accept();
}

void GraphPicture::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            emit keyPressed(event->key() | (shift ? int(Qt::ShiftModifier) : 0));
            return;
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Escape:
        case Qt::Key_Plus:
        case Qt::Key_Minus:
        case Qt::Key_Equal:  // + without Shift on most keyboards
        case Qt::Key_Backspace:
            emit keyPressed(event->key());
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

// Only the parts asked for are painted from the kept picture (a cursor move asks for two narrow
// columns). White goes only where the picture does not reach: at a whole pixel ratio it covers
// its own pixels exactly (at another one the edges of a part may fall between image pixels, so
// the part is whitened first).
void GraphPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const double ratio = image_.devicePixelRatio();
    const bool wholeRatio = ratio == std::floor(ratio);
    const QRect covered = image_.isNull() || !wholeRatio
                              ? QRect()
                              : QRect(0, 0, static_cast<int>(image_.width() / ratio),
                                      static_cast<int>(image_.height() / ratio));
    for (const QRect& part : event->region()) {
        for (const QRect& bare : QRegion(part).subtracted(covered))
            painter.fillRect(bare, Qt::white);
        if (!image_.isNull())
            painter.drawImage(QPointF(part.topLeft()), image_,
                              QRectF(part.x() * ratio, part.y() * ratio, part.width() * ratio,
                                     part.height() * ratio));
    }
    if (cursorX_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawLine(*cursorX_, 0, *cursorX_, height());
    }
    if (secondCursorX_) {
        painter.setPen(QPen(Qt::darkMagenta, 1, Qt::DashDotLine));
        painter.drawLine(*secondCursorX_, 0, *secondCursorX_, height());
    }
    if (maximumMark_) {
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(*maximumMark_, 6, 6);
    }
    if (valueFrom_ && valueTo_) {
        const int top = std::min(*valueFrom_, *valueTo_);
        painter.fillRect(0, top, width(), std::abs(*valueTo_ - *valueFrom_),
                         QColor(192, 96, 0, 48));
    }
    if (dragFrom_ && dragTo_) {
        const int left = std::min(*dragFrom_, *dragTo_);
        painter.fillRect(left, 0, std::abs(*dragTo_ - *dragFrom_), height(),
                         QColor(0, 96, 192, 48));
    }
}

void GraphWindow::buildReading(QWidget* c) {
    Picture1->setFocusPolicy(Qt::ClickFocus);
    Picture1->setMouseTracking(true);
    HScroll1 = new QScrollBar(Qt::Horizontal, c);
    HScroll1->hide();
    Readout = new QLabel(c);
    Readout->setTextFormat(Qt::RichText);
    Readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Readout->setWordWrap(true);
    Readout->setFrameShape(QFrame::StyledPanel);
    Readout->hide();
    Command6->setEnabled(false);
    connect(Picture1, &GraphPicture::pointerMoved, this, &GraphWindow::pointerMoved);
    connect(Picture1, &GraphPicture::keyPressed, this, &GraphWindow::keyPressed);
    connect(Picture1, &GraphPicture::zoomDragged, this, &GraphWindow::zoomDragged);
    connect(Picture1, &GraphPicture::panDragged, this, &GraphWindow::panDragged);
    connect(Picture1, &GraphPicture::wheelTurned, this, &GraphWindow::wheelTurned);
    connect(HScroll1, &QScrollBar::valueChanged, this, &GraphWindow::panScrolled);
    connect(Picture1, &GraphPicture::secondCursorClicked, this, &GraphWindow::secondCursorClicked);
    connect(Picture1, &GraphPicture::valueDragged, this, &GraphWindow::valueDragged);
}

void GraphWindow::buildReadingMenus() {
    MeV->addSeparator();
    MeCursor = MeV->addAction(u"カーソル値表示"_qs);
    MeCursor->setCheckable(true);
    MeWhole = MeV->addAction(u"全体表示"_qs);
    MeWhole->setEnabled(false);
    MeLimit = MeV->addMenu(u"限度値"_qs);
    MeLimit->addAction(u"なし"_qs);  // the sets are listed when the menu opens
    MeSpec = MeV->addAction(u"スペクトル"_qs);
    MeComp = MeV->addAction(u"適合判定"_qs);
    limitGroup_ = new QActionGroup(this);
    connect(MeCursor, &QAction::toggled, this, [this] {
        layoutPicture();
        showCursor();
    });
    connect(MeWhole, &QAction::triggered, this, &GraphWindow::showWholePeriod);
    connect(MeLimit, &QMenu::aboutToShow, this, &GraphWindow::fillLimitMenu);
    connect(MeSpec, &QAction::triggered, this, &GraphWindow::spectrumRequested);
    connect(MeComp, &QAction::triggered, this, [this] { openCompliance(); });
    connect(MeSavePic, &QAction::triggered, this, &GraphWindow::savePicture);
    connect(MeSaveCsv, &QAction::triggered, this, &GraphWindow::saveCurvesCsv);
    buildToolMenus();
}

bool GraphWindow::cursorShown() const {
    return MeCursor->isChecked();
}

// The cursor follows the pointer to the record nearest in time among those shown.
void GraphWindow::pointerMoved(QPoint at) {
    if (!cursorShown() || !layout_) return;
    const ShownRange shown = view_->shownRange();
    const double minute = std::clamp(minuteAtX(*layout_, at.x()), shown.first, shown.last);
    const std::optional<int32_t> rec = nearestRecord(*analysis_, minute);
    if (!rec || rec == view_->cursor()) return;
    view_->setCursor(rec);
    showCursor();
    emit viewChanged();
    if (!followingCursor_) emit cursorTimeMoved(recordDateTime(*analysis_, *rec));
}

void GraphWindow::keyPressed(int key) {
    if (toolKey(key)) return;
    if (key == Qt::Key_Escape) return showWholePeriod();
    const int32_t n = placedRecords(*analysis_);
    if (!cursorShown() || !layout_ || n <= 0) return;
    const int32_t at = view_->cursor().value_or(recordsIn(*analysis_, view_->shownRange()).first);
    int32_t next = at;
    if (key == Qt::Key_Left) next = at - 1;
    if (key == Qt::Key_Right) next = at + 1;
    if (key == Qt::Key_Home) next = 0;
    if (key == Qt::Key_End) next = n - 1;
    moveCursorTo(std::clamp(next, 0, n - 1));
}

// A cursor moved out of a zoomed range takes the range with it.
void GraphWindow::moveCursorTo(int32_t record) {
    view_->setCursor(record);
    const double minute = recordMinute(*analysis_, record);
    const ShownRange shown = view_->shownRange();
    if (view_->range() && minute < shown.first)
        zoomTo(panBy(*analysis_, shown, minute - shown.first));
    else if (view_->range() && minute > shown.last)
        zoomTo(panBy(*analysis_, shown, minute - shown.last));
    showCursor();
    emit viewChanged();
    if (!followingCursor_) emit cursorTimeMoved(recordDateTime(*analysis_, record));
}

// The cursor line over the picture and the readout of its record beside it.
void GraphWindow::showCursor() {
    const std::optional<int32_t> rec = view_->cursor();
    if (!cursorShown() || !rec || !layout_) {
        Picture1->setCursorX(std::nullopt);
        Readout->clear();
        return;
    }
    const double minute = recordMinute(*analysis_, *rec);
    const ShownRange shown = view_->shownRange();
    const bool inside = minute >= shown.first && minute <= shown.last;
    Picture1->setCursorX(
        inside ? std::optional<int>(static_cast<int>(std::lround(xOfMinute(*layout_, minute))))
               : std::nullopt);
    Readout->setText(readoutHtml(cursorReadout(*analysis_, view_->request({}), *rec)) +
                     toolsHtml());
}

void GraphWindow::zoomDragged(int fromX, int toX) {
    if (!layout_ || std::abs(toX - fromX) < kLeastDrag) return;
    zoomTo(rangeBetween(*analysis_, minuteAtX(*layout_, fromX), minuteAtX(*layout_, toX)));
}

void GraphWindow::wheelTurned(QPoint at, int steps) {
    if (!layout_) return;
    zoomTo(zoomAround(*analysis_, view_->shownRange(), minuteAtX(*layout_, at.x()),
                      std::pow(kWheelZoom, steps)));
}

// A Shift-drag moves the graph with the pointer: to the right shows earlier records.
void GraphWindow::panDragged(int dx) {
    if (!layout_ || !view_->range() || layout_->XScale <= 0) return;
    zoomTo(panBy(*analysis_, view_->shownRange(), -dx / layout_->XScale));
}

void GraphWindow::panScrolled(int value) {
    if (!view_->range()) return;
    zoomTo(panBy(*analysis_, *view_->range(), value - view_->range()->first));
}

void GraphWindow::showWholePeriod() {
    if (!view_->range()) return;
    history_.remember(view_->range(), std::nullopt);
    view_->setRange(std::nullopt);
    rangeChanged();
}

void GraphWindow::zoomTo(ShownRange range) {
    if (!drawn_) return;
    const std::optional<ShownRange> before = view_->range();
    view_->setRange(range);
    history_.remember(before, view_->range());
    if (view_->range() != before) rangeChanged();
}

// The pan bar appears or goes with the zoom (the picture makes room for it), and the graph is
// drawn over the new range.
void GraphWindow::rangeChanged() {
    const bool zoomed = view_->range().has_value();
    syncPanBar();
    Command6->setEnabled(zoomed);
    MeWhole->setEnabled(zoomed);
    if (zoomed != HScroll1->isVisible())
        layoutPicture();
    else
        draw();
    emit viewChanged();
}

void GraphWindow::syncPanBar() {
    const QSignalBlocker block(HScroll1);
    const std::optional<ShownRange>& r = view_->range();
    if (!r) return HScroll1->setRange(0, 0);
    const double whole = wholePeriod(*analysis_).minutes();
    const int page = std::max(1, static_cast<int>(std::lround(r->minutes())));
    HScroll1->setRange(0, std::max(0, static_cast<int>(std::lround(whole - r->minutes()))));
    HScroll1->setPageStep(page);
    HScroll1->setSingleStep(std::max(1, page / 10));
    HScroll1->setValue(static_cast<int>(std::lround(r->first)));
}

// The sets installed with the program and the user's, read once per window.
const LimitCatalogue& GraphWindow::limitCatalogue() {
    return catalogue();
}

const LimitCatalogue& GraphWindow::catalogue() {
    if (!catalogue_) {
        const std::string program = QCoreApplication::applicationFilePath().toStdString();
        catalogue_ = loadLimitSets(limitFolders(program));
        if (!catalogue_->problems.empty()) {
            QString text = u"読めない限度値ファイルがあります:"_qs;
            for (const std::string& p : catalogue_->problems) text += u"\n"_qs + toQString(p);
            showMessage(this, text);
        }
    }
    return *catalogue_;
}

void GraphWindow::fillLimitMenu() {
    MeLimit->clear();
    QAction* none = MeLimit->addAction(u"なし"_qs);
    none->setCheckable(true);
    none->setChecked(!view_->limitSet());
    limitGroup_->addAction(none);
    connect(none, &QAction::triggered, this, [this] { chooseLimitSet({}); });
    for (const LimitSet& set : catalogue().sets) {
        const QString name = toQString(set.name);
        QAction* entry = MeLimit->addAction(name + u"  "_qs + toQString(set.title));
        entry->setData(name);
        entry->setCheckable(true);
        entry->setChecked(view_->limitSet() && view_->limitSet()->name == set.name);
        limitGroup_->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, name] { chooseLimitSet(name); });
    }
}

void GraphWindow::chooseLimitSet(const QString& name) {
    const LimitSet* set = name.isEmpty() ? nullptr : catalogue().find(name.toStdString());
    view_->setLimitSet(set ? std::optional<LimitSet>(*set) : std::nullopt);
    showContractPower();
    emit limitSetChosen(set ? name : QString());
    if (drawn_) draw();
    emit viewChanged();  // the spectrum marks its bars with the set
}

// The contract power: beside the commands while a current-per-kW set is chosen.
void GraphWindow::buildContractPower(QWidget* c) {
    // In the second row of buttons, after 全体表示.
    const QRect place = Command6->geometry();
    Label6 = new QLabel(u"契約電力"_qs, c);
    Label6->setGeometry(place.right() + 8, place.top(), 52, place.height());
    Text3 = new QLineEdit(c);
    Text3->setGeometry(place.right() + 62, place.top() + 2, 56, place.height() - 4);
    Text3->setToolTip(u"電流の限度値 (mA/kW) を電流に直す契約電力"_qs);
    Label7 = new QLabel(u"kW"_qs, c);
    Label7->setGeometry(place.right() + 122, place.top(), 24, place.height());
    connect(Text3, &QLineEdit::textEdited, this, [this](const QString& kw) {
        takeContractPower();
        emit contractPowerEdited(kw);
    });
    showContractPower();
}

void GraphWindow::showContractPower() {
    const bool perKw =
        view_ && view_->limitSet() && view_->limitSet()->quantity == LimitQuantity::CurrentPerKw;
    for (QWidget* w : std::initializer_list<QWidget*>{Label6, Text3, Label7}) w->setVisible(perKw);
}

void GraphWindow::setContractPower(const QString& kw) {
    if (Text3->text() == kw) return;
    Text3->setText(kw);
    takeContractPower();
}

// A contract power that is not a number above 0 draws no current limit.
void GraphWindow::takeContractPower() {
    bool ok = false;
    const double kw = Text3->text().trimmed().toDouble(&ok);
    view_->setContractKw(ok && std::isfinite(kw) && kw > 0 ? std::optional<double>(kw)
                                                           : std::nullopt);
    if (drawn_ && view_->limitSet()) draw();
}

void GraphWindow::drawLimitOverlayOn(Canvas& canvas, const GraphDrawing& drawing, int fontSize) {
    const std::optional<LimitOverlayRequest> r = view_->limitOverlay();
    if (!r) return;
    drawLimitOverlay(canvas, drawing, limitOverlayCurves(*r), r->item, fontSize);
}

std::vector<OverlayCurve> GraphWindow::limitOverlayCurves(const LimitOverlayRequest& r) const {
    return overlayCurves(statisticsSourceOf(*analysis_), r);
}

// The controller opens the compliance window on the window's catalogue.
void GraphWindow::openCompliance() {
    if (catalogue().sets.empty()) {
        showMessage(this, u"限度値セットが見つかりません。"_qs);
        return;
    }
    emit complianceRequested();
}

void GraphWindow::savePicture() {
    if (!drawn_) return;
    const QString path =
        askSaveFileName
            ? askSaveFileName(u"画像保存"_qs, u"PNG (*.png);;SVG (*.svg);;PDF (*.pdf)"_qs)
            : hg::askSaveFileName(this, u"画像保存"_qs,
                                  u"PNG (*.png);;SVG (*.svg);;PDF (*.pdf)"_qs);
    if (path.isEmpty()) return;
    const std::optional<PictureForm> form = pictureFormOf(QFile::encodeName(path).toStdString());
    if (!form) {
        showMessage(this, u"ファイル名の拡張子を .png、.svg、.pdf のどれかにしてください。"_qs);
        return;
    }
    GraphRequest request = view_->request(view_->message());
    request.clientHeight = clientHeight();
    const int fontSize = graphFontSize(request.clientHeight);
    GraphOutcome outcome = GraphOutcome::NoSelection;
    const PictureOutcome result = writePicture(
        path, *form, Picture1->width(), Picture1->height(), windowTitle(), [&](Canvas& canvas) {
            const GraphDrawing drawing = composeGraph(canvas, *analysis_, request);
            outcome = drawing.outcome;
            if (drawing.outcome != GraphOutcome::Drawn) return false;
            drawLimitOverlayOn(canvas, drawing, fontSize);
            return true;
        });
    if (result.result == PictureResult::Written) return;
    const QString why = result.result == PictureResult::NotDrawn
                            ? whyNotDrawn(outcome)
                            : QString::fromStdString(result.cause);
    showMessage(this, u"画像を保存できませんでした: "_qs + path + u"\n"_qs + why);
}

// The drawn curves over the range shown, in the code page chosen in the save dialog.
void GraphWindow::saveCurvesCsv() {
    if (!drawn_) return;
    const auto chosen = askCsvTarget(this, u"CSV保存"_qs);
    if (!chosen) return;
    const std::string target = QFile::encodeName(chosen->path).toStdString();
    Status saved = checkOutputTarget(target, analysis_->FilePath);
    if (const std::string failed = tablesFailureFor(*analysis_, view_->selection().item());
        saved && !failed.empty())
        saved = Error{failed};
    if (saved)
        saved = writeCsvFile(target, curvesCsv(*analysis_, view_->request({}), view_->shownRange()),
                             chosen->encoding);
    if (!saved) showMessage(this, saved.error());
}

}  // namespace hg
