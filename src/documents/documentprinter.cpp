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
    // has been heard. Kept in a member, it is freed even when this object goes first and
    // the queued call is dropped.
    done_ = std::move(printer_);
    QMetaObject::invokeMethod(
        this, [this] { done_.reset(); }, Qt::QueuedConnection);
    emit finished(ok);
}

}  // namespace documents
