// Form2: the graph window, an MDI child of the frame. This stand-in shows the size of the loaded
// period (record slots, records loaded, channels, orders); closing it resets LoadedRecords and
// tells the file-selection window to show itself again.
#pragma once

#include <QWidget>

class QLabel;
class QMdiArea;

namespace hg {

struct HARMDIM;

class Form2 : public QWidget {
    Q_OBJECT

public:
    // Adds the window to `area`; it is deleted when closed.
    Form2(HARMDIM& state, QMdiArea* area);

    // Shows the window (its MDI child frame) and makes it the active child.
    void showWindow();

    QLabel* Label1;  // the loaded period's size

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    HARMDIM& state_;
    QMdiArea* area_;
};

}  // namespace hg
