// Form3 "印刷設定": the print settings dialog, opened modally by a graph window's print command.
// Created once and then only hidden and shown again; the thirds sheet in progress and ThirdCount
// outlive its closings.
//
// Controls (geometry in pixels, 15 twips each; client area 303 x 388 plus the PDF box):
//   Command1 "ｷｬﾝｾﾙ"         hides the dialog
//   Command2 "1枚印刷"        one-sheet print of the graph window's item
//   Command3 "ｾｯﾄ印刷"        set print of the checked item boxes (disabled by the graph window
//                             while it shows per-phase voltage or an unbalance item)
//   Command5 " 1/3印刷"       third print; caption " n/3印刷" with n = ThirdCount + 1
//   Command6 "排出"           ejects the thirds sheet; visible while ThirdCount >= 1
//   Check2   "白黒印刷"        monochrome printing
//   Command4 "ﾌﾟﾘﾝﾀ設定"       the printer set-up dialog
//   Frame2   "用紙方向"        Option1[0] "縦", Option1[1] "横"
//   Frame1   "ｾｯﾄ印刷設定"     Check1[0..15]: item boxes, index = item code − 1
//   CheckPdf "PDFファイルに出力" prints into a PDF file named when the sheet starts
#pragma once

#include <QDialog>
#include <QPrinter>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "platform/output.h"
#include "platform/qt/pdf_output.h"
#include "print/print_page.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace hg {

struct HARMDIM;
class Form2;
class QPainterCanvas;

class Form3 : public QDialog {
    Q_OBJECT

  public:
    explicit Form3(HARMDIM& state, QWidget* parent = nullptr);
    ~Form3() override;

    // Opens the dialog modally for the selection of the graph window whose print command was
    // used. Returns when the dialog is hidden again.
    int openFor(const PrintSource& source);
    // Takes the selection without opening (the command line and tests drive the buttons).
    void setSource(const PrintSource& source);
    const PrintSource& source() const { return source_; }

    // Thirds of the open thirds sheet already printed, 0..2.
    int16_t thirdCount() const { return ThirdCount; }
    bool thirdSheetOpen() const { return thirdCanvas_ != nullptr; }
    // The paper orientation the dialog holds: 1 portrait, 2 landscape.
    int orientation() const { return orientation_; }
    // The printer of the one-sheet and set prints, with the set-up chosen.
    QPrinter& printer() { return printer_; }

    // Prints the open thirds sheet as it is (before the program ends).
    void ejectOpenSheet();

    // Hooks, replaceable by tests: the PDF file name (default: a save dialog; empty cancels), the
    // printer set-up dialog (default: QPageSetupDialog; returns whether it was accepted) and
    // failure messages (default: a warning box).
    std::function<QString()> askPdfFileName;
    std::function<bool(QPrinter&)> runPageSetup;
    std::function<void(const QString&)> reportError;
    // Where PDF files are written (tests make its writes fail).
    OutputLayer* outputLayer = &diskOutput();

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* CheckPdf = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    std::array<QCheckBox*, kItemSlots> Check1{};

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Check1_Click(int index);
    void Option1_Click(int index);

    // Enables the item boxes by the kind of the selected file; an unavailable box is unchecked.
    void applyAvailability();
    void updateThirdControls();
    void applyOrientation(QPrinter& printer) const;
    // Sets the output of a printer about to start a document: the PDF file or the system
    // printer. False (after telling why, or silently when the file name was cancelled) when
    // there is nowhere to print.
    bool chooseOutput(QPrinter& printer);
    bool finishThirdSheet();
    void fail(const QString& message);

    HARMDIM& state_;
    PrintSource source_;
    int16_t ThirdCount = 0;
    int orientation_ = 1;
    QPrinter printer_{QPrinter::HighResolution};
    // The thirds sheet: its own printer document, open from the first third until the third
    // third or an eject.
    std::unique_ptr<QPrinter> thirdPrinter_;
    std::unique_ptr<SheetOutput> thirdSheet_;
    std::unique_ptr<QPainterCanvas> thirdCanvas_;
};

// The print dialog of the run, created at its first use as a child of `owner` (the frame).
Form3& printDialog(HARMDIM& state, QWidget* owner);

// What a graph window prints: its item, channel and orders, its print message and transformer,
// the selected file and the start of the analysis period.
PrintSource printSourceOf(const Form2& window, const HARMDIM& state);

// Makes every graph window's print command open the print dialog for that window's selection;
// the set print is offered unless the window shows per-phase voltage or an unbalance item.
void installPrintDialog(HARMDIM& state, QWidget* owner);

}  // namespace hg
