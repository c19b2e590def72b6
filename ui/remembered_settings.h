// What the windows remember between runs, in Qt's settings store: the user's file
// $XDG_CONFIG_HOME/harmograph/harmograph.conf (~/.config/harmograph/harmograph.conf when
// XDG_CONFIG_HOME is not set), beside the user's own limit sets. Never the data: no recording,
// period, table or result is kept. The app controller reads them once at the start, hands them to
// the windows and writes them back when it ends; "設定の初期化" forgets them.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>

#include "analysis/order_flags.h"

namespace hg {

// The printer and paper of the print dialog.
struct PrintSetup {
    QString printer;      // the printer chosen; empty: the system's default
    int paper = -1;       // QPageSize::PageSizeId of the paper; -1: the printer's
    int orientation = 1;  // 1 portrait, 2 landscape
};

struct RememberedSettings {
    QString folder;               // the file-selection window's folder
    QByteArray frameGeometry;     // the frame's place and size (QWidget::saveGeometry)
    QRect fileSelectionGeometry;  // the file-selection window in the frame; empty: none
    std::optional<PrintSetup> print;
    QString limitSet;                     // the limit set last chosen in a graph window
    QString contractKw;                   // the contract power the windows share
    std::optional<OrderFlags> csvOrders;  // the orders of the CSV dialog and the graphs
    bool csvSplit = false;                // "項目別にファイルを分ける"
    bool csvCombined = false;             // "電流の合成値を出力する"
};

RememberedSettings loadRememberedSettings();
void saveRememberedSettings(const RememberedSettings& settings);
// Empties the store.
void forgetRememberedSettings();

}  // namespace hg
