#include "authoring/import/numericstates.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace authoring::numericstates {

namespace {

// The nearest of 1, 1.5, 2, 2.5, 3, 4, 5, 6, 7, 8, 9 times a power of ten.
double round(double x, bool integer) {
    if (x == 0 || !std::isfinite(x)) return x;
    const double scale = std::pow(10.0, std::floor(std::log10(std::abs(x))));
    static const double steps[] = {1, 1.5, 2, 2.5, 3, 4, 5, 6, 7, 8, 9, 10};
    const double m = std::abs(x) / scale;
    double best = steps[0];
    for (double s : steps)
        if (std::abs(s - m) < std::abs(best - m)) best = s;
    const double r = std::copysign(best * scale, x);
    return integer ? std::round(r) : r;
}

}  // namespace

QString text(double v) {
    if (std::abs(v) >= 1e15) return QString::number(v, 'g', 6);
    return QString::number(v, 'g', 12);
}

QList<KeyState> chosenRanges(const QList<NumericRange>& values, bool integer, int wanted) {
    QList<double> middles;
    double lowest = kUnbounded, highest = -kUnbounded;
    for (const NumericRange& r : values) {
        if (!std::isfinite(r.low) || !std::isfinite(r.high)) continue;
        middles << (r.low + r.high) / 2;
        lowest = std::min(lowest, r.low);
        highest = std::max(highest, r.high);
    }
    if (middles.isEmpty() || lowest >= highest) return {};
    std::sort(middles.begin(), middles.end());
    QList<double> bounds;
    for (int k = 1; k < wanted; ++k) {
        const double b =
            round(middles[qsizetype(double(k) * double(middles.size()) / wanted)], integer);
        // A bound at either end would make a state no taxon can show.
        if (b > lowest && b <= highest && (bounds.isEmpty() || b > bounds.last())) bounds << b;
    }
    if (bounds.isEmpty()) {
        const double b = round((lowest + highest) / 2, integer);
        if (b > lowest && b <= highest) bounds << b;
    }
    if (bounds.isEmpty()) return {};
    QList<KeyState> out;
    double from = -kUnbounded;
    for (double b : bounds) {
        out << KeyState{from, b, {}, {}, true};
        from = b;
    }
    out << KeyState{from, kUnbounded, {}, {}, false};
    return out;
}

QString label(const KeyState& k, const QString& unit) {
    const QString u = unit.isEmpty() ? QString() : QLatin1Char(' ') + unit;
    const bool low = std::isfinite(k.low), high = std::isfinite(k.high);
    if (!low && !high) return QStringLiteral("any value");
    if (!low)
        return (k.upperOpen ? QStringLiteral("less than %1%2") : QStringLiteral("up to %1%2"))
            .arg(text(k.high), u);
    if (!high) return QStringLiteral("%1%2 or more").arg(text(k.low), u);
    if (k.low == k.high) return text(k.low) + u;
    return QStringLiteral("%1 to %2%3").arg(text(k.low), text(k.high), u);
}

bool overlaps(const NumericRange& r, const KeyState& k) {
    return r.high >= k.low && (k.upperOpen ? r.low < k.high : r.low <= k.high);
}

}  // namespace authoring::numericstates
