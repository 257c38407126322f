#include "support/markuptrap.h"

#include <sys/inotify.h>
#include <unistd.h>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTextDocument>
#include <QUrl>

namespace testing_support {

MarkupTrap::MarkupTrap() : path_(dir_.filePath(QStringLiteral("trap.png"))) {
    // A real picture, so that a reader that gets as far as decoding it would show it.
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(path_, "PNG");
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0)
        inotify_add_watch(inotify_, QFile::encodeName(path_).constData(), IN_OPEN | IN_ACCESS);
}

MarkupTrap::~MarkupTrap() {
    if (inotify_ >= 0) ::close(inotify_);
}

QString MarkupTrap::markup() const {
    return QStringLiteral("<b>bold</b><img src=%1>").arg(path_);
}

bool MarkupTrap::opened() {
    if (inotify_ < 0) return true;  // not watched: fail rather than pass unseen
    char buffer[4096];
    while (true) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n <= 0) break;
        seen_ = true;
    }
    return seen_;
}

namespace {

// Laid out only to be read back: it loads no picture.
class TextOnlyDocument : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return QVariant(); }
};

}  // namespace

QString shownText(const QString& text, int format) {
    const bool rich =
        format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich) return text;
    TextOnlyDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

QString shownToolTip() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* label = qobject_cast<QLabel*>(w);
        if (label && w->inherits("QTipLabel") && w->isVisible()) {
            label->grab();  // laid out and painted as on screen
            return shownText(label->text(), label->textFormat());
        }
    }
    return QString();
}

}  // namespace testing_support
