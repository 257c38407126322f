#include "platform/plaintext.h"

#include <QTextDocument>

namespace platform {

QString plainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    // Spaces and line breaks kept as in a plain tooltip; long lines still wrap.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QString plainCaption(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace platform
