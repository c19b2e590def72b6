// Qt's own texts (the buttons of message boxes, the page set-up and file dialogs) in Japanese,
// like every text of the program, whatever the language of the system.
#pragma once

class QCoreApplication;

namespace hg {

// Loads Qt's Japanese translation into the application; false when it is not installed (Qt's
// texts then stay in English).
bool installJapaneseQtTranslation(QCoreApplication& app);

}  // namespace hg
