// GraphWindow "高調波グラフ作成": the graph window, an MDI child of the frame. The user chooses an
// item, an order group or orders by hand in the 5 x 5 grid, a current channel and the prediction's
// transformer parameters; every completed choice draws the graph on Picture1. The window's
// commands copy the picture, and ask the app controller (through signals) to open the print
// dialog, an extra graph window, the spectrum or compliance window, to go back to the file
// selection and to end the program.
//
// Every graph window holds the loaded analysis (shared, read-only) and its own view of it, which
// holds everything the window shows and prints. The main window (tag "-1") takes its prediction's
// transformer from its boxes; an extra window (tags "0", "1") takes the main window's once when it
// opens and keeps it. The tables go with the last window that holds them.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "analysis/order_flags.h"
#include "compliance/limits.h"
#include "graph/graph_view.h"
#include "graph/view_file.h"
#include "graph/zoom_history.h"
#include "ui/comparison_dialog.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QActionGroup;

namespace hg {

struct HARMDIM;
class Canvas;

// Picture1: the graph picture, kept as an image of the widget's size and shown as it is, with the
// cursor line and the band of a zoom drag over it (never in the image). Mouse and keys are handed
// to the window as signals.
class GraphPicture : public QWidget {
    Q_OBJECT

  public:
    explicit GraphPicture(QWidget* parent);
    const QImage& image() const { return image_; }
    void setImage(QImage image);
    // The cursor line's x; none hides it.
    void setCursorX(std::optional<int> x);
    std::optional<int> cursorX() const { return cursorX_; }
    // The second cursor's line (dash-dot), and the mark of a curve's maximum; none hides them.
    void setSecondCursorX(std::optional<int> x);
    std::optional<int> secondCursorX() const { return secondCursorX_; }
    void setMaximumMark(std::optional<QPoint> at);
    std::optional<QPoint> maximumMark() const { return maximumMark_; }

  signals:
    void pointerMoved(QPoint at);
    void zoomDragged(int fromX, int toX);    // a left drag released
    void panDragged(int dx);                 // a Shift-drag moved by dx pixels
    void wheelTurned(QPoint at, int steps);  // steps > 0: away from the user
    void keyPressed(int key);                // the key with Shift where it was held
    void secondCursorClicked(int x);         // a Shift-click that did not move
    void valueDragged(int fromY, int toY);   // a Ctrl-drag released

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QImage image_;
    std::optional<int> cursorX_;
    std::optional<int> dragFrom_;  // a zoom drag in progress started here
    std::optional<int> dragTo_;
    std::optional<int> panFrom_;  // a Shift-drag in progress is here
    bool panMoved_ = false;
    std::optional<int> valueFrom_;  // a Ctrl-drag in progress started at this y
    std::optional<int> valueTo_;
    std::optional<int> secondCursorX_;
    std::optional<QPoint> maximumMark_;
};

class GraphWindow : public QWidget {
    Q_OBJECT

  public:
    // An extra window: its number (0, 1) and the main window's transformer when it opens, with
    // the texts its boxes showed.
    struct Extra {
        int number = 0;
        TransformerParameters transformer;
        std::array<QString, 3> texts;
    };

    // Adds the window to `area` (deleted when closed) and loads it on `analysis`: lists, channel
    // options. Without `extra` the main graph window.
    GraphWindow(std::shared_ptr<const HARMDIM> analysis, QMdiArea* area,
                std::optional<Extra> extra = std::nullopt);
    ~GraphWindow() override;

    // Shows the window (its MDI child frame) and makes it the active child; the main window opens
    // maximised.
    void showWindow();
    QMdiSubWindow* subWindow() const;

    bool isMainWindow() const { return !extra_; }
    // The texts of the transformer boxes (MVA, %, kV) as they stand.
    std::array<QString, 3> transformerTexts() const;
    // "-1" for the main window, the extra window's number "0", "1" otherwise.
    QString tag() const { return tag_; }

    // Commands.
    void draw();             // Command1 "実行", MeGV "グラフ更新"
    void copyPicture();      // Command5 "ｺﾋﾟｰ", MeCOPY
    void openPrintDialog();  // Command2 "印刷", MePR: asks the controller after a draw
    // The window menu's entries as the controller keeps them: "新しいウィンド" while another
    // window may open, wsh(i) "ウインドを表示" for each graph window (0 the main one) shown.
    void setWindowEntries(bool newWindow, const std::array<bool, 3>& shown);

    // Unusable prediction parameters are told once per set of values, whichever window meets
    // them: the controller hands each set told on to every graph window.
    void noteParametersTold(const TransformerParameters& parameters);

    // Shows the window's order selection in the grid.
    void JisuChange();

    const GraphSelection& selection() const { return view_->selection(); }
    // The window's view (everything it shows and prints) and the analysis it shows.
    const GraphView& view() const { return *view_; }
    const std::shared_ptr<const HARMDIM>& analysis() const { return analysis_; }
    const QImage& picture() const;
    // Whether a draw drew a graph; whether the last draw drew curves (the print button follows).
    bool hasDrawn() const { return drawn_; }
    bool canPrint() const { return printable_; }
    // Inner height of the window below its menu, in pixels (the font sizes follow it).
    int clientHeight() const;

    // Reading the graph. The cursor and its readout strip are shown while MeCursor is checked;
    // zoom and pan work on the drawn graph; the limit set chosen in MeLimit is drawn over it.
    bool cursorShown() const;
    void moveCursorTo(int32_t record);  // places the cursor, the range following it
    void showWholePeriod();             // Esc, Command6 "全体表示"
    void zoomTo(ShownRange range);
    const LimitSet* limitSet() const { return view_->limitSet(); }
    void chooseLimitSet(const QString& name);  // empty: none
    // The contract power (kW) of Text3, shown with the current-per-kW sets; shared with the other
    // windows through the controller.
    void setContractPower(const QString& kw);
    void openCompliance();  // MeComp "適合判定": asks the controller when limit sets are found
    // The limit sets found (read at the first use; unreadable files reported once).
    const LimitCatalogue& limitCatalogue();
    void savePicture();    // MeSavePic "画像保存..."
    void saveCurvesCsv();  // MeSaveCsv "CSV保存..."

    // Reading further (graph_window_tools.cpp). A second cursor (Shift+click, MeCursor2), whose
    // record and differences the strip shows; none removes it.
    void placeSecondCursor(std::optional<int32_t> record);
    const std::optional<int32_t>& secondCursor() const { return secondCursor_; }
    // MeMax "最大値へ移動": the cursor to curve `curve`'s (in drawing order) maximum among the
    // records shown, the maximum marked on the curve.
    void jumpToMaximum(int curve);
    // The value axis set by hand (Ctrl-drag, MeAxis "値軸の設定..."); none: MeAxisAuto "自動".
    void setAxisByHand(std::optional<AxisByHand> axis);
    void askAxisByHand();
    // Backspace: the range shown before the latest zoom or pan.
    void goBack();
    // MeCompare "比較期間...": another period drawn dashed over this one; none removes it.
    void compareWith(std::shared_ptr<const HARMDIM> other, Alignment alignment);
    void askComparison();
    // The cursor of another window of the analysis moved to this date-time (synchronised cursors).
    void followCursorTime(double dateTime);
    // MeSync "カーソル連動": shared by every graph window through the controller.
    void setCursorsSynchronised(bool on);
    bool cursorsSynchronised() const;
    // The window's view as a view file keeps it, and a kept view shown again (`compared`: the
    // comparison's period, loaded by the caller; null for none).
    SavedWindow savedView() const;
    void restoreView(const SavedWindow& saved, std::shared_ptr<const HARMDIM> compared);
    // The statistics of the range shown as the strip shows them (plain text, one curve a line).
    QString statisticsText() const;
    // Hooks replaceable by tests: the value axis asked (none: cancelled), and the period to
    // compare (none: cancelled).
    std::function<std::optional<AxisByHand>(const ValueAxis& shown)> askAxis;
    std::function<std::optional<ComparedPeriodAsked>()> askComparisonPeriod;
    // Where a picture is saved (default: a save dialog; empty cancels), replaceable by tests.
    std::function<QString(const QString& caption, const QString& filter)> askSaveFileName;

    // Controls.
    QMenuBar* menuBar;
    QMenu* MeF;                           // "ファイル"
    QMenu* MeE;                           // "編集"
    QMenu* MeV;                           // "表示"
    QMenu* MeW;                           // "ウィンドウ"
    QAction* MePR;                        // "印刷"
    QAction* MeLo;                        // "新規読み込み"
    QAction* MeEnd;                       // "終了"
    QAction* MeCOPY;                      // "ｸﾘｯﾂﾌﾟﾎﾞｰﾄﾞﾍCopy"
    QAction* MeGV;                        // "グラフ更新"
    QAction* Win;                         // "新しいウィンド"
    std::array<QAction*, 5> wsh{};        // "ウインドを表示1" .. "ウインドを表示5"
    QAction* MeSavePic;                   // "画像保存..."
    QAction* MeSaveCsv;                   // "CSV保存..."
    QAction* MeCursor;                    // "カーソル値表示" (checkable)
    QAction* MeWhole;                     // "全体表示"
    QMenu* MeLimit;                       // "限度値": "なし" and the sets found
    QAction* MeSpec;                      // "スペクトル"
    QAction* MeComp;                      // "適合判定"
    QAction* MeCursor2;                   // "第2カーソル" (checkable)
    QAction* MeSync;                      // "カーソル連動" (checkable, off)
    QMenu* MeMax;                         // "最大値へ移動": the drawn curves
    QAction* MeAxis;                      // "値軸の設定..."
    QAction* MeAxisAuto;                  // "値軸を自動に戻す"
    QAction* MeCompare;                   // "比較期間..."
    QAction* MeCompareOff;                // "比較をやめる"
    QAction* MeViewSave;                  // "ビュー保存..."
    QAction* MeViewOpen;                  // "ビューを開く..."
    QLabel* Label1;                       // "解析内容"
    QComboBox* Combo1;                    // items
    QLabel* Label2;                       // "解析次数"
    QComboBox* Combo2;                    // order groups
    std::array<QLabel*, 5> Label4{};      // column headers of the grid
    std::array<QCheckBox*, 25> Check1{};  // the order grid; Check1(5r) carries row r's caption
    QScrollBar* VScroll1;                 // grid rows, 0..47
    QGroupBox* Frame1;                    // "電流ch選択"
    std::array<QRadioButton*, 10> Option1{};
    QCheckBox* Check2;                  // "上位電圧歪・位相予測計算"
    std::array<QLineEdit*, 3> Text2{};  // capacity "10", reactance "8.0", voltage "6.6"
    std::array<QLabel*, 6> Label5{};    // "変圧器容量" "MVA" "%X" "%" "電圧" "kV"
    QLabel* Label3;                     // "プリントメッセージ"
    QLineEdit* Text1;                   // the print message
    QPushButton* Command1;              // "実行"
    QPushButton* Command2;              // "印刷"
    QPushButton* Command3;              // "前画面"
    QPushButton* Command4;              // "終了"
    QPushButton* Command5;              // "ｺﾋﾟｰ"
    QPushButton* Command6;              // "全体表示"
    GraphPicture* Picture1;
    QScrollBar* HScroll1;  // pans a zoomed graph; shown while zoomed
    QLabel* Readout;       // the cursor's readout strip beside the picture
    QLabel* Label6;        // "契約電力", with a current-per-kW limit set
    QLineEdit* Text3;      // the contract power
    QLabel* Label7;        // "kW"
    QLabel* Computing;  // "計算中: 電力..." over the picture while the power tables are computed

  signals:
    // Command2 / MePR pressed after a draw.
    void printRequested();
    // MeSpec "スペクトル"; MeComp "適合判定" with limit sets found.
    void spectrumRequested();
    void complianceRequested();
    // Win "新しいウィンド"; wsh(i) (0 the main window, i the extra window i); Command3 / MeLo
    // "前画面"; Command4 / MeEnd "終了".
    void extraWindowRequested();
    void windowShowRequested(int i);
    void backRequested();
    void endRequested();
    // A limit set was chosen in MeLimit (its name; empty: none).
    void limitSetChosen(const QString& name);
    // The contract power typed in Text3.
    void contractPowerEdited(const QString& kw);
    // A box told these unusable prediction parameters.
    void parametersTold(const hg::TransformerParameters& parameters);
    // A draw drew these orders: they become the ones the CSV dialog opens with.
    void ordersDrawn(const hg::OrderFlags& orders);
    // The cursor moved to another record, the range shown or the channel changed (the spectrum
    // and compliance windows follow).
    void viewChanged();
    // The window is closing.
    void closing();
    // The cursor moved to a record at this date-time (synchronised cursors follow); MeSync toggled.
    void cursorTimeMoved(double dateTime);
    void cursorsSynchronisedToggled(bool on);
    // ファイル → ビュー保存... / ビューを開く...
    void viewSaveRequested();
    void viewOpenRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildLists(QWidget* c);
    void buildOrderGrid(QWidget* c);
    void buildChannelOptions(QWidget* c);
    void buildPrediction(QWidget* c);
    void boxTransformerEdited();
    void takeBoxTransformer();
    void showTransformer(const std::array<QString, 3>& texts);
    void buildCommands(QWidget* c);
    void buildReading(QWidget* c);
    void buildMenus();
    void buildReadingMenus();
    void buildContractPower(QWidget* c);
    void takeContractPower();
    void showContractPower();
    void fillLimitMenu();
    const LimitCatalogue& catalogue();
    void pointerMoved(QPoint at);
    void keyPressed(int key);
    void zoomDragged(int fromX, int toX);
    void panDragged(int dx);
    void wheelTurned(QPoint at, int steps);
    void panScrolled(int value);
    void rangeChanged();
    void syncPanBar();
    void showCursor();
    void drawLimitOverlayOn(Canvas& canvas, const GraphDrawing& drawing, int fontSize);
    std::vector<OverlayCurve> limitOverlayCurves(const LimitOverlayRequest& r) const;
    void buildToolMenus();
    void fillMaximumMenu();
    bool toolKey(int key);
    void secondCursorClicked(int x);
    void valueDragged(int fromY, int toY);
    void showSecondCursor();
    void noteShown();
    QString toolsHtml() const;

    void load();
    void activated();
    void layoutPicture();
    void syncControls();
    void itemChosen(int index);
    void groupChosen(int index);
    void boxClicked(int index, bool checked);
    void scrolled(int value);
    void channelChosen(int index);
    void predictionToggled(bool checked);
    void messageChanged();
    void drawAsked();
    void drawGraph(bool report);
    GraphDrawing composePicture(std::string notice);
    void showComputing();
    Status checkParameters(bool report);

    std::shared_ptr<const HARMDIM> analysis_;
    QMdiArea* area_;
    std::optional<Extra> extra_;
    QString tag_;
    QWidget* client_;
    std::unique_ptr<GraphView> view_;
    int16_t RedrawFlag = 0;  // -1 from the load until the window's first draw
    bool drawn_ = false;
    bool printable_ = false;                     // the last draw drew curves
    std::optional<TransformerParameters> told_;  // the unusable parameters last told
    bool busy_ = false;
    bool redrawPending_ = false;
    bool closing_ = false;
    bool syncing_ = false;
    std::optional<GraphLayout> layout_;  // the layout of the graph shown
    std::optional<LimitCatalogue> catalogue_;
    QActionGroup* limitGroup_ = nullptr;
    std::optional<ValueAxis> axis_;  // the value axis of the graph shown
    std::optional<int32_t> secondCursor_;
    std::optional<int32_t> maximum_;  // the record whose maximum is marked
    int maximumCurve_ = 0;
    ZoomHistory history_;
    QString statisticsHtml_;  // of the range shown, made when the graph is drawn
    bool followingCursor_ = false;
};

}  // namespace hg
