#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

namespace platform {

// The interface language chosen at program entry, and the language part of the names of the
// HTML documents. LanguageCode is 0 English, 1 Spanish, 2 French.
struct Language {
    std::int16_t LanguageCode = 0;
    // "_en" or "_fr" when the system language decided; empty when the setting did.
    QString DocSuffix;

    // setting is the text of "Options"/"Langue" ("-1" when absent). A stored 0, 1 or 2 is
    // the language; anything else (-1, a text that is not a number, a number the options
    // dialog never writes) leaves the choice to the system language.
    static Language choose(const QString& setting, QLocale::Language systemLanguage);
    static Language choose(const QString& setting) {
        return choose(setting, QLocale::system().language());
    }

    // The language of a system whose interface is in systemLanguage: Spanish 1 with "_en"
    // (there are no Spanish documents), French 2 with "_fr", any other 0 with "_en".
    static Language fromSystem(QLocale::Language systemLanguage);

    // Integer conversion of the whole text: blanks around it are allowed, a fraction is
    // rounded halves to even; nothing when the text is not one number or leaves 16 bits.
    static std::optional<std::int16_t> toInteger(const QString& text);
};

}  // namespace platform
