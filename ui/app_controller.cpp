#include "ui/app_controller.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include "analysis/harmdim.h"
#include "platform/qt/message_box.h"
#include "platform/qt/save_file_dialog.h"
#include "ui/compliance_window.h"
#include "ui/csv_orders_dialog.h"
#include "ui/file_selection_window.h"
#include "ui/graph_window.h"
#include "ui/main_frame.h"
#include "ui/print_dialog.h"
#include "ui/spectrum_window.h"

namespace hg {

AppController::AppController() : frame_(std::make_unique<MainFrame>()) {
    form1_ = new FileSelectionWindow(frame_->mdiArea);
    connect(form1_, &FileSelectionWindow::endRequested, this, &AppController::endProgram);
    // Another period is chosen while the graphs stay: Execute replaces them once it has loaded.
    connect(frame_.get(), &MainFrame::fileSelectionWanted, form1_,
            &FileSelectionWindow::showWindow);
    connect(form1_, &FileSelectionWindow::analysisLoaded, this, &AppController::openGraphWindow);
    connect(form1_, &FileSelectionWindow::csvDialogWanted, this,
            [this](const FileKind& kind) { csvDialog().showFor(kind); });
    connect(form1_, &FileSelectionWindow::csvDialogDismissed, this, [this] {
        if (form4_ && form4_->isVisible()) form4_->reject();
    });
    connect(frame_.get(), &MainFrame::settingsResetWanted, this, &AppController::resetSettings);
    takeRememberedSettings();
    askViewFile = [this](bool save) {
        const QString filter = u"ビュー (*.hgview)"_qs;
        return save ? askSaveFileName(frame_.get(), u"ビュー保存"_qs, filter)
                    : QFileDialog::getOpenFileName(frame_.get(), u"ビューを開く"_qs, QString(),
                                                   filter);
    };
    askMovedRecording = [this](const QString& missing) {
        QMessageBox::information(frame_.get(), u"ビューを開く"_qs,
                                 u"ビューの記録ファイルが見つかりません:\n"_qs + missing +
                                     u"\n記録ファイルを選んでください。"_qs);
        return QFileDialog::getOpenFileName(frame_.get(), u"記録ファイル"_qs,
                                            QFileInfo(missing).path());
    };
    tell = [this](const QString& message) {
        QMessageBox::warning(frame_.get(), u"harmograph"_qs, message);
    };
}

AppController::~AppController() {
    ending_ = true;
    if (remember_) saveSettings();
    frame_.reset();
}

void AppController::endProgram() {
    if (ending_) return;
    ending_ = true;
    frame_->close();
    QCoreApplication::exit(0);
}

OrderFlags AppController::jisuFlag() const {
    return JisuFlag;
}

void AppController::setJisuFlag(const OrderFlags& flags) {
    JisuFlag = flags;
    for (int e = kFirstUnavailableFlag; e < kJisuFlagCount; ++e) JisuFlag[e] = 2;
}

PrintDialog& AppController::printDialog() {
    if (!form3_) {
        form3_ = new PrintDialog(frame_.get());
        if (remembered_.print) form3_->applyPrintSetup(*remembered_.print);
    }
    return *form3_;
}

CsvOrdersDialog& AppController::csvDialog() {
    if (!form4_) {
        form4_ = new CsvOrdersDialog(*this, frame_.get());
        connect(form4_, &CsvOrdersDialog::confirmed, form1_,
                &FileSelectionWindow::csvOrdersConfirmed);
        connect(form4_, &CsvOrdersDialog::cancelled, form1_,
                &FileSelectionWindow::csvOrdersCancelled);
        form4_->Check4->setChecked(remembered_.csvSplit);
        form4_->Check5->setChecked(remembered_.csvCombined);
    }
    return *form4_;
}

GraphWindow* AppController::graphWindow(int i) const {
    return i >= 0 && i < static_cast<int>(graphs_.size()) ? graphs_[i].data() : nullptr;
}

GraphWindow* AppController::openGraphWindow(std::shared_ptr<const HARMDIM> analysis) {
    // The windows of the previous period give way to those of the new one.
    if (graphs_[0]) graphs_[0]->subWindow()->close();
    auto* window = new GraphWindow(std::move(analysis), frame_->mdiArea);
    graphs_[0] = window;
    adopt(window);
    window->showWindow();
    return window;
}

GraphWindow* AppController::openExtraWindow() {
    GraphWindow* mainWindow = graphs_[0];
    if (!mainWindow) return nullptr;
    const auto slot = std::find_if(graphs_.begin() + 1, graphs_.end(),
                                   [](const QPointer<GraphWindow>& w) { return w.isNull(); });
    if (slot == graphs_.end()) return nullptr;
    const int number = static_cast<int>(slot - graphs_.begin()) - 1;
    auto* extra = new GraphWindow(mainWindow->analysis(), frame_->mdiArea,
                                  GraphWindow::Extra{number, mainWindow->view().transformer(),
                                                     mainWindow->transformerTexts()});
    *slot = extra;
    adopt(extra);
    extra->subWindow()->show();
    tileGraphWindows();
    updateWindowEntries();
    frame_->mdiArea->setActiveSubWindow(extra->subWindow());
    return extra;
}

void AppController::adopt(GraphWindow* window) {
    connect(window, &GraphWindow::printRequested, this, [this, window] { printFor(window); });
    connect(window, &GraphWindow::spectrumRequested, this,
            [this, window] { openSpectrum(window); });
    connect(window, &GraphWindow::complianceRequested, this,
            [this, window] { openCompliance(window); });
    connect(window, &GraphWindow::extraWindowRequested, this, &AppController::openExtraWindow);
    connect(window, &GraphWindow::windowShowRequested, this, &AppController::showGraphWindow);
    connect(window, &GraphWindow::backRequested, this, &AppController::backToFileSelection);
    connect(window, &GraphWindow::endRequested, this, &AppController::endProgram);
    connect(window, &GraphWindow::ordersDrawn, this,
            [this](const OrderFlags& drawn) { storeDrawnOrders(JisuFlag, drawn); });
    connect(window, &GraphWindow::parametersTold, this, [this](const TransformerParameters& told) {
        toldParameters_ = told;
        for (const QPointer<GraphWindow>& w : graphs_)
            if (w) w->noteParametersTold(told);
    });
    if (toldParameters_) window->noteParametersTold(*toldParameters_);
    window->setContractPower(contractPower_);
    if (!limitSet_.isEmpty()) window->chooseLimitSet(limitSet_);
    connect(window, &GraphWindow::limitSetChosen, this,
            [this](const QString& name) { limitSet_ = name; });
    connect(window, &GraphWindow::contractPowerEdited, this,
            [this, window](const QString& kw) { shareContractPower(kw, window); });
    connect(window, &GraphWindow::closing, this, [this, window] { graphWindowClosing(window); });
    window->setCursorsSynchronised(syncCursors_);
    connect(window, &GraphWindow::cursorsSynchronisedToggled, this,
            &AppController::setCursorsSynchronised);
    connect(window, &GraphWindow::cursorTimeMoved, this,
            [this, window](double when) { followCursor(window, when); });
    connect(window, &GraphWindow::viewSaveRequested, this, [this] {
        if (const QString path = askViewFile(true); !path.isEmpty()) saveView(path);
    });
    connect(window, &GraphWindow::viewOpenRequested, this, [this] {
        if (const QString path = askViewFile(false); !path.isEmpty()) openView(path);
    });
}

void AppController::printFor(GraphWindow* window) {
    printDialog().openFor(window->analysis(), window->view());
}

// The spectrum of the record under the window's cursor, following its view.
void AppController::openSpectrum(GraphWindow* window) {
    auto* spectrum = new SpectrumWindow(window->analysis(), frame_->mdiArea);
    spectrum->showView(window->view());
    connect(window, &GraphWindow::viewChanged, spectrum,
            [spectrum, window] { spectrum->showView(window->view()); });
    keepReader(window, spectrum);
}

// The compliance window on the window's limit sets, following its range and channel.
void AppController::openCompliance(GraphWindow* window) {
    auto* compliance =
        new ComplianceWindow(window->analysis(), window->limitCatalogue(), window->view());
    QMdiSubWindow* frame = frame_->mdiArea->addSubWindow(compliance);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowTitle(compliance->windowTitle());
    frame->resize(760, 520);
    frame->show();
    frame_->mdiArea->setActiveSubWindow(frame);
    connect(window, &GraphWindow::viewChanged, compliance,
            [compliance, window] { compliance->follow(window->view()); });
    compliance->setContractPower(contractPower_);
    connect(compliance, &ComplianceWindow::contractPowerEdited, this,
            [this, compliance](const QString& kw) { shareContractPower(kw, compliance); });
    keepReader(window, compliance);
}

// One contract power for every window that asks for it: typed in one, shown in the others.
void AppController::shareContractPower(const QString& kw, QObject* from) {
    contractPower_ = kw;
    for (const QPointer<GraphWindow>& w : graphs_)
        if (w && w != from) w->setContractPower(kw);
    for (const Reader& r : readers_)
        if (auto* compliance = qobject_cast<ComplianceWindow*>(r.window.data());
            compliance && compliance != from)
            compliance->setContractPower(kw);
}

void AppController::keepReader(GraphWindow* graph, QWidget* reader) {
    std::erase_if(readers_, [](const Reader& r) { return r.graph.isNull() || r.window.isNull(); });
    readers_.push_back({graph, reader});
}

void AppController::showGraphWindow(int i) {
    if (GraphWindow* window = graphWindow(i))
        frame_->mdiArea->setActiveSubWindow(window->subWindow());
}

// "前画面" of any graph window closes them all.
void AppController::backToFileSelection() {
    if (graphs_[0]) graphs_[0]->subWindow()->close();
}

void AppController::graphWindowClosing(GraphWindow* window) {
    // The spectrum and compliance windows opened from it go with it.
    for (const Reader& r : readers_)
        if (r.graph == window && r.window && r.window->parentWidget())
            r.window->parentWidget()->close();
    const auto slot = std::find(graphs_.begin(), graphs_.end(), window);
    if (slot == graphs_.end()) return;
    *slot = nullptr;
    if (slot != graphs_.begin()) return updateWindowEntries();
    // The extra windows go with the main window; then the file selection shows again.
    for (std::size_t i = 1; i < graphs_.size(); ++i)
        if (graphs_[i]) graphs_[i]->subWindow()->close();
    if (!ending_) form1_->showWindow();
}

// The graph windows one above the other, each the frame's full width.
void AppController::tileGraphWindows() {
    std::vector<GraphWindow*> windows;
    for (const QPointer<GraphWindow>& w : graphs_)
        if (w) windows.push_back(w.data());
    const QSize area = frame_->mdiArea->viewport()->size();
    const int n = static_cast<int>(windows.size());
    const int h = std::max(1, area.height() / n);
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* frame = windows[static_cast<std::size_t>(i)]->subWindow();
        frame->showNormal();
        frame->setGeometry(0, i * h, area.width(), h);
    }
}

// "新しいウィンド" while fewer than two extra windows are open, "ウインドを表示n" for each open
// window, in every graph window.
void AppController::updateWindowEntries() {
    const std::array<bool, 3> shown{!graphs_[1].isNull() || !graphs_[2].isNull(),
                                    !graphs_[1].isNull(), !graphs_[2].isNull()};
    const bool newWindow = graphs_[1].isNull() || graphs_[2].isNull();
    for (const QPointer<GraphWindow>& w : graphs_)
        if (w) w->setWindowEntries(newWindow, shown);
}

// The remembered settings: taken from the last run when the program starts, handed to the
// windows as they open, written back when it ends, forgotten on "設定の初期化".
void AppController::takeRememberedSettings() {
    remembered_ = loadRememberedSettings();
    if (remembered_.csvOrders) setJisuFlag(*remembered_.csvOrders);
    contractPower_ = remembered_.contractKw;
    limitSet_ = remembered_.limitSet;
}

void AppController::start(const QString& argument, const QString& programFolder) {
    if (!remembered_.frameGeometry.isEmpty()) frame_->restoreGeometry(remembered_.frameGeometry);
    // The frame first: a message about the start-up folder appears over it.
    frame_->show();
    const bool lastFolder = argument.trimmed().isEmpty() && !remembered_.folder.isEmpty() &&
                            QFileInfo(remembered_.folder).isDir();
    // A view file opens on its own folder, then restores its windows.
    const bool viewFile = isViewFilePath(argument.trimmed().toStdString());
    const QString folder = viewFile ? QFileInfo(argument.trimmed()).absolutePath() : argument;
    form1_->start(lastFolder ? remembered_.folder : folder, programFolder);
    if (remembered_.fileSelectionGeometry.isValid())
        form1_->subWindow()->setGeometry(remembered_.fileSelectionGeometry);
    else
        form1_->subWindow()->resize(form1_->sizeHint().expandedTo(QSize(820, 560)));
    if (viewFile) QTimer::singleShot(0, this, [this, argument] { openView(argument.trimmed()); });
}

// What the windows hold now; what was never opened in this run stays as the last run left it.
void AppController::saveSettings() const {
    RememberedSettings now = remembered_;
    now.folder = form1_->folder();
    now.frameGeometry = frame_->saveGeometry();
    if (!form1_->subWindow()->isMaximized())
        now.fileSelectionGeometry = form1_->subWindow()->geometry();
    if (form3_) now.print = form3_->printSetup();
    now.limitSet = limitSet_;
    now.contractKw = contractPower_;
    now.csvOrders = JisuFlag;
    if (form4_) {
        now.csvSplit = form4_->Check4->isChecked();
        now.csvCombined = form4_->Check5->isChecked();
    }
    saveRememberedSettings(now);
}

// Forgets what the last runs remembered; this run is not remembered either.
void AppController::resetSettings() {
    forgetRememberedSettings();
    remember_ = false;
    showMessage(frame_.get(),
                QStringLiteral("記憶していた設定（フォルダー、ウィンドウの位置と大きさ、プリンタと"
                               "用紙、限度値、契約電力、CSV出力の選択）を消しました。\n"
                               "次の起動は初めの設定で始まります。"),
                MessageKind::Information);
}

}  // namespace hg
