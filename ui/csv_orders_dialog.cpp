#include "ui/csv_orders_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt/check_value.h"

namespace hg {

namespace {

constexpr int kPages = 21;  // last page: orders 211..260

// "+" and the last three characters of the row's first order offset with its sign blank:
// "+ 0", "+ 10", "+100", "+250".
QString rowCaption(int offset) {
    const QString text = QLatin1Char(' ') + QString::number(offset);
    return QLatin1Char('+') + text.right(3);
}

}  // namespace

CsvOrdersDialog::CsvOrdersDialog(SharedOrders& orders, QWidget* parent)
    : QDialog(parent), orders_(orders) {
    setWindowTitle(QStringLiteral("ＣＳＶファイル出力次数"));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("ＣＳＶファイルへの出力項目をチェックして下さい。"), this);
    Label2 = new QLabel(QStringLiteral("･高調波次数"), this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    for (int c = 0; c < 5; ++c) {
        Label4[c] = new QLabel(this);
        Label4[c]->setObjectName(QStringLiteral("Label4_%1").arg(c));
        grid->addWidget(Label4[c], 0, c, c == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    }
    for (int i = 0; i < 25; ++i) {
        Check1[i] = new QCheckBox(this);
        Check1[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        grid->addWidget(Check1[i], 1 + i / 5, i % 5, i % 5 == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    }
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setRange(0, kPages);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(5);
    grid->addWidget(VScroll1, 1, 5, 5, 1);

    Check3 = new QCheckBox(QStringLiteral("偶数次"), this);
    Check2[0] = new QCheckBox(QStringLiteral("電圧重畳角"), this);
    Check2[1] = new QCheckBox(QStringLiteral("相別実効値"), this);
    Check4 = new QCheckBox(QStringLiteral("項目別にファイルを分ける"), this);
    Check5 = new QCheckBox(QStringLiteral("電流の合成値を出力する"), this);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command2 = new QPushButton(QStringLiteral("全チェック"), this);
    Command3 = new QPushButton(QStringLiteral("キャンセル"), this);
    Command1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addLayout(grid);
    layout->addWidget(Check3);
    layout->addWidget(Check2[0]);
    layout->addWidget(Check2[1]);
    layout->addWidget(Check4);
    layout->addWidget(Check5);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    layout->addLayout(buttons);

    connect(VScroll1, &QScrollBar::valueChanged, this, &CsvOrdersDialog::pageChange);
    connect(Check3, &QCheckBox::clicked, this, &CsvOrdersDialog::check3Click);
    connect(Command1, &QPushButton::clicked, this, &CsvOrdersDialog::ok);
    connect(Command2, &QPushButton::clicked, this, &CsvOrdersDialog::toggleAll);
    connect(Command3, &QPushButton::clicked, this, &CsvOrdersDialog::reject);

    // The boxes start from the shared orders (orders 257..260 grey), so the first store keeps
    // what the graph window left there.
    loadPage(0);
}

std::array<int16_t, 25> CsvOrdersDialog::boxValues() const {
    std::array<int16_t, 25> values{};
    for (int i = 0; i < 25; ++i) values[i] = checkValue(*Check1[i]);
    return values;
}

CsvOptions CsvOrdersDialog::csvOptions() const {
    CsvOptions options;
    options.firstPage = boxValues();
    const OrderFlags flags = orders_.jisuFlag();
    std::copy_n(flags.begin(), options.orderFlags.size(), options.orderFlags.begin());
    options.voltageAngle = Check2[0]->isChecked();
    options.perPhase = Check2[1]->isChecked();
    options.split = Check4->isChecked();
    options.combined = Check5->isChecked();
    return options;
}

void CsvOrdersDialog::storePage(bool even) {
    const int base = 10 * ShownTop + (even ? 1 : 0);
    OrderFlags flags = orders_.jisuFlag();
    for (int i = 0; i < 25; ++i) flags[base + 2 * i] = checkValue(*Check1[i]);
    orders_.setJisuFlag(flags);
}

void CsvOrdersDialog::loadPage(int v) {
    const bool even = Check3->isChecked();
    for (int r = 0; r < 5; ++r) Check1[5 * r]->setText(rowCaption(10 * (v + r)));
    const int base = 10 * v + (even ? 1 : 0);
    const OrderFlags flags = orders_.jisuFlag();
    for (int i = 0; i < 25; ++i) {
        const int16_t value = flags[base + 2 * i];
        setCheckValue(*Check1[i], value);
        Check1[i]->setEnabled(value != kGrey);
    }
    for (int c = 0; c < 5; ++c) Label4[c]->setText(QString::number(2 * c + 1 + (even ? 1 : 0)));
    ShownTop = static_cast<int16_t>(v);
}

void CsvOrdersDialog::pageChange(int v) {
    storePage(Check3->isChecked());
    loadPage(v);
}

void CsvOrdersDialog::check3Click() {
    // The box already shows the new parity: store with the one that was in force before.
    storePage(!Check3->isChecked());
    loadPage(VScroll1->value());
}

void CsvOrdersDialog::toggleAll() {
    const int16_t t = static_cast<int16_t>(Command2Tag.toInt());
    for (QCheckBox* box : Check1)
        if (checkValue(*box) < kGrey) setCheckValue(*box, t);
    OrderFlags flags = orders_.jisuFlag();
    for (int e = 0; e < kFirstUnavailableFlag; ++e) flags[e] = t;
    orders_.setJisuFlag(flags);
    pageChange(VScroll1->value());
    if (t != 1) {
        Command2->setText(QStringLiteral("全チェック"));
        Command2Tag = QStringLiteral("1");
    } else {
        Command2->setText(QStringLiteral("全ﾁｪｯｸ解除"));
        Command2Tag = QStringLiteral("0");
    }
}

void CsvOrdersDialog::showFor(const FileKind& kind) {
    // Keep what the boxes show with the page and parity in force, then start on the first page
    // of odd orders.
    storePage(Check3->isChecked());
    {
        const QSignalBlocker scrollBlock(VScroll1);
        const QSignalBlocker parityBlock(Check3);
        VScroll1->setValue(0);
        Check3->setChecked(false);
    }

    const CsvOffer offer = csvOfferFor(kind);
    Check2[0]->setVisible(offer.voltageAngleShown);
    Check2[0]->setChecked(offer.voltageAngleShown);
    Check2[1]->setVisible(offer.perPhaseShown);
    Check2[1]->setChecked(offer.perPhaseShown);

    VScroll1->setEnabled(offer.allOrders);
    Check3->setVisible(offer.allOrders);
    loadPage(0);

    // One file per item exists only for the kinds with all orders; the combined current needs
    // two channels or more.
    Check4->setEnabled(offer.splitOffered);
    if (!offer.splitOffered) Check4->setChecked(false);
    Check5->setEnabled(offer.combinedOffered);
    if (!offer.combinedOffered) Check5->setChecked(false);

    show();
    raise();
    activateWindow();
}

void CsvOrdersDialog::ok() {
    pageChange(VScroll1->value());
    // Only a checked order counts: a page whose only marks are grey boxes holds no choice.
    int checked = 0;
    for (const QCheckBox* box : Check1)
        if (checkValue(*box) == kChecked) ++checked;
    if (checked == 0) return;
    hide();
    emit confirmed(csvOptions());
}

void CsvOrdersDialog::reject() {
    hide();
    emit cancelled();
}

}  // namespace hg
