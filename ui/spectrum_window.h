// SpectrumWindow "スペクトル": the spectrum of one record in an MDI child of the frame, following
// the view of the graph window it was opened from (the app controller hands it on at every change
// of its cursor, range or channel): the voltage distortion per order with the total distortion,
// and the window's channel's current per order with the fundamental, as two bar charts. Hovering
// a bar tells its value; the wheel over the charts zooms the range of orders and the scroll bar
// under them moves it. Combo1 shows, instead of the record at the cursor (瞬時), each order's 95th
// percentile or maximum over the range the graph window shows (95%値, 最大値); the graph window's
// limit set marks the bars. The buttons copy the charts, print them (to the printer of the printer
// row, as an A4 landscape sheet sent off the window thread), show that sheet in the print preview,
// or save the charts as PDF or CSV.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "compliance/limits.h"
#include "graph/period_spectrum.h"
#include "graph/shown_range.h"
#include "graph/spectrum.h"
#include "platform/qt/csv_save_dialog.h"
#include "platform/qt/print_document.h"

class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QScrollBar;

namespace hg {

class GraphView;
struct HARMDIM;
class PrinterChooser;

// Picture1 of the spectrum window: the charts as an image; hover and wheel go to the window.
class SpectrumPicture : public QWidget {
    Q_OBJECT

  public:
    explicit SpectrumPicture(QWidget* parent);
    const QImage& image() const { return image_; }
    void setImage(QImage image);

  signals:
    void hovered(QPoint at);
    void wheelTurned(QPoint at, int steps);  // steps > 0: away from the user
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage image_;
};

class SpectrumWindow : public QWidget {
    Q_OBJECT

  public:
    // Adds the window to `area` (deleted when closed) and shows it; it keeps the analysis.
    SpectrumWindow(std::shared_ptr<const HARMDIM> analysis, QMdiArea* area);

    // Shows the record under the cursor of a graph window's view (the first record it shows while
    // it has no cursor) for its channel.
    void showView(const GraphView& view);
    void showRecord(int32_t record, int channel);
    QMdiSubWindow* subWindow() const;

    const Spectrum& spectrum() const { return spectrum_; }
    const SpectrumDrawing& drawing() const { return drawing_; }
    // Zooms the orders shown around the bar position `around` (closer when steps > 0).
    void zoomOrders(int around, int steps);

    void copyPicture();   // Command1 "ｺﾋﾟｰ"
    void printPicture();  // Command2 "印刷"
    void savePdf();       // Command3 "PDF保存"
    void saveCsv();       // Command5 "CSV保存": one line per order of the spectrum shown
    void preview();       // Command4 "印刷プレビュー"
    // Combo1: 瞬時, 95%値, 最大値.
    void chooseStatistic(SpectrumStatistic statistic);
    // The charts as shown, as the sheet that is printed; nothing before a record is shown.
    std::unique_ptr<PrintDocument> printedSheet() const;
    // The PDF and CSV file names (default: a save dialog; empty cancels), replaceable by tests.
    std::function<QString()> askPdfFileName;
    std::function<std::optional<CsvTarget>()> askCsvFileName;

    SpectrumPicture* Picture1;
    QScrollBar* HScroll1;  // the first order shown
    QLabel* Label1;        // the value of the bar under the pointer
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QComboBox* Combo1;
    PrinterChooser* Printer;  // the printer jobs go to

  private:
    void hovered(QPoint at);
    void scrolled(int value);
    void syncScroll();
    void redraw();
    void compute();
    int lastPosition() const;
    int positionOf(int order) const;  // the place of an order in Spectrum::orders

    std::shared_ptr<const HARMDIM> analysis_;
    Spectrum spectrum_;
    SpectrumShown shown_;
    SpectrumDrawing drawing_;
    // What the spectrum is of: the graph window's cursor, range, channel and limit set.
    SpectrumStatistic statistic_ = SpectrumStatistic::Instant;
    int32_t record_ = 0;
    int channel_ = 0;
    RecordSpan records_;
    std::optional<LimitSet> limits_;
    std::optional<double> contractKw_;
    bool statisticHeld_ = false;  // spectrum_ holds the statistic of records_ and channel_
    bool failureTold_ = false;    // the currents' failure, told once
};

}  // namespace hg
