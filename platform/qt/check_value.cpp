#include "platform/qt/check_value.h"

#include <QCheckBox>

namespace hg {

int16_t checkValue(const QCheckBox& box) {
    switch (box.checkState()) {
        case Qt::Unchecked: return kUnchecked;
        case Qt::PartiallyChecked: return kGrey;
        case Qt::Checked: return kChecked;
    }
    return kUnchecked;
}

void setCheckValue(QCheckBox& box, int16_t value) {
    if (value == kGrey) {
        box.setTristate(true);
        box.setCheckState(Qt::PartiallyChecked);
        return;
    }
    box.setTristate(false);
    box.setCheckState(value == kUnchecked ? Qt::Unchecked : Qt::Checked);
}

}  // namespace hg
