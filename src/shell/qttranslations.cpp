#include "shell/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace shell {

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

QString QtTranslations::localeName(int languageCode) {
    switch (languageCode) {
        case 1:
            return QStringLiteral("es");
        case 2:
            return QStringLiteral("fr");
        default:
            return QStringLiteral("en");
    }
}

bool QtTranslations::load(int languageCode) {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    if (languageCode != 1 && languageCode != 2) return true;
    // "qt_xx" gathers the catalogues of every Qt module the language has.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qt_") + localeName(languageCode),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    return true;
}

}  // namespace shell
