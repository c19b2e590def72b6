// Qt's own texts (the buttons of message boxes, the page set-up and file dialogs) in Japanese,
// like every text of the program, whatever the language of the system.
#pragma once

class QCoreApplication;

namespace hg {

// Loads Qt's Japanese translation and its base catalogue into the application, with the few texts
// of Qt's file dialogs that catalogue lacks, and makes Japanese the default locale (the file types
// the dialogs name come from the MIME database in that language). False when Qt's translation is
// not installed (Qt's texts then stay in English).
bool installJapaneseQtTranslation(QCoreApplication& app);

}  // namespace hg
