// MDIForm1 "グラフ": the frame of every window, with the one menu "ウィンドウ" listing the open
// windows. The file-selection window Form1 lives in it from the start.
#pragma once

#include <QMainWindow>

class QMdiArea;
class QMenu;

namespace hg {

struct HARMDIM;
class Form1;

class MDIForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit MDIForm1(HARMDIM& state, QWidget* parent = nullptr);

    // Opens Form1 on the folder of the optional path argument (or the program's own folder).
    void start(const QString& argument, const QString& programFolder);

    // Ends the program: every window closes.
    void endProgram();

    QMdiArea* mdiArea;
    QMenu* WindowMenu;  // "ウィンドウ"
    Form1* form1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fillWindowMenu();

    bool ending_ = false;
};

}  // namespace hg
