#include "authoring/compiler/measuresyntax.h"

#include <QRegularExpression>
#include <cmath>

namespace authoring::measuresyntax {

namespace {

bool bound(const QString& text, std::optional<double>& out) {
    if (text.isEmpty()) return true;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

std::optional<kb::MeasureRange> parseRange(const QString& text) {
    static const QRegularExpression interval(QStringLiteral(
        R"(^([\[(])\s*([+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)?\s*,\s*([+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)?\s*([\])])$)"));
    const QRegularExpressionMatch m = interval.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    kb::MeasureRange r;
    if (!bound(m.captured(2), r.low) || !bound(m.captured(3), r.high)) return std::nullopt;
    r.lowIncluded = m.captured(1) == QLatin1String("[");
    r.highIncluded = m.captured(4) == QLatin1String("]");
    // An open end holds no bound: only a round bracket says so without contradiction.
    if ((!r.low && r.lowIncluded) || (!r.high && r.highIncluded)) return std::nullopt;
    if (r.low && r.high && (*r.low > *r.high || (*r.low == *r.high && !r.lowIncluded)))
        return std::nullopt;
    if (r.low && r.high && *r.low == *r.high && !r.highIncluded) return std::nullopt;
    return r;
}

QString rangeText(const kb::MeasureRange& range) {
    const auto number = [](const std::optional<double>& v) {
        return v ? QString::number(*v, 'g', 15) : QString();
    };
    return QLatin1Char(range.low && range.lowIncluded ? '[' : '(') + number(range.low) +
           QLatin1Char(',') + number(range.high) +
           QLatin1Char(range.high && range.highIncluded ? ']' : ')');
}

}  // namespace authoring::measuresyntax
