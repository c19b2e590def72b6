// The printer row of the print dialog: which printer jobs go to, with its state, and the other
// queues of the system to choose from (its default first). The list is fetched off the window
// thread; the choice is kept for the rest of the run.
#pragma once

#include <QWidget>
#include <chrono>
#include <memory>
#include <optional>

#include "platform/qt/print_service.h"

class QComboBox;
class QLabel;

namespace hg {

class PrinterChooser : public QWidget {
    Q_OBJECT

  public:
    explicit PrinterChooser(QWidget* parent = nullptr);

    void setService(std::shared_ptr<PrintService> service, std::chrono::milliseconds limit);
    const std::shared_ptr<PrintService>& service() const { return service_; }
    // Asks the print server again for its printers and their states; returns at once.
    void refresh();
    bool isFetching() const { return fetch_ != nullptr; }
    // Waits for a fetch under way, letting the window's events run.
    void waitForList();

    // The printer jobs go to: the one chosen in this run while the system offers it, else the
    // system's default, else the first; nothing when there is none (or no answer).
    std::optional<PrinterInfo> chosen() const;
    // The name of the printer chosen in this run (empty: none chosen), and choosing one by name
    // (a choice remembered from an earlier run), used while the system offers it.
    static QString chosenName();
    static void chooseByName(const QString& name);
    // Why there is no list: the server's error, "印刷サーバーが応答しません", or empty.
    const QString& listError() const { return list_.error; }

    QLabel* Label = nullptr;
    QComboBox* Combo = nullptr;

  signals:
    void listChanged();

  private:
    void fill(const PrinterList& list);
    void choose(int index);

    std::shared_ptr<PrintService> service_;
    std::chrono::milliseconds limit_;
    PrinterList list_;
    PrinterListFetch* fetch_ = nullptr;
};

}  // namespace hg
