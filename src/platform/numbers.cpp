#include "platform/numbers.h"

#include <cmath>

namespace platform {

double roundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    const double floor = std::floor(v);
    const double diff = v - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double leadingNumber(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    const int start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    // An exponent counts only when digits follow it; "2e" reads as 2.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        int j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) ++j;
        int expDigits = 0;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

std::optional<std::int16_t> leadingInt16(const QString& text) {
    const double v = roundHalfEven(leadingNumber(text));
    if (v < -32768.0 || v > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(v);
}

QString signedSpaceNumber(long long v) {
    return v < 0 ? QString::number(v) : QLatin1Char(' ') + QString::number(v);
}

std::optional<bool> textToBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) return std::nullopt;
    return v != 0.0;
}

}  // namespace platform
