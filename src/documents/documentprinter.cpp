#include "documents/documentprinter.h"

#include "documents/documentview.h"

#include <QPrinter>

namespace documents {

DocumentPrinter::DocumentPrinter(DocumentView& view, QObject* parent)
    : QObject(parent), view_(&view) {
    connect(&view, &DocumentView::printFinished, this, &DocumentPrinter::onFinished);
}

DocumentPrinter::~DocumentPrinter() = default;

bool DocumentPrinter::print(std::unique_ptr<QPrinter> printer) {
    if (busy() || !printer) return false;
    printer_ = std::move(printer);
    if (view_) {
        view_->print(printer_.get());
    } else {
        onFinished(false);
    }
    return true;
}

void DocumentPrinter::onFinished(bool ok) {
    if (!printer_) return;
    // The browser may still hold the printer while it reports: let it go once the report
    // has been heard.
    QPrinter* done = printer_.release();
    QMetaObject::invokeMethod(
        this, [done] { delete done; }, Qt::QueuedConnection);
    emit finished(ok);
}

}  // namespace documents
