// Message boxes of the windows: one place that shows a failure or a notice to the user, with a
// hook so tests can capture the text instead of a modal box waiting for a click.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace hg {

enum class MessageKind { Information, Warning, Critical };

// Shows `text` in a message box over `parent` (or hands it to the installed hook).
void showMessage(QWidget* parent, const QString& text, MessageKind kind = MessageKind::Warning);
void showMessage(QWidget* parent, const std::string& utf8Text,
                 MessageKind kind = MessageKind::Warning);

// While a hook is installed, showMessage calls it instead of opening a box. An empty hook restores
// the boxes.
using MessageHook = std::function<void(const QString& text, MessageKind kind)>;
void setMessageHook(MessageHook hook);

}  // namespace hg
