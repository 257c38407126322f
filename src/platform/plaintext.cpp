#include "platform/plaintext.h"

#include <QTextDocument>

namespace platform {

QString plainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString plainCaption(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace platform
