#include "app/gui_main.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <QTimer>

#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_translation.h"
#include "ui/app_controller.h"
#include "ui/main_frame.h"

namespace hg {

void prepareApplication(QApplication& app) {
    if (!installJapaneseQtTranslation(app))
        qWarning("Qt's Japanese translation is not installed; its own dialogs speak English");
    installJapaneseFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 10));
}

int runGui(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication(app);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    AppController controller;
    controller.start(arguments.join(QLatin1Char(' ')), QCoreApplication::applicationDirPath());
    MainFrame& frame = controller.frame();

    // HARMO_SCREENSHOT=FILE.png: saves a picture of the frame once it is painted, then ends.
    const QString screenshot = qEnvironmentVariable("HARMO_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &frame, [&frame, screenshot] {
            const bool saved = frame.grab().toImage().save(screenshot);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}

}  // namespace hg
