#include "shell/helpwindow.h"

#include "documents/documentview.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace shell {

frmHelp::frmHelp(const QString& page, QWidget* owner) : QWidget(owner, Qt::Window), page_(page) {
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    link_ = new QLabel(this);
    link_->setObjectName(QStringLiteral("Help_Browser"));
    link_->setTextFormat(Qt::RichText);
    link_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link_->setContentsMargins(6, 4, 6, 4);
    connect(link_, &QLabel::linkActivated, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(page_)); });
    view_ = new documents::DocumentView(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(link_);
    column->addWidget(view_, 1);
    const QScreen* screen = owner && owner->screen() ? owner->screen() : nullptr;
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(area.size() * 3 / 4);
    view_->setOffline(true);
    // The help reads the files of its own folder and nothing else.
    view_->setDocumentFolders({QFileInfo(page_).absolutePath()});
    view_->Navigate2(QUrl::fromLocalFile(page_).toString(), 0);
}

void frmHelp::setTexts(const QString& title, const QString& browserLink) {
    setWindowTitle(title);
    // The caption is the program's own text; only the address is made into a link.
    link_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(QUrl::fromLocalFile(page_).toString(QUrl::FullyEncoded),
                            browserLink.toHtmlEscaped()));
}

}  // namespace shell
