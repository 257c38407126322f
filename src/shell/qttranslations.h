#pragma once

#include <QString>
#include <memory>

class QTranslator;

namespace shell {

// Qt's own texts (the standard buttons of message boxes, the file and print dialogs) in the
// interface language, from the translations installed with Qt. Installed in the application
// while the object lives.
class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // languageCode 0 English, 1 Spanish, 2 French; English needs none. Replaces the texts of
    // an earlier language. False when the language's translations are not installed: Qt then
    // speaks English.
    bool load(int languageCode);

    // The locale name of a language code: "en", "es", "fr".
    static QString localeName(int languageCode);

private:
    std::unique_ptr<QTranslator> translator_;
};

}  // namespace shell
