#include "authoring/import/numericstates.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace authoring::numericstates {

namespace {

double decimal(double v) {
    return QString::number(v, 'g', 12).toDouble();
}

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
    // 6 x 0.1 is 0.6000000000000001: a bound is the number its label shows, or a taxon with
    // 0.6 would sit in "less than 0.6".
    return integer ? std::round(r) : decimal(r);
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
        KeyState k;
        k.low = from, k.high = b, k.highIncluded = false;
        out << k;
        from = b;
    }
    KeyState last;
    last.low = from;
    out << last;
    return out;
}

void partBounds(QList<KeyState>& keys, const QList<NumericRange>& values) {
    for (qsizetype k = 0; k + 1 < keys.size(); ++k) {
        KeyState& a = keys[k];
        KeyState& b = keys[k + 1];
        if (a.high < b.low) {
            const double middle = decimal((a.high + b.low) / 2);
            a.high = middle, a.highIncluded = false;
            b.low = middle, b.lowIncluded = true;
        } else if (a.high == b.low && a.highIncluded && b.lowIncluded) {
            if (a.low == a.high)
                b.lowIncluded = false;
            else
                a.highIncluded = false;
        }
    }
    if (keys.isEmpty()) return;
    for (const NumericRange& r : values) {
        if (r.lowest() < keys.first().low) keys.first().low = r.lowest();
        if (r.highest() > keys.last().high) keys.last().high = r.highest();
    }
    keys.first().lowIncluded = keys.last().highIncluded = true;
}

QString label(const NumericBounds& k, const QString& unit, bool whole) {
    const QString u = unit.isEmpty() ? QString() : QLatin1Char(' ') + unit;
    const bool low = std::isfinite(k.low), high = std::isfinite(k.high);
    if (!low && !high) return QStringLiteral("any value");
    if (whole) {
        // The whole numbers held: [3, 6) holds 3 to 5, (3, 6] holds 4 to 6.
        const double from = k.lowIncluded ? std::ceil(k.low) : std::floor(k.low) + 1;
        const double to = k.highIncluded ? std::floor(k.high) : std::ceil(k.high) - 1;
        if (!low) return QStringLiteral("up to %1%2").arg(text(to), u);
        if (!high) return QStringLiteral("%1%2 or more").arg(text(from), u);
        if (from >= to) return text(from) + u;
        return QStringLiteral("%1 to %2%3").arg(text(from), text(to), u);
    }
    if (!low)
        return (k.highIncluded ? QStringLiteral("up to %1%2") : QStringLiteral("less than %1%2"))
            .arg(text(k.high), u);
    if (!high)
        return (k.lowIncluded ? QStringLiteral("%1%2 or more") : QStringLiteral("more than %1%2"))
            .arg(text(k.low), u);
    if (k.low == k.high) return text(k.low) + u;
    if (k.lowIncluded)
        return (k.highIncluded ? QStringLiteral("%1 to %2%3")
                               : QStringLiteral("%1 to less than %2%3"))
            .arg(text(k.low), text(k.high), u);
    return (k.highIncluded ? QStringLiteral("more than %1, up to %2%3")
                           : QStringLiteral("more than %1 and less than %2%3"))
        .arg(text(k.low), text(k.high), u);
}

bool overlaps(const NumericRange& r, const NumericBounds& k) {
    return k.meets(r.lowest(), r.highest());
}

bool wholeNumbers(const QList<NumericRange>& values, const QList<KeyState>& keys) {
    const auto whole = [](double v) {
        return !std::isfinite(v) || std::isnan(v) || v == std::floor(v);
    };
    for (const NumericRange& r : values)
        if (!whole(r.low) || !whole(r.high) || !whole(r.extremeLow) || !whole(r.extremeHigh))
            return false;
    for (const KeyState& k : keys)
        if (!whole(k.low) || !whole(k.high)) return false;
    return true;
}

QString text(const NumericRange& r, const QString& dash) {
    QString t = r.low == r.high ? text(r.low) : text(r.low) + dash + text(r.high);
    if (r.lowest() < r.low) t = QLatin1Char('(') + text(r.lowest()) + dash + QLatin1Char(')') + t;
    if (r.highest() > r.high) t += QLatin1Char('(') + dash + text(r.highest()) + QLatin1Char(')');
    return t;
}

}  // namespace authoring::numericstates
