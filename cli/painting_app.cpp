#include "cli/painting_app.h"

#include "cli/args.h"
#include "platform/qt/qpainter_canvas.h"

namespace hg::cli {

std::unique_ptr<QGuiApplication> paintingApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) warn(message.toStdString());
    });
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        static int qtArgc = 1;
        static char name[] = "harmograph";
        static char* qtArgv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    }
    installJapaneseFontSubstitutions();
    return app;
}

}  // namespace hg::cli
