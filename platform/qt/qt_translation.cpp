#include "platform/qt/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace hg {

namespace {

// Texts of Qt's file dialogs missing from its Japanese catalogue. Installed before the catalogue,
// so that the catalogue's own translation wins wherever it has one.
class MissingQtTexts : public QTranslator {
  public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override {
        struct Text {
            const char* context;
            const char* source;
            const char* japanese;
        };
        static constexpr Text kTexts[] = {
            {"QAbstractFileIconProvider", "Folder", "フォルダー"},
            {"QAbstractFileIconProvider", "Drive", "ドライブ"},
            {"QAbstractFileIconProvider", "Alias", "エイリアス"},
            {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
            {"QAbstractFileIconProvider", "Unknown", "不明"},
        };
        if (!context || !sourceText) return {};
        for (const Text& t : kTexts)
            if (std::strcmp(t.context, context) == 0 && std::strcmp(t.source, sourceText) == 0)
                return QString::fromUtf8(t.japanese);
        return {};
    }
    bool isEmpty() const override { return false; }
};

bool installCatalogue(QCoreApplication& app, const QString& name) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace

bool installJapaneseQtTranslation(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QCoreApplication::installTranslator(new MissingQtTexts(&app));
    // qt_ja only lists the catalogues of the modules; the base one is loaded by its own name too,
    // so its texts come wherever it is installed.
    const bool base = installCatalogue(app, QStringLiteral("qtbase_ja"));
    const bool all = installCatalogue(app, QStringLiteral("qt_ja"));
    return base || all;
}

}  // namespace hg
