#include "ui/file_selection_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/harmdim.h"
#include "analysis/load_analysis.h"
#include "analysis/period.h"
#include "csv/csv_writer.h"
#include "datafile/recording_names.h"
#include "datafile/scan.h"
#include "platform/qt/message_box.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/wait_cursor.h"
#include "ui/start_folder.h"

namespace hg {

namespace {

// The measurement files the list shows; matched without regard to case.
QStringList filePatterns() {
    QStringList patterns;
    for (const std::string& p : recordingNamePatterns()) patterns << QString::fromStdString(p);
    return patterns;
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString fromLocalPath(const std::string& path) {
    return QFile::decodeName(path.c_str());
}
std::string utf8(const QString& text) {
    return text.toStdString();
}
QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

QPushButton* stepButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setFixedWidth(24);
    button->setAutoDefault(false);
    return button;
}

QString fileNameAt(const QModelIndex& index) {
    return index.data(QFileSystemModel::FileNameRole).toString();
}

}  // namespace

// The file list's rows: the recordings of the folder shown, never a folder. The file model keeps
// the folders on the way to every folder it listed before, so a sub-folder visited once would
// otherwise show among the files of its parent.
class FileSelectionWindow::FilesOnly : public QSortFilterProxyModel {
  public:
    FilesOnly(QFileSystemModel* files, QObject* parent)
        : QSortFilterProxyModel(parent), files_(files) {
        setSourceModel(files);
    }
    // The folder listed; its rows are filtered, those of every other node kept (its ancestors
    // must stay to reach it).
    QModelIndex showFolder(const QString& folder) {
        folder_ = folder;
        invalidateFilter();
        return mapFromSource(files_->index(folder));
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (files_->filePath(parent) != folder_) return true;
        return !files_->isDir(files_->index(row, 0, parent));
    }

  private:
    QFileSystemModel* files_;
    QString folder_;
};

// The busy state of Execute: the busy label and progress bar shown, the wait cursor, the mode
// options hidden; all of it undone on every way out.
class FileSelectionWindow::Busy {
  public:
    explicit Busy(FileSelectionWindow& form) : f_(form) {
        f_.busy_ = true;
        f_.Command1->setDefault(true);
        f_.Label10->show();
        f_.ProgressBar1->setRange(0, 1000);
        f_.ProgressBar1->setValue(0);
        f_.ProgressBar1->show();
        for (QRadioButton* option : f_.Option1) option->hide();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~Busy() {
        f_.Label10->hide();
        f_.ProgressBar1->hide();
        f_.Command1->setDefault(false);
        for (QRadioButton* option : f_.Option1) option->show();
        f_.busy_ = false;
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    FileSelectionWindow& f_;
    WaitCursor cursor_;
};

FileSelectionWindow::FileSelectionWindow(QMdiArea* area) : area_(area) {
    setWindowTitle(QStringLiteral("harmograph (2019/05/29)"));
    buildControls();
    QMdiSubWindow* frame = area_->addSubWindow(this);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->hide();
    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* activatedWindow) {
        if (activatedWindow && activatedWindow == subWindow()) activated();
    });
}

FileSelectionWindow::~FileSelectionWindow() = default;

void FileSelectionWindow::buildControls() {
    buildLabels();
    buildLists();
    buildSelection();
    buildPeriodBoxes();
    buildBusyRow();
    layoutControls();
    connectLists();
    connectBoxesAndButtons();
}

void FileSelectionWindow::buildLabels() {
    Label2 = new QLabel(QStringLiteral("ドライブ"), this);
    Label3 = new QLabel(QStringLiteral("ディレクトリー"), this);
    Label4 = new QLabel(QStringLiteral("ファイル"), this);
    Label5 = new QLabel(QStringLiteral("選択ファイル名"), this);
    Label6 = new QLabel(QStringLiteral("解析開始年月日"), this);
    Label7 = new QLabel(QStringLiteral("解析開始時間"), this);
    Label8 = new QLabel(QStringLiteral("解析終了時間"), this);
    Label9 = new QLabel(QStringLiteral("解析終了年月日"), this);
    Label10 = new QLabel(QStringLiteral("データ解析中"), this);
    Label11 = new QLabel(QStringLiteral("出力ファイル名"), this);
}

void FileSelectionWindow::buildLists() {
    Drive1 = new QComboBox(this);
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dirModel_->setReadOnly(true);
    Dir1 = new QTreeView(this);
    Dir1->setModel(dirModel_);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < dirModel_->columnCount(); ++column) Dir1->hideColumn(column);
    Dir1->setToolTip(QStringLiteral("データが保存されているディレクトリーの指定"));

    fileModel_ = new QFileSystemModel(this);
    fileModel_->setFilter(QDir::Files);
    fileModel_->setNameFilters(filePatterns());
    fileModel_->setNameFilterDisables(false);
    fileModel_->setReadOnly(true);
    filesOnly_ = new FilesOnly(fileModel_, this);
    File1 = new QListView(this);
    File1->setModel(filesOnly_);
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    File1->viewport()->installEventFilter(this);
    File1->installEventFilter(this);  // Enter on a file
}

// The selected file's path with the scan's warnings under it, and the two modes.
void FileSelectionWindow::buildSelection() {
    Label1 = new QLabel(this);
    Label1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(320);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ScanWarning = new QLabel(this);
    ScanWarning->setWordWrap(true);
    ScanWarning->setStyleSheet(QStringLiteral("color: #800000"));
    ScanWarning->hide();

    Option1[0] = new QRadioButton(QStringLiteral("データ解析・グラフ化"), this);
    Option1[1] = new QRadioButton(QStringLiteral("データ変換・CSVﾌｧｲﾙ作成"), this);
    auto* modes = new QButtonGroup(this);
    modes->addButton(Option1[0], 0);
    modes->addButton(Option1[1], 1);
    Option1[0]->setChecked(true);
    // Hidden while Execute runs, the options keep their room: nothing below them moves.
    for (QRadioButton* option : Option1) {
        QSizePolicy policy = option->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        option->setSizePolicy(policy);
    }
}

// The four period boxes with their step buttons, the output name, Execute and End.
void FileSelectionWindow::buildPeriodBoxes() {
    Text1 = new QLineEdit(QStringLiteral("00/00/00"), this);
    Text2 = new QLineEdit(QStringLiteral("00:00"), this);
    Text3 = new QLineEdit(QStringLiteral("00/00/00"), this);
    Text4 = new QLineEdit(QStringLiteral("00:00"), this);
    for (QLineEdit* date : {Text1, Text3}) {
        date->setMaxLength(12);
        date->setFixedWidth(120);
    }
    for (QLineEdit* time : {Text2, Text4}) {
        time->setMaxLength(5);
        time->setFixedWidth(120);
        time->installEventFilter(this);
    }
    Text5 = new QLineEdit(this);

    Command2 = stepButton(QStringLiteral("+"), this);
    Command3 = stepButton(QStringLiteral("+"), this);
    Command4 = stepButton(QStringLiteral("-"), this);
    Command5 = stepButton(QStringLiteral("+"), this);
    Command6 = stepButton(QStringLiteral("-"), this);
    Command7 = stepButton(QStringLiteral("+"), this);
    Command8 = stepButton(QStringLiteral("-"), this);
    Command9 = stepButton(QStringLiteral("-"), this);
    Command1 = new QPushButton(QStringLiteral("実　行"), this);
    Command10 = new QPushButton(QStringLiteral("終　了"), this);
    Command1->setEnabled(false);
}

void FileSelectionWindow::buildBusyRow() {
    Label12 = new QLabel(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(14);
}

// Lists on the left; selection, mode, period and buttons on the right.
void FileSelectionWindow::layoutControls() {
    auto* lists = new QVBoxLayout;
    lists->addWidget(Label2);
    lists->addWidget(Drive1);
    lists->addWidget(Label3);
    lists->addWidget(Dir1, 3);
    lists->addWidget(Label4);
    lists->addWidget(File1, 2);

    auto* period = new QGridLayout;
    const auto addPeriodRow = [period](int row, QLabel* label, QLineEdit* box, QPushButton* plus,
                                       QPushButton* minus) {
        period->addWidget(label, row, 0);
        period->addWidget(box, row, 1);
        period->addWidget(plus, row, 2);
        period->addWidget(minus, row, 3);
    };
    addPeriodRow(0, Label6, Text1, Command3, Command8);
    addPeriodRow(1, Label7, Text2, Command2, Command4);
    addPeriodRow(2, Label9, Text3, Command7, Command9);
    addPeriodRow(3, Label8, Text4, Command5, Command6);
    period->setColumnStretch(4, 1);

    auto* busyRow = new QHBoxLayout;
    busyRow->addWidget(Label10);
    busyRow->addWidget(ProgressBar1, 1);
    busyRow->addWidget(Label12, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command10);

    auto* right = new QVBoxLayout;
    right->addWidget(Label5);
    right->addWidget(Label1);
    right->addWidget(ScanWarning);
    right->addSpacing(8);
    right->addWidget(Option1[0]);
    right->addWidget(Option1[1]);
    right->addSpacing(8);
    right->addLayout(period);
    right->addSpacing(8);
    right->addWidget(Label11);
    right->addWidget(Text5);
    right->addStretch();
    right->addLayout(busyRow);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(right, 1);

    Label10->hide();
    ProgressBar1->hide();
    Label12->hide();
    Label11->hide();
    Text5->hide();
}

void FileSelectionWindow::connectLists() {
    connect(Drive1, &QComboBox::activated, this, [this](int index) {
        if (!syncing_) setDrive(Drive1->itemData(index).toString());
    });
    connect(dirModel_, &QFileSystemModel::directoryLoaded, this,
            &FileSelectionWindow::keepFolderInView);
    connect(dirModel_, &QFileSystemModel::layoutChanged, this,
            &FileSelectionWindow::keepFolderInView);
    Dir1->viewport()->installEventFilter(this);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_ && current.isValid())
                    setFolder(dirModel_->filePath(current), FolderFrom::Dir1);
            });
    connect(File1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (syncing_ || selected.indexes().isEmpty()) return;
                fileSelected(fileNameAt(selected.indexes().first()));
            });
    connect(File1, &QListView::clicked, this, [this](const QModelIndex& index) {
        // A click on the file already selected scans it again; a click that selects another
        // file was scanned by the selection change.
        if (pressOnSelected_) fileSelected(fileNameAt(index));
        pressOnSelected_ = false;
    });
    connect(File1, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { fileDoubleClicked(fileNameAt(index)); });
}

void FileSelectionWindow::connectBoxesAndButtons() {
    connect(Text1, &QLineEdit::textChanged, this, [this] { normaliseDate(Text1); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { normaliseDate(Text3); });
    connect(Command2, &QPushButton::clicked, this, [this] { stepTime(Text2, true); });
    connect(Command4, &QPushButton::clicked, this, [this] { stepTime(Text2, false); });
    connect(Command5, &QPushButton::clicked, this, [this] { stepTime(Text4, true); });
    connect(Command6, &QPushButton::clicked, this, [this] { stepTime(Text4, false); });
    connect(Command3, &QPushButton::clicked, this, [this] { stepDay(Text1, 1); });
    connect(Command8, &QPushButton::clicked, this, [this] { stepDay(Text1, -1); });
    connect(Command7, &QPushButton::clicked, this, [this] { stepDay(Text3, 1); });
    connect(Command9, &QPushButton::clicked, this, [this] { stepDay(Text3, -1); });
    connect(Option1[0], &QRadioButton::toggled, this, [this] { modeChanged(); });
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5})
        connect(box, &QLineEdit::textChanged, Label12, &QLabel::hide);
    connect(Option1[0], &QRadioButton::toggled, Label12, &QLabel::hide);
    connect(Command1, &QPushButton::clicked, this, &FileSelectionWindow::execute);
    connect(Command10, &QPushButton::clicked, this, [this] { emit endRequested(); });
}

QMdiSubWindow* FileSelectionWindow::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void FileSelectionWindow::showWindow() {
    subWindow()->show();
    area_->setActiveSubWindow(subWindow());
}

void FileSelectionWindow::hideWindow() {
    subWindow()->hide();
}

void FileSelectionWindow::start(const QString& argument, const QString& programFolder) {
    // Drives: the mounted volumes and the root.
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir())
            roots << volume.rootPath();
    roots.removeDuplicates();
    roots.sort();
    {
        const QSignalBlocker block(Drive1);
        Drive1->clear();
        for (const QString& root : roots) Drive1->addItem(root, root);
    }

    const QString home = startFolderOf(QString(), programFolder);
    QString wanted = startFolderOf(argument, programFolder);
    if (!QFileInfo(wanted).isDir()) {
        showMessage(this, QStringLiteral("起動時に指定されたフォルダー「%1」が見つかりません。\n"
                                         "プログラムのフォルダーを開きます。")
                              .arg(wanted));
        wanted = home;
    }
    if (!setFolder(wanted) && wanted != home) setFolder(home);
    Option1[0]->setChecked(true);
    showWindow();
}

void FileSelectionWindow::selectDriveOf(const QString& folder) {
    QString root = QStorageInfo(folder).rootPath();
    if (root.isEmpty()) root = QStringLiteral("/");
    const QSignalBlocker block(Drive1);
    int index = Drive1->findData(root);
    if (index < 0) {
        Drive1->addItem(root, root);
        index = Drive1->count() - 1;
    }
    Drive1->setCurrentIndex(index);
    if (drive_ != root) {
        drive_ = root;
        dirModel_->setRootPath(root);
        Dir1->setRootIndex(dirModel_->index(root));
    }
}

void FileSelectionWindow::showFolderInDir1(const QString& folder) {
    syncing_ = true;
    const QModelIndex index = dirModel_->index(folder);
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) Dir1->expand(up);
    Dir1->setCurrentIndex(index);
    Dir1->expand(index);
    Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    syncing_ = false;
    // The model lists and sorts folders in the background: the folder is kept in view as they
    // come in, until the user turns to the list.
    dirScrollPending_ = true;
}

void FileSelectionWindow::keepFolderInView() {
    if (dirScrollPending_ && !folder_.isEmpty())
        Dir1->scrollTo(dirModel_->index(folder_), QAbstractItemView::PositionAtCenter);
}

bool FileSelectionWindow::setDrive(const QString& root) {
    const QStorageInfo volume(root);
    if (!volume.isValid() || !volume.isReady() || !QDir(root).isReadable()) {
        showMessage(this, QStringLiteral("ドライブ「%1」の準備ができていません。\n"
                                         "ドライブを確かめてから選び直してください。")
                              .arg(root));
        const QSignalBlocker block(Drive1);
        Drive1->setCurrentIndex(Drive1->findData(drive_));
        return false;
    }
    return setFolder(root);
}

bool FileSelectionWindow::setFolder(const QString& wanted, FolderFrom from) {
    const QString folder = QDir::cleanPath(wanted);
    const QDir dir(folder);
    const QFileInfo info(folder);
    if (!info.isDir() || !dir.isReadable() || !info.isExecutable()) {
        showMessage(this, QStringLiteral("フォルダー「%1」の中を読めません。\n"
                                         "別のフォルダーを選んでください。")
                              .arg(folder));
        if (!folder_.isEmpty()) showFolderInDir1(folder_);
        return false;
    }
    folder_ = folder;
    Label12->hide();
    selectDriveOf(folder);
    // A folder chosen in the tree is where the user's pointer is: the tree stays as it is, so
    // the release of the click lands on the row it was pressed on.
    if (from == FolderFrom::Dir1)
        dirScrollPending_ = false;
    else
        showFolderInDir1(folder);
    syncing_ = true;
    File1->clearSelection();
    fileModel_->setRootPath(folder);
    File1->setRootIndex(filesOnly_->showFolder(folder));
    syncing_ = false;
    return true;
}

void FileSelectionWindow::fileSelected(const QString& fileName) {
    scanFile(fromLocalPath(joinPath(localPath(folder_), localPath(fileName))));
}

void FileSelectionWindow::fileDoubleClicked(const QString& fileName) {
    // The click before it scanned the file; Execute runs only for the file that scan accepted.
    const QString path = fromLocalPath(joinPath(localPath(folder_), localPath(fileName)));
    if (path == Label1->text()) execute();
}

bool FileSelectionWindow::scanFile(const QString& fullPath) {
    auto scanned = hg::scanFile(localPath(fullPath));
    if (!scanned) {
        showMessage(
            this, toQString(scanned.error()) + QStringLiteral("\n別のファイルを選んでください。"));
        return false;
    }
    applyScan(recording_, *scanned);
    Label1->setText(fromLocalPath(scanned->fullPath));
    Text5->setText(fromLocalPath(scanned->csvName));
    Text1->setText(toQString(scanned->startDate));
    Text2->setText(toQString(scanned->startTime));
    Text3->setText(toQString(scanned->endDate));
    Text4->setText(toQString(scanned->endTime));
    QStringList warnings;
    for (const std::string& w : scanned->warnings) warnings << toQString(w);
    ScanWarning->setText(warnings.join(QLatin1Char('\n')));
    ScanWarning->setVisible(!warnings.isEmpty());
    scannedKind_ = scanned->kind;
    Command1->setEnabled(true);
    // Dialog choices made for the previous file are not carried over to this one.
    emit csvDialogDismissed();
    return true;
}

// On every change of a date box, typed or set by code: the rewrite is not a further change, and
// the cursor stays where it was.
void FileSelectionWindow::normaliseDate(QLineEdit* box) {
    const QString text = box->text();
    const QString normal = toQString(normaliseDateBox(utf8(text)));
    if (normal == text) return;
    const int cursor = box->cursorPosition();
    const QSignalBlocker block(box);
    box->setText(normal);
    box->setCursorPosition(std::min<int>(cursor, static_cast<int>(normal.size())));
}

void FileSelectionWindow::normaliseTime(QLineEdit* box) {
    const QString normal = toQString(normaliseTimeBox(utf8(box->text())));
    if (normal != box->text()) box->setText(normal);
}

void FileSelectionWindow::stepTime(QLineEdit* box, bool plus) {
    const std::string text = utf8(box->text());
    const auto stepped = plus ? stepTimePlus(text, recording_.RecordInterval)
                              : stepTimeMinus(text, recording_.RecordInterval);
    if (stepped) box->setText(toQString(*stepped));
}

void FileSelectionWindow::stepDay(QLineEdit* box, int days) {
    if (const auto stepped = stepDate(utf8(box->text()), days)) box->setText(toQString(*stepped));
}

void FileSelectionWindow::modeChanged() {
    const bool convert = Option1[1]->isChecked();
    Label11->setVisible(convert);
    Text5->setVisible(convert);
    // A dialog result confirmed in the other mode is never carried over.
    CsvDialogResult = 0;
    if (!convert) emit csvDialogDismissed();
}

bool FileSelectionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == Text2 || watched == Text4))
        normaliseTime(static_cast<QLineEdit*>(watched));
    if (watched == Dir1->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel))
        dirScrollPending_ = false;
    if (watched == File1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter runs Execute on the file scanned, as a double click does.
            fileDoubleClicked(fileNameAt(File1->currentIndex()));
            return true;
        }
    }
    if (watched == File1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QModelIndex index =
            File1->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        pressOnSelected_ = index.isValid() && File1->selectionModel()->isSelected(index);
    }
    return QWidget::eventFilter(watched, event);
}

void FileSelectionWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!ending_) {
        ending_ = true;
        emit endRequested();
    }
}

void FileSelectionWindow::csvOrdersConfirmed(const CsvOptions& options) {
    CsvDialogResult = 1;
    csvOptions_ = options;
    showWindow();
    activated();
}

void FileSelectionWindow::csvOrdersCancelled() {
    CsvDialogResult = 0;
    showWindow();
}

void FileSelectionWindow::openCsvDialog() {
    emit csvDialogWanted(scannedKind_);
}

void FileSelectionWindow::activated() {
    if (CsvDialogResult != 1 || busy_) return;
    if (!Option1[1]->isChecked()) {
        CsvDialogResult = 0;
        return;
    }
    execute();
}

PeriodTexts FileSelectionWindow::periodTexts() const {
    return PeriodTexts{utf8(Text1->text()), utf8(Text2->text()), utf8(Text3->text()),
                       utf8(Text4->text())};
}

void FileSelectionWindow::reportProgress(int64_t done, int64_t total) {
    const int64_t permille = total > 0 ? std::clamp<int64_t>(done * 1000 / total, 0, 1000) : 0;
    ProgressBar1->setValue(static_cast<int>(permille));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FileSelectionWindow::execute() {
    if (busy_) return;
    const QString path = Label1->text();
    if (path.isEmpty()) return;
    const bool convert = Option1[1]->isChecked();
    // A confirmed dialog result is used once, by this run, whatever the mode.
    const bool confirmed = CsvDialogResult == 1;
    CsvDialogResult = 0;
    if (convert && !confirmed) {
        // The period is checked before the orders are chosen: a bad one is said at once.
        const auto checked = prepareAnalysis(recording_, periodTexts(), ExecuteMode::Convert);
        if (!checked)
            showMessage(this, toQString(checked.error()));
        else if (*checked)
            openCsvDialog();
        return;
    }

    Label12->hide();
    // A new analysis of the scanned recording: its period, then its tables or its CSV files.
    std::shared_ptr<const HARMDIM> loaded;
    notes_.clear();
    const Status outcome = [&]() -> Status {
        Busy busy(*this);
        const ProgressFn progress = [this](int64_t done, int64_t total) {
            reportProgress(done, total);
        };
        if (convert) return runConversion(progress);
        auto run = loadAnalysis(recording_, periodTexts(), {progress});
        if (!run) return Error{run.error()};
        for (const std::string& warning : run->report.warnings) notes_ << toQString(warning);
        loaded = std::move(run->analysis);
        return success();
    }();
    if (!outcome) {
        showMessage(this, toQString(outcome.error()));
        return;
    }
    if (!notes_.isEmpty())
        showMessage(this, notes_.join(QLatin1Char('\n')), MessageKind::Information);
    if (!loaded) return;
    openGraphWindow(std::move(loaded));
}

Status FileSelectionWindow::runConversion(const ProgressFn& progress) {
    auto analysis = prepareAnalysis(recording_, periodTexts(), ExecuteMode::Convert);
    if (!analysis) return Error{analysis.error()};
    if (!*analysis) return success();
    // The output name as typed; a bare or relative name goes beside the measurement file.
    QString output = Text5->text().trimmed();
    if (output.isEmpty()) return Error{"出力ファイル名を入力してください。"};
    if (QFileInfo(output).isRelative())
        output = QFileInfo(Label1->text()).absoluteDir().filePath(output);
    auto report = hg::runConversion(**analysis, csvOptions_, localPath(output), progress);
    if (!report) return Error{report.error()};
    if (report->skippedRecords > 0)
        notes_ << QStringLiteral("日付・時刻の読めないレコード %1 件を飛ばしました。")
                      .arg(report->skippedRecords);
    showConversionDone(*report);
    return success();
}

// Where the busy label stood, until the next action: how many records went into which file, or
// into how many files.
void FileSelectionWindow::showConversionDone(const ConversionReport& report) {
    Label12->setText(report.files.size() == 1
                         ? QStringLiteral("%1 件を %2 に出力しました")
                               .arg(report.lines)
                               .arg(QFileInfo(fromLocalPath(report.files.front())).fileName())
                         : QStringLiteral("%1 件を %2 ファイルに出力しました")
                               .arg(report.lines)
                               .arg(report.files.size()));
    Label12->show();
}

// The new period is loaded: its graph window opens (those of the previous one give way to it)
// and this window hides until the last graph window closes.
void FileSelectionWindow::openGraphWindow(std::shared_ptr<const HARMDIM> analysis) {
    emit analysisLoaded(std::move(analysis));
    hideWindow();
}

}  // namespace hg
