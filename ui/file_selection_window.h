// FileSelectionWindow: the file-selection window, an MDI child of the frame. Drive, folder and file
// lists (a click on a file scans it), the mode options, the four period boxes with their step
// buttons, the output name, and Execute: in graph mode the preparation and the load, then the graph
// window (opened by the app controller on `analysisLoaded`); in conversion mode the round trip
// through the CSV dialog (asked for with `csvDialogWanted`, its answer given to
// csvOrdersConfirmed / csvOrdersCancelled), then the conversion.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "analysis/execute.h"
#include "csv/csv_writer.h"
#include "datafile/record_format.h"
#include "datafile/recording.h"
#include "platform/result.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace hg {

struct ConversionReport;
struct HARMDIM;

class FileSelectionWindow : public QWidget {
    Q_OBJECT

  public:
    // Adds the window to `area` as an MDI child (hidden until start()).
    explicit FileSelectionWindow(QMdiArea* area);
    ~FileSelectionWindow() override;

    // Start-up: opens the lists on the folder of the optional path argument, or on the program's
    // own folder; graph mode selected; the window shown.
    void start(const QString& argument, const QString& programFolder);

    // Drive1 change: the drive's root folder. Refused with a message when the drive is not ready.
    bool setDrive(const QString& root);
    // Dir1 change: File1 lists `folder`. Refused with a message when it cannot be listed. A
    // folder set from code is shown in Dir1; one clicked in Dir1 leaves the tree where it is.
    enum class FolderFrom { Code, Dir1 };
    bool setFolder(const QString& folder, FolderFrom from = FolderFrom::Code);
    QString folder() const { return folder_; }

    // The file scan of a File1 click. A failure is reported and leaves every earlier value and
    // Command1's state as they were.
    bool scanFile(const QString& fullPath);

    // Command1: Execute.
    void execute();
    // The recording the last accepted scan described.
    const Recording& recording() const { return recording_; }

    // Activation of the window: runs Execute while a confirmed CSV dialog result is waiting.
    void activated();
    // The CSV dialog's answer: OK with the conversion's choices (the window shows itself and
    // runs the conversion), or Cancel.
    void csvOrdersConfirmed(const CsvOptions& options);
    void csvOrdersCancelled();

    void showWindow();
    void hideWindow();
    QMdiSubWindow* subWindow() const;

    bool isBusy() const { return busy_; }

    // Controls.
    QComboBox* Drive1;
    QTreeView* Dir1;
    QListView* File1;
    QLabel* Label1;                          // full path of the selected file
    QLabel* Label2;                          // "ドライブ"
    QLabel* Label3;                          // "ディレクトリー"
    QLabel* Label4;                          // "ファイル"
    QLabel* Label5;                          // "選択ファイル名"
    QLabel* Label6;                          // "解析開始年月日"
    QLabel* Label7;                          // "解析開始時間"
    QLabel* Label8;                          // "解析終了時間"
    QLabel* Label9;                          // "解析終了年月日"
    QLabel* Label10;                         // "データ解析中", shown while Execute runs
    QLabel* Label11;                         // "出力ファイル名", conversion mode only
    QLabel* ScanWarning;                     // the scan's warnings, under the path; hidden if none
    QLabel* Label12;                         // a finished conversion, until the next action
    QLineEdit* Text1;                        // start date
    QLineEdit* Text2;                        // start time
    QLineEdit* Text3;                        // end date
    QLineEdit* Text4;                        // end time
    QLineEdit* Text5;                        // output CSV name, conversion mode only
    std::array<QRadioButton*, 2> Option1{};  // graph mode, conversion mode
    QPushButton* Command1;                   // "実　行"
    QPushButton* Command2;                   // "+" start time
    QPushButton* Command3;                   // "+" start date
    QPushButton* Command4;                   // "-" start time
    QPushButton* Command5;                   // "+" end time
    QPushButton* Command6;                   // "-" end time
    QPushButton* Command7;                   // "+" end date
    QPushButton* Command8;                   // "-" start date
    QPushButton* Command9;                   // "-" end date
    QPushButton* Command10;                  // "終　了"
    QProgressBar* ProgressBar1;              // beside Label10 while Execute runs

  signals:
    // Command10 or closing the window: the program ends.
    void endRequested();
    // Execute loaded a period: its graph windows are to open (the earlier ones give way).
    void analysisLoaded(std::shared_ptr<const hg::HARMDIM> analysis);
    // Conversion mode's Execute asks for the CSV dialog on the kind of the file scanned.
    void csvDialogWanted(const hg::FileKind& kind);
    // The dialog's choices no longer hold (another file, graph mode): it is to be cancelled.
    void csvDialogDismissed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class Busy;
    class FilesOnly;

    void buildControls();
    void buildLabels();
    void buildLists();
    void buildSelection();
    void buildPeriodBoxes();
    void buildBusyRow();
    void layoutControls();
    void connectLists();
    void connectBoxesAndButtons();
    void selectDriveOf(const QString& folder);
    void showFolderInDir1(const QString& folder);
    void keepFolderInView();
    void fileSelected(const QString& fileName);
    void fileDoubleClicked(const QString& fileName);
    void normaliseDate(QLineEdit* box);
    void normaliseTime(QLineEdit* box);
    void stepTime(QLineEdit* box, bool plus);
    void stepDay(QLineEdit* box, int days);
    void modeChanged();
    void openCsvDialog();
    void reportProgress(int64_t done, int64_t total);
    PeriodTexts periodTexts() const;

    // Conversion mode's Execute: the preparation, then the CSV files; a failure as a Result.
    Status runConversion(const ProgressFn& progress);
    void openGraphWindow(std::shared_ptr<const HARMDIM> analysis);
    void showConversionDone(const ConversionReport& report);

    Recording recording_;  // the recording the last accepted scan described
    QMdiArea* area_;
    QFileSystemModel* dirModel_;
    QFileSystemModel* fileModel_;
    FilesOnly* filesOnly_;  // File1's rows: the files of fileModel_'s folder
    QString folder_;
    QStringList notes_;  // warnings of the last run, shown when it ends
    QString drive_;
    FileKind scannedKind_;        // kind of the file last scanned, from its name
    int16_t CsvDialogResult = 0;  // 1 after the CSV dialog's OK, until a run or a change uses it
    CsvOptions csvOptions_;       // the choices of that OK
    bool busy_ = false;
    bool syncing_ = false;          // lists being set from code
    bool pressOnSelected_ = false;  // the last mouse press in File1 hit the selected file
    bool ending_ = false;
    bool dirScrollPending_ = false;  // Dir1 still to be scrolled to the folder
};

}  // namespace hg
