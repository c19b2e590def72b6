// PrintDialog "印刷設定": the print settings dialog, opened modally by the app controller for the
// graph window whose print command was used (the analysis it shows and a snapshot of its view).
// Created once and then only hidden and shown again; the thirds sheet in progress and ThirdCount
// outlive its closings. It never keeps an analysis alive: that goes with its last graph window.
//
// Controls (geometry in pixels, 15 twips each; client area 303 x 388 plus the PDF box):
//   Command1 "ｷｬﾝｾﾙ"         hides the dialog
//   Command2 "1枚印刷"        one-sheet print of the graph window's item
//   Command3 "ｾｯﾄ印刷"        set print of the checked item boxes (disabled by the graph window
//                             while it shows per-phase voltage or an unbalance item)
//   Command5 " 1/3印刷"       third print; caption " n/3印刷" with n = ThirdCount + 1
//   Command6 "排出"           ejects the thirds sheet; visible while ThirdCount >= 1
//   Check2   "白黒印刷"        monochrome printing
//   Command4 "ﾌﾟﾘﾝﾀ設定"       the page set-up: paper and orientation (asks the print server
//   nothing) Frame2   "用紙方向"        Option1[0] "縦", Option1[1] "横" Frame1   "ｾｯﾄ印刷設定"
//   Check1[0..15]: item boxes, index = item code − 1 CheckPdf "PDFファイルに出力" prints into a PDF
//   file named when the sheet starts CommandPreview "印刷プレビュー" the one-sheet print as it will
//   be sent, with 印刷 in it Printer  "プリンタ:"      the printer jobs go to, with its state;
//   another can be chosen,
//                             the list asked again (更新); while a job is sent, 中止
// Sheets go out as documents drawn into memory (platform/qt/print_document.h) for the paper
// chosen; a job is sent and followed off the window thread, so every button returns at once.
//   Frame3   "印刷範囲"        Option2[0] "表示範囲" (what a zoomed window shows),
//                             Option2[1] "全期間" (the default at every opening)
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/items.h"
#include "platform/output.h"
#include "platform/paper.h"
#include "platform/qt/print_service.h"
#include "print/print_page.h"
#include "ui/remembered_settings.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace hg {

struct HARMDIM;
class PrinterChooser;
class PrintDocument;

class PrintDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PrintDialog(QWidget* parent = nullptr);
    ~PrintDialog() override;

    // Opens the dialog modally for the view of the graph window whose print command was used.
    // Returns when the dialog is hidden again.
    int openFor(const std::shared_ptr<const HARMDIM>& analysis, const GraphView& view);
    // Takes what to print without opening (tests drive the buttons). The set print is offered
    // unless the window shows per-phase voltage or an unbalance item.
    void setSource(const std::shared_ptr<const HARMDIM>& analysis, const PrintSource& source,
                   bool setPrintOffered = true);
    const PrintSource& source() const { return source_; }

    // Thirds of the open thirds sheet already printed, 0..2.
    int16_t thirdCount() const { return ThirdCount; }
    // A thirds sheet is open while thirds are added to it, and also when it was finished but
    // the printer did not take it (then "排出" sends it again).
    bool thirdSheetOpen() const { return thirdSheet_ != nullptr; }
    bool thirdSheetUnsent() const { return thirdSheet_ && thirdUnsent_; }
    // The paper orientation the dialog holds: 1 portrait, 2 landscape.
    int orientation() const { return orientation_; }
    // The paper and orientation of the one-sheet and set prints, as last applied.
    const PageSetup& pageSetup() const { return pageSetup_; }
    // A job is being sent (or waits for the printer list): no other sheet goes out meanwhile.
    bool isSending() const;
    // The printer, paper and orientation as chosen, to remember; and taking them back.
    PrintSetup printSetup() const;
    void applyPrintSetup(const PrintSetup& setup);

    // Prints the open thirds sheet as it is (before the program ends).
    void ejectOpenSheet();

    // Hooks, replaceable by tests: the PDF file name (default: a save dialog; empty cancels), the
    // page set-up (default: PageSetupDialog; returns whether it was accepted) and failure
    // messages (default: a warning box).
    std::function<QString()> askPdfFileName;
    std::function<bool(PageSetup&)> runPageSetup;
    std::function<void(const QString&)> reportError;
    // Asked before a job goes to a printer that is stopped, rejects jobs or is offline (default:
    // a question box); false keeps the job back.
    std::function<bool(const QString&)> confirmSend;
    // Where PDF files are written (tests make its writes fail).
    OutputLayer* outputLayer = &diskOutput();
    // The print service and its time limits (tests give a fake).
    void setPrintService(std::shared_ptr<PrintService> service,
                         std::chrono::milliseconds listLimit = kPrinterListLimit,
                         PrintSubmission::Limits jobLimits = {});

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* CheckPdf = nullptr;
    QPushButton* CommandPreview = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 2> Option2{};
    std::array<QCheckBox*, kItemSlots> Check1{};
    PrinterChooser* Printer = nullptr;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildItemBoxes();
    void buildRangeChoice();
    void buildOutputChoice();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Check1_Click(int index);
    void Option1_Click(int index);
    void Option2_Click(int index);
    void CommandPreview_Click();

    // Enables the item boxes by the kind of the selected file; an unavailable box is unchecked.
    void applyAvailability();
    void updateThirdControls();
    // Enables the buttons that send a sheet while no job is being sent.
    void updatePrintButtons();
    void applyOrientation();
    // A print button pressed while the printer list is still coming: pressed again once it has
    // come (true), so that nothing waits on the window thread.
    bool deferUntilListed(void (PrintDialog::*click)());
    // Where a sheet goes: a PDF file, or a printer.
    struct SheetTarget {
        QString pdfPath;  // empty: the printer
        QString printer;
    };
    // Decides the target of a sheet about to start: the PDF file (its name asked), or the
    // chosen printer after a warning when it is not ready. Nothing (after telling why, or
    // silently when cancelled) when there is nowhere to print.
    std::optional<SheetTarget> chooseTarget();
    // A sheet document on the paper set up, titled for the items; nothing after telling why
    // when it cannot begin.
    std::unique_ptr<PrintDocument> startSheet(const std::vector<int16_t>& items);
    // The source as drawn on a document: its paper.
    PrintSource sourceOn(const PrintDocument& sheet) const;
    // Ends the sheet and hands it to its target; `done` tells whether it went out.
    void finishSheet(PrintDocument& sheet, const SheetTarget& target,
                     std::function<void(bool)> done);
    // Hands a finished sheet to a target (a printer job, or a PDF file).
    void sendSheet(const PrintDocument& sheet, const SheetTarget& target,
                   std::function<void(bool)> done);
    void finishThirdSheet();
    // What came of sending the thirds sheet.
    void thirdSheetSent(bool sent);
    void fail(const QString& message);

    std::weak_ptr<const HARMDIM> analysis_;
    PrintSource source_;
    std::optional<ShownRange> shownRange_;  // the range the graph window shows, if zoomed
    int16_t ThirdCount = 0;
    int orientation_ = 1;
    bool setPrintOffered_ = true;
    // The page set-up of the sheets (paper, orientation) and of ﾌﾟﾘﾝﾀ設定.
    PageSetup pageSetup_;
    // The thirds sheet: its own document, open from the first third until the third third or
    // an eject, and kept when its printer did not take it.
    std::unique_ptr<PrintDocument> thirdSheet_;
    SheetTarget thirdTarget_;
    std::vector<int16_t> thirdItems_;
    bool thirdUnsent_ = false;
};

}  // namespace hg
