// Starts the windows: the MDI frame with the file-selection window on the folder of the optional
// path argument (or the program's own folder). Returns the process exit code.
#pragma once

class QApplication;

namespace hg {

int runGui(int argc, char** argv);

// What every run sets up in the application before the first window: Qt's own texts in
// Japanese, the Japanese font names and the windows' font.
void prepareApplication(QApplication& app);

}  // namespace hg
