// The particulars of a recording for its compliance sheet (site, customer, receiving point,
// instrument and serial, CT and VT ratios, nominal voltage, the voltage it holds): a dialog of
// one box per field, and their memory per recording in the user's settings.
#pragma once

#include <QString>
#include <functional>

#include "compliance/report_meta.h"

class QDialog;
class QWidget;

namespace hg {

// The particulars remembered for the recording at `path` (empty fields when none are).
ReportMeta rememberedMeta(const QString& path);
void rememberMeta(const QString& path, const ReportMeta& meta);

// A dialog holding `meta` in its boxes (one QLineEdit a field, named by the field's key);
// `accepted` is called with the boxes' values when it is accepted. It deletes itself on close.
QDialog* openMetaDialog(QWidget* parent, const ReportMeta& meta,
                        std::function<void(const ReportMeta&)> accepted);

}  // namespace hg
