// Feeds a species document to the web export's HTML cleaning, with the export's rule for
// links (inside the documents: kept; anything else: dropped), and checks what comes out:
// nothing that runs or fetches may be left, and cleaning the result again changes nothing
// that matters.
#include "fuzzinput.h"

#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>

#include "authoring/webexport/htmlsanitizer.h"

namespace {

using authoring::HtmlSanitizer;

QString mapLink(const QString& address, HtmlSanitizer::LinkKind) {
    if (address.contains(QLatin1Char(':')) || address.startsWith(QLatin1Char('/')) ||
        address.contains(QLatin1String("..")))
        return QString();
    return address;
}

void require(bool condition) {
    if (!condition) std::abort();
}

// The output is read back as a browser would find its tags: every '<' outside a style sheet
// opens a tag written as the cleaning writes them, of an element that neither runs nor
// fetches, with quoted attributes none of which is an event or a fetching one; styles and
// addresses are checked as such. A style sheet's content is raw text to a browser.
void checkClean(const QString& out) {
    static const QRegularExpression styleSheet(QStringLiteral("<style>(.*?)</style>"),
                                               QRegularExpression::DotMatchesEverythingOption);
    for (auto it = styleSheet.globalMatch(out); it.hasNext();)
        require(!HtmlSanitizer::isUnsafeStyle(it.next().captured(1)));
    const QString markup = QString(out).replace(styleSheet, QStringLiteral("<style></style>"));
    static const QRegularExpression tag(
        QStringLiteral("<!DOCTYPE html>|<(/?)([a-z0-9]+)((?: [a-z-]+=\"[^\"<>]*\")*)>"));
    static const QRegularExpression forbidden(
        QStringLiteral("^(script|iframe|object|embed|link|base|meta|svg|math|form|frame|"
                       "frameset|applet|audio|video|source|track|input|button)$"));
    static const QRegularExpression attribute(QStringLiteral(" ([a-z-]+)=\"([^\"]*)\""));
    for (qsizetype at = markup.indexOf(QLatin1Char('<')); at >= 0;
         at = markup.indexOf(QLatin1Char('<'), at + 1)) {
        const auto m = tag.match(markup, at, QRegularExpression::NormalMatch,
                                 QRegularExpression::AnchorAtOffsetMatchOption);
        require(m.hasMatch());
        require(!forbidden.match(m.captured(2)).hasMatch());
        for (auto it = attribute.globalMatch(m.captured(3)); it.hasNext();) {
            const auto a = it.next();
            const QString name = a.captured(1);
            require(!name.startsWith(QLatin1String("on")) && name != QLatin1String("srcset") &&
                    name != QLatin1String("background") && name != QLatin1String("formaction"));
            QString value = a.captured(2);
            value.replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
            if (name == QLatin1String("style")) require(!HtmlSanitizer::isUnsafeStyle(value));
            if (name == QLatin1String("href") || name == QLatin1String("src"))
                require(value.startsWith(QLatin1Char('#')) || !mapLink(value, {}).isEmpty());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("html_fuzz");
    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const HtmlSanitizer sanitizer(mapLink);
    const QString out = sanitizer.sanitize(html);
    checkClean(out);
    checkClean(sanitizer.sanitize(out));
    return 0;
}
