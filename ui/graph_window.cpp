#include "ui/graph_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <future>
#include <system_error>

#include "analysis/channels.h"
#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/order_flags.h"
#include "datafile/record_format.h"
#include "graph/curve_rules.h"
#include "graph/graph_composition.h"
#include "graph/limit_overlay.h"
#include "platform/qt/check_value.h"
#include "platform/qt/message_box.h"
#include "platform/qt/paint_in_halves.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/wait_cursor.h"

namespace hg {

namespace {

// The picture's side margins.
constexpr int kPictureMargin = 8;
// The readout strip beside the picture, and the pan bar under it.
constexpr int kReadoutWidth = 220;
constexpr int kPanBarHeight = 16;
// The picture takes the window's inner width less 16 pixels.
constexpr int kPictureWidthLess = 16;
// The print message and the buttons from here to the right edge of the controls, which fit a
// window maximised in the frame of 1000 pixels.
constexpr int kCommandsLeft = 726;
constexpr int kButtonWidth = 50;
constexpr int kControlsRight = kCommandsLeft + 5 * kButtonWidth + 4 * 2;

}  // namespace

GraphPicture::GraphPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphPicture::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

GraphWindow::GraphWindow(std::shared_ptr<const HARMDIM> analysis, QMdiArea* area,
                         std::optional<Extra> extra)
    : analysis_(std::move(analysis)), area_(area), extra_(std::move(extra)) {
    setWindowTitle(extra_ ? QStringLiteral("高調波グラフ作成 %1").arg(extra_->number + 2)
                          : QStringLiteral("高調波グラフ作成"));
    buildControls();
    buildMenus();
    QMdiSubWindow* frame = area_->addSubWindow(this);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowTitle(windowTitle());
    frame->resize(960, 640);
    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window && window == subWindow()) activated();
    });
    load();
}

GraphWindow::~GraphWindow() = default;

QMdiSubWindow* GraphWindow::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void GraphWindow::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    menuBar = new QMenuBar(this);
    outer->setMenuBar(menuBar);
    client_ = new QWidget(this);
    client_->installEventFilter(this);
    outer->addWidget(client_);
    buildLists(client_);
    buildOrderGrid(client_);
    buildChannelOptions(client_);
    buildPrediction(client_);
    buildCommands(client_);
    buildContractPower(client_);
    Picture1 = new GraphPicture(client_);
    Computing = new QLabel(QStringLiteral("計算中: 電力..."), Picture1);
    Computing->setStyleSheet(
        QStringLiteral("background: white; padding: 4px; border: 1px solid gray;"));
    Computing->move(8, 8);
    Computing->hide();
    buildReading(client_);
    // The controls keep their room: the window is never narrower than they are.
    client_->setMinimumWidth(kControlsRight + kPictureMargin);
}

// Item and group lists.
void GraphWindow::buildLists(QWidget* c) {
    Label1 = new QLabel(QStringLiteral("解析内容"), c);
    Label1->setGeometry(8, 2, 180, 16);
    Combo1 = new QComboBox(c);
    Combo1->setGeometry(8, 18, 180, 24);
    Label2 = new QLabel(QStringLiteral("解析次数"), c);
    Label2->setGeometry(8, 46, 180, 16);
    Combo2 = new QComboBox(c);
    Combo2->setGeometry(8, 62, 180, 24);
    Combo2->setMaxVisibleItems(30);
    connect(Combo1, &QComboBox::activated, this, &GraphWindow::itemChosen);
    connect(Combo2, &QComboBox::activated, this, &GraphWindow::groupChosen);
}

// The order grid: five columns under their headers, the first box of a row with its caption.
void GraphWindow::buildOrderGrid(QWidget* c) {
    const int gridLeft = 196;
    const int headerTop = 2;
    const int rowTop = 18;
    const int rowHeight = 17;
    for (int col = 0; col < 5; ++col) {
        Label4[col] = new QLabel(c);
        Label4[col]->setAlignment(Qt::AlignCenter);
        Label4[col]->setGeometry(gridLeft + 40 + col * 26, headerTop, 26, 16);
    }
    for (int i = 0; i < kGridBoxes; ++i) {
        const int row = i / 5;
        const int col = i % 5;
        auto* box = new QCheckBox(c);
        box->setFocusPolicy(Qt::TabFocus);
        if (col == 0)
            box->setGeometry(gridLeft, rowTop + row * rowHeight, 64, rowHeight);
        else
            box->setGeometry(gridLeft + 45 + col * 26, rowTop + row * rowHeight, 22, rowHeight);
        connect(box, &QCheckBox::clicked, this,
                [this, i](bool checked) { boxClicked(i, checked); });
        Check1[i] = box;
    }
    VScroll1 = new QScrollBar(Qt::Vertical, c);
    VScroll1->setRange(0, kMaxScroll);
    VScroll1->setPageStep(5);
    VScroll1->setGeometry(gridLeft + 176, rowTop, 16, 5 * rowHeight);
    connect(VScroll1, &QScrollBar::valueChanged, this, &GraphWindow::scrolled);
}

void GraphWindow::buildChannelOptions(QWidget* c) {
    Frame1 = new QGroupBox(QStringLiteral("電流ch選択"), c);
    Frame1->setGeometry(396, 0, 150, 102);
    for (int i = 0; i < 10; ++i) {
        auto* option = new QRadioButton(Frame1);
        option->setGeometry(6 + (i / 5) * 72, 16 + (i % 5) * 17, 70, 17);
        connect(option, &QRadioButton::clicked, this, [this, i] { channelChosen(i); });
        Option1[i] = option;
    }
}

// The prediction and its transformer parameters.
void GraphWindow::buildPrediction(QWidget* c) {
    Check2 = new QCheckBox(QStringLiteral("上位電圧歪・位相予測計算"), c);
    Check2->setGeometry(554, 2, 168, 18);
    connect(Check2, &QCheckBox::toggled, this, &GraphWindow::predictionToggled);
    const char* labels[6] = {"変圧器容量", "MVA", "%X", "%", "電圧", "kV"};
    const char* initial[3] = {"10", "8.0", "6.6"};
    for (int i = 0; i < 3; ++i) {
        Label5[2 * i] = new QLabel(QString::fromUtf8(labels[2 * i]), c);
        Label5[2 * i]->setGeometry(558, 24 + i * 26, 72, 22);
        Text2[i] = new QLineEdit(QString::fromUtf8(initial[i]), c);
        Text2[i]->setGeometry(630, 24 + i * 26, 50, 22);
        connect(Text2[i], &QLineEdit::textChanged, this, &GraphWindow::boxTransformerEdited);
        connect(Text2[i], &QLineEdit::editingFinished, this,
                [this] { (void)checkParameters(true); });
        Label5[2 * i + 1] = new QLabel(QString::fromUtf8(labels[2 * i + 1]), c);
        Label5[2 * i + 1]->setGeometry(684, 24 + i * 26, 36, 22);
    }
    predictionToggled(false);
}

// A prediction shown follows the edit at once: its curves, or the notice that it cannot be drawn.
void GraphWindow::boxTransformerEdited() {
    takeBoxTransformer();
    if (drawn_ && view_->showsPrediction()) draw();
}

// The main window's prediction takes the transformer its boxes show.
void GraphWindow::takeBoxTransformer() {
    if (!view_ || !isMainWindow()) return;
    view_->setTransformer(transformerParameters(Text2[0]->text().toStdString(),
                                                Text2[1]->text().toStdString(),
                                                Text2[2]->text().toStdString()));
}

std::array<QString, 3> GraphWindow::transformerTexts() const {
    return {Text2[0]->text(), Text2[1]->text(), Text2[2]->text()};
}

// An extra window's boxes show the transformer it took when it opened, as the main window's
// boxes showed it.
void GraphWindow::showTransformer(const std::array<QString, 3>& texts) {
    for (std::size_t i = 0; i < Text2.size(); ++i) {
        const QSignalBlocker block(Text2[i]);
        Text2[i]->setText(texts[i]);
    }
}

// The print message and the buttons in two rows under it.
void GraphWindow::buildCommands(QWidget* c) {
    Label3 = new QLabel(QStringLiteral("プリントメッセージ"), c);
    Label3->setGeometry(kCommandsLeft, 2, kControlsRight - kCommandsLeft, 16);
    Text1 = new QLineEdit(c);
    Text1->setGeometry(kCommandsLeft, 18, kControlsRight - kCommandsLeft, 24);
    connect(Text1, &QLineEdit::textChanged, this, &GraphWindow::messageChanged);
    auto button = [c](const char* caption, int place, int row, int width = kButtonWidth) {
        auto* b = new QPushButton(QString::fromUtf8(caption), c);
        b->setGeometry(kCommandsLeft + place * (kButtonWidth + 2), 46 + row * 30, width, 27);
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button("実行", 0, 0);
    Command2 = button("印刷", 1, 0);
    Command5 = button("ｺﾋﾟｰ", 2, 0);
    Command3 = button("前画面", 3, 0);
    Command4 = button("終了", 4, 0);
    Command6 = button("全体表示", 0, 1, 2 * kButtonWidth);
    connect(Command1, &QPushButton::clicked, this, &GraphWindow::drawAsked);
    connect(Command2, &QPushButton::clicked, this, &GraphWindow::openPrintDialog);
    connect(Command5, &QPushButton::clicked, this, &GraphWindow::copyPicture);
    connect(Command3, &QPushButton::clicked, this, &GraphWindow::backRequested);
    connect(Command4, &QPushButton::clicked, this, &GraphWindow::endRequested);
    connect(Command6, &QPushButton::clicked, this, &GraphWindow::showWholePeriod);
}

void GraphWindow::buildMenus() {
    MeF = menuBar->addMenu(QStringLiteral("ファイル"));
    MePR = MeF->addAction(QStringLiteral("印刷"));
    MeSavePic = MeF->addAction(QStringLiteral("画像保存..."));
    MeSaveCsv = MeF->addAction(QStringLiteral("CSV保存..."));
    MeLo = MeF->addAction(QStringLiteral("新規読み込み"));
    MeEnd = MeF->addAction(QStringLiteral("終了"));
    MeE = menuBar->addMenu(QStringLiteral("編集"));
    MeCOPY = MeE->addAction(QStringLiteral("ｸﾘｯﾂﾌﾟﾎﾞｰﾄﾞﾍCopy"));
    MeV = menuBar->addMenu(QStringLiteral("表示"));
    MeGV = MeV->addAction(QStringLiteral("グラフ更新"));
    MeW = menuBar->addMenu(QStringLiteral("ウィンドウ"));
    Win = MeW->addAction(QStringLiteral("新しいウィンド"));
    MeW->addSeparator();
    for (int i = 0; i < 5; ++i) {
        wsh[i] = MeW->addAction(QStringLiteral("ウインドを表示%1").arg(i + 1));
        wsh[i]->setEnabled(false);
        connect(wsh[i], &QAction::triggered, this, [this, i] { emit windowShowRequested(i); });
    }
    connect(MePR, &QAction::triggered, this, &GraphWindow::openPrintDialog);
    connect(MeLo, &QAction::triggered, this, &GraphWindow::backRequested);
    connect(MeEnd, &QAction::triggered, this, &GraphWindow::endRequested);
    connect(MeCOPY, &QAction::triggered, this, &GraphWindow::copyPicture);
    connect(MeGV, &QAction::triggered, this, &GraphWindow::drawAsked);
    connect(Win, &QAction::triggered, this, &GraphWindow::extraWindowRequested);
    buildReadingMenus();
    // The keys of the commands, shown in the menus; they act in the window that has the focus,
    // whichever of the graph windows that is.
    const std::pair<QAction*, QKeySequence> keys[] = {
        {MeGV, QKeySequence(Qt::Key_F5)},
        {MeCOPY, QKeySequence::Copy},
        {MePR, QKeySequence::Print},
    };
    for (const auto& [action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
}

void GraphWindow::load() {
    tag_ = extra_ ? QString::number(extra_->number) : QStringLiteral("-1");
    Command2->setEnabled(false);
    MePR->setEnabled(false);
    const int channels = analysis_->ChannelCount;
    for (int i = 0; i < 10; ++i) {
        QRadioButton* option = Option1[i];
        // The measured channels "1ch" .., then the composite "合成" whatever their number.
        option->setEnabled(i <= channels);
        option->setText(i <= channels ? toQString(channelName(i, channels))
                                      : QStringLiteral("-ch"));
    }
    Option1[0]->setChecked(true);

    RedrawFlag = -1;
    view_ = std::make_unique<GraphView>(*analysis_);

    Combo1->clear();
    for (const ItemEntry& e : itemListOf(analysis_->Kind.family))
        Combo1->addItem(toQString(e.text));
    Combo1->setCurrentIndex(-1);
    Combo2->clear();
    for (const std::string& text : groupListOf(analysis_->MaxOrderIndex))
        Combo2->addItem(QString::fromStdString(text));
    Combo2->setCurrentIndex(-1);
    Command1->setEnabled(false);

    if (extra_) {
        // The prediction's parameters are those the main window had when this one opened; the
        // boxes show them.
        Check2->setEnabled(false);
        predictionToggled(false);
        view_->setTransformer(extra_->transformer);
        showTransformer(extra_->texts);
    } else {
        takeBoxTransformer();
    }
    syncControls();
}

void GraphWindow::showWindow() {
    QMdiSubWindow* frame = subWindow();
    if (isMainWindow())
        frame->showMaximized();
    else
        frame->show();
    area_->setActiveSubWindow(frame);
    layoutPicture();
}

int GraphWindow::clientHeight() const {
    return client_->height();
}

const QImage& GraphWindow::picture() const {
    return Picture1->image();
}

void GraphWindow::setWindowEntries(bool newWindow, const std::array<bool, 3>& shown) {
    Win->setEnabled(newWindow);
    for (std::size_t i = 0; i < shown.size(); ++i) wsh[i]->setEnabled(shown[i]);
}

// Activation: draws a pending redraw of the window's selection, and lays out the channel frame
// and the grid for the file.
void GraphWindow::activated() {
    const GraphSelection& s = view_->selection();
    if (s.group() > 0 && s.item() > 0 && RedrawFlag != 0) draw();
    Frame1->setVisible(analysis_->ChannelCount > 0);
    syncControls();
}

bool GraphWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) layoutPicture();
    return QWidget::eventFilter(watched, event);
}

// Resize: the picture takes the inner width less 16 and the inner height less 105, and the graph
// is drawn again at that size.
void GraphWindow::layoutPicture() {
    // The readout strip and the pan bar take their room from the picture only while shown.
    const int strip = cursorShown() ? kReadoutWidth : 0;
    const int bar = view_ && view_->range() ? kPanBarHeight : 0;
    const int width = std::max(0, client_->width() - kPictureWidthLess - strip);
    const int height = std::max(0, client_->height() - kGraphControlBand - bar);
    Picture1->setGeometry(kPictureMargin, kGraphControlBand, width, height);
    HScroll1->setGeometry(kPictureMargin, kGraphControlBand + height, width, bar);
    HScroll1->setVisible(bar > 0);
    Readout->setGeometry(kPictureMargin + width + 4, kGraphControlBand, strip - 4, height);
    Readout->setVisible(strip > 0);
    const GraphSelection& s = view_->selection();
    if (drawn_ || (s.item() > 0 && s.group() > 0)) draw();
}

void GraphWindow::syncControls() {
    syncing_ = true;
    const GraphSelection& s = view_->selection();
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setEnabled(s.scrollEnabled());
        VScroll1->setValue(s.scroll());
    }
    for (int c = 0; c < 5; ++c) Label4[c]->setText(QString::fromStdString(s.columnCaption(c)));
    for (int r = 0; r < kGridRows; ++r)
        Check1[5 * r]->setText(QString::fromStdString(s.rowCaption(r)));
    JisuChange();
    if (s.group() == 8) {
        // Items that choose their own series leave the orders as chosen by hand.
        const QSignalBlocker block(Combo2);
        Combo2->setCurrentIndex(Combo2->count() - 1);
    }
    Combo2->setVisible(s.groupListVisible());
    Label2->setEnabled(s.groupLabelEnabled());
    Command1->setEnabled(s.drawEnabled());
    MeGV->setEnabled(true);
    syncing_ = false;
}

void GraphWindow::JisuChange() {
    for (int i = 0; i < kGridBoxes; ++i) {
        const OrderBox b = view_->selection().box(i);
        const QSignalBlocker block(Check1[i]);
        setCheckValue(*Check1[i], b.value);
        Check1[i]->setEnabled(b.enabled);
    }
}

void GraphWindow::itemChosen(int index) {
    if (index < 0) return;
    const bool drawNow = view_->selection().chooseItem(Combo1->itemText(index).toStdString());
    syncControls();
    if (drawNow) draw();
}

void GraphWindow::groupChosen(int index) {
    if (index < 0) return;
    const bool drawNow = view_->selection().chooseGroup(Combo2->itemText(index).toStdString());
    syncControls();
    if (drawNow) draw();
}

void GraphWindow::boxClicked(int index, bool checked) {
    if (syncing_) return;
    view_->selection().clickBox(index, checked);
    JisuChange();
}

void GraphWindow::scrolled(int value) {
    if (syncing_) return;
    view_->selection().scrollTo(value);
    syncControls();
}

// The channel is the window's whatever the item: the spectrum and compliance windows follow it.
void GraphWindow::channelChosen(int index) {
    if (view_->selection().chooseChannel(index)) {
        Command1->setEnabled(true);
        draw();
    }
    emit viewChanged();
}

void GraphWindow::predictionToggled(bool checked) {
    for (QLabel* label : Label5) label->setEnabled(checked);
    for (QLineEdit* box : Text2) box->setEnabled(checked);
}

// A changed print message shows on the picture at once: the graph is drawn again with it.
void GraphWindow::messageChanged() {
    view_->setMessage(Text1->text().toStdString());
    if (drawn_) draw();
}

void GraphWindow::draw() {
    drawGraph(false);
}

// Command1 and MeGV: the draw the user asks for reports unusable prediction parameters once.
void GraphWindow::drawAsked() {
    drawGraph(true);
}

namespace {

bool sameParameters(const TransformerParameters& a, const TransformerParameters& b) {
    return a.capacity == b.capacity && a.reactance == b.reactance && a.voltage == b.voltage;
}

}  // namespace

void GraphWindow::noteParametersTold(const TransformerParameters& parameters) {
    told_ = parameters;
}

// The prediction's parameters are checked when they are edited and when a draw the user asked for
// uses them; a box tells each unusable set once, in whichever window. Other draws (a resize, a
// keystroke in the print message) only say so in the picture.
Status GraphWindow::checkParameters(bool report) {
    const TransformerParameters& parameters = view_->transformer();
    Status usable = checkTransformerParameters(parameters);
    if (!usable && report && !(told_ && sameParameters(*told_, parameters))) {
        told_ = parameters;
        emit parametersTold(parameters);
        showMessage(this, usable.error());
    }
    return usable;
}

void GraphWindow::drawGraph(bool report) {
    if (busy_) {
        redrawPending_ = true;
        return;
    }
    const GraphSelection& s = view_->selection();
    if (s.item() == 0 || s.group() == 0 || closing_) return;
    busy_ = true;
    redrawPending_ = false;
    GraphDrawing drawing;
    {
        WaitCursor wait;
        showComputing();
        std::string notice;
        if (view_->showsPrediction()) {
            Status ready = checkParameters(report);
            if (ready) ready = view_->preparePrediction();
            if (!ready) notice = "予測曲線を描けません: " + ready.error();
        }
        drawing = composePicture(std::move(notice));
    }
    busy_ = false;
    Computing->hide();
    if (drawing.outcome == GraphOutcome::Drawn) {
        // The orders drawn become the ones the CSV dialog opens with.
        emit ordersDrawn(s.orders());
        RedrawFlag = 0;
        drawn_ = true;
    }
    if (drawing.outcome != GraphOutcome::TooSmall) {
        // Printing follows whether the last draw drew curves.
        printable_ = drawing.outcome == GraphOutcome::Drawn && drawing.curves > 0;
        Command2->setEnabled(printable_);
        MePR->setEnabled(printable_);
    }
    if (redrawPending_ && !closing_) draw();
}

// The currents are read back, and the power tables computed, by the first draw that reads them (a
// current, impedance or power item, the prediction, a limit set's statistics): on other threads,
// the window saying so and keeping its picture painted while it waits.
void GraphWindow::showComputing() {
    const int item = view_->selection().item();
    const bool limits = view_->limitSet() != nullptr;
    const bool powers = readsPowerTables(item) || limits;
    if (!analysis_->powersComputed() && powers) {
        Computing->setText(u"計算中: 電力..."_qs);
    } else if (!analysis_->currentsComputed() && (readsCurrentTable(item) || limits)) {
        Computing->setText(u"読み込み中: 電流..."_qs);
    } else {
        return;
    }
    Computing->adjustSize();
    Computing->show();
    Computing->repaint();
    // Read on another thread; the window's own events (its paint, the message) go on meanwhile.
    const std::shared_ptr<const HARMDIM> analysis = analysis_;
    const auto readTables = [analysis, powers] {
        (void)(powers ? analysis->powersFailure() : analysis->currentsFailure());
    };
    std::future<void> read;
    try {
        read = std::async(std::launch::async, readTables);
    } catch (const std::system_error&) {
        return readTables();  // no thread to be had: read here
    }
    while (read.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

GraphDrawing GraphWindow::composePicture(std::string notice) {
    // Drawn at the screen's pixel ratio: sharp on a scaled screen.
    QImage image = whitePicture(Picture1->size(), Picture1->devicePixelRatioF());
    if (image.isNull()) return GraphDrawing{GraphOutcome::TooSmall, {}, {}, {}, 0};
    GraphRequest request = view_->request(view_->message());
    request.clientHeight = clientHeight();
    request.notice = std::move(notice);
    request.afterCurve = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // The limit overlay's curves are computed once, before the two halves are painted.
    const std::optional<LimitOverlayRequest> overlay = view_->limitOverlay();
    const std::vector<OverlayCurve> overlayCurves =
        overlay ? limitOverlayCurves(*overlay) : std::vector<OverlayCurve>{};
    GraphRequest otherHalf = request;
    otherHalf.afterCurve = nullptr;  // the events are let through on this thread only
    const std::shared_ptr<const HARMDIM> analysis = analysis_;
    const int fontSize = graphFontSize(request.clientHeight);
    GraphDrawing drawing;
    paintInHalves(image, RoundLines::Filled, [&](QPainterCanvas& canvas, bool first) {
        const GraphDrawing drawn = composeGraph(canvas, *analysis, first ? request : otherHalf);
        if (drawn.outcome == GraphOutcome::Drawn && overlay)
            drawLimitOverlay(canvas, drawn, overlayCurves, overlay->item, fontSize);
        if (first) drawing = drawn;
    });
    if (drawing.outcome == GraphOutcome::Drawn && !closing_) {
        Picture1->setImage(std::move(image));
        layout_ = drawing.layout;
        axis_ = drawing.axis;
        noteShown();
        showCursor();
    }
    return drawing;
}

void GraphWindow::copyPicture() {
    // Before any graph there is nothing to copy: the clipboard keeps what it holds.
    if (Picture1->image().isNull()) return;
    QGuiApplication::clipboard()->setImage(Picture1->image());
}

void GraphWindow::openPrintDialog() {
    if (!printable_) return;
    emit printRequested();
}

void GraphWindow::closeEvent(QCloseEvent* event) {
    closing_ = true;
    event->accept();
    emit closing();
}

}  // namespace hg
