#include "ui/remembered_settings.h"

#include <QSettings>
#include <QStringList>

namespace hg {

namespace {

QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("harmograph"),
                     QStringLiteral("harmograph"));
}

// The order flags as the list of entries checked ("0,2,4"); entries not listed are 0.
QString orderText(const OrderFlags& flags) {
    QStringList checked;
    for (std::size_t k = 0; k < flags.size(); ++k)
        if (flags[k] == 1) checked << QString::number(k);
    return checked.join(QLatin1Char(','));
}

OrderFlags ordersOf(const QString& text) {
    OrderFlags flags = initialJisuFlag();
    for (const QString& entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int k = entry.toInt(&ok);
        if (ok && k >= 0 && k < kFirstUnavailableFlag) flags[static_cast<std::size_t>(k)] = 1;
    }
    return flags;
}

}  // namespace

RememberedSettings loadRememberedSettings() {
    const QSettings s = store();
    RememberedSettings r;
    r.folder = s.value("folder").toString();
    r.frameGeometry = s.value("frame/geometry").toByteArray();
    r.fileSelectionGeometry = s.value("fileSelection/geometry").toRect();
    if (s.contains("print/orientation"))
        r.print =
            PrintSetup{s.value("print/printer").toString(), s.value("print/paper", -1).toInt(),
                       s.value("print/orientation", 1).toInt() == 2 ? 2 : 1};
    r.limitSet = s.value("graph/limitSet").toString();
    r.contractKw = s.value("graph/contractKw").toString();
    if (s.contains("csv/orders")) r.csvOrders = ordersOf(s.value("csv/orders").toString());
    r.csvSplit = s.value("csv/split", false).toBool();
    r.csvCombined = s.value("csv/combined", false).toBool();
    return r;
}

void saveRememberedSettings(const RememberedSettings& r) {
    QSettings s = store();
    s.setValue("folder", r.folder);
    s.setValue("frame/geometry", r.frameGeometry);
    s.setValue("fileSelection/geometry", r.fileSelectionGeometry);
    if (r.print) {
        s.setValue("print/printer", r.print->printer);
        s.setValue("print/paper", r.print->paper);
        s.setValue("print/orientation", r.print->orientation);
    }
    s.setValue("graph/limitSet", r.limitSet);
    s.setValue("graph/contractKw", r.contractKw);
    if (r.csvOrders) s.setValue("csv/orders", orderText(*r.csvOrders));
    s.setValue("csv/split", r.csvSplit);
    s.setValue("csv/combined", r.csvCombined);
}

void forgetRememberedSettings() {
    store().clear();
}

}  // namespace hg
