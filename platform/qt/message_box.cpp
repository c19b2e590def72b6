#include "platform/qt/message_box.h"

#include <QMessageBox>
#include <utility>

namespace hg {

namespace {

MessageHook& hook() {
    static MessageHook installed;
    return installed;
}

}  // namespace

void setMessageHook(MessageHook h) { hook() = std::move(h); }

void showMessage(QWidget* parent, const QString& text, MessageKind kind) {
    if (hook()) {
        hook()(text, kind);
        return;
    }
    const QString title = QStringLiteral("harmograph");
    switch (kind) {
        case MessageKind::Information: QMessageBox::information(parent, title, text); break;
        case MessageKind::Warning: QMessageBox::warning(parent, title, text); break;
        case MessageKind::Critical: QMessageBox::critical(parent, title, text); break;
    }
}

void showMessage(QWidget* parent, const std::string& utf8Text, MessageKind kind) {
    showMessage(parent, QString::fromStdString(utf8Text), kind);
}

}  // namespace hg
