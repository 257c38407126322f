#include "platform/language.h"

#include "platform/numbers.h"

#include <cmath>

namespace platform {

Language Language::choose(const QString& setting, QLocale::Language systemLanguage) {
    const std::optional<std::int16_t> code = toInteger(setting);
    if (code && *code >= 0 && *code <= 2) return Language{*code, QString()};
    return fromSystem(systemLanguage);
}

Language Language::fromSystem(QLocale::Language systemLanguage) {
    switch (systemLanguage) {
        case QLocale::Spanish:
            return Language{1, QStringLiteral("_en")};
        case QLocale::French:
            return Language{2, QStringLiteral("_fr")};
        default:
            return Language{0, QStringLiteral("_en")};
    }
}

std::optional<std::int16_t> Language::toInteger(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    const double r = roundHalfEven(v);
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(r);
}

}  // namespace platform
