#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class QPrinter;

namespace documents {

class DocumentView;

// Prints the document of the view on a printer the user chose. The browser prints in the
// background: the printer is kept alive until the page has printed, and one print runs at a
// time.
class DocumentPrinter : public QObject {
    Q_OBJECT
public:
    explicit DocumentPrinter(DocumentView& view, QObject* parent = nullptr);
    ~DocumentPrinter() override;

    bool busy() const { return printer_ != nullptr; }
    // False, leaving the printer unused, while another print is still running.
    bool print(std::unique_ptr<QPrinter> printer);

signals:
    void finished(bool ok);

private:
    void onFinished(bool ok);

    QPointer<DocumentView> view_;
    std::unique_ptr<QPrinter> printer_;
    // The printer of the print just finished, let go on the next turn of the event loop, or
    // with this object if that never comes.
    std::unique_ptr<QPrinter> done_;
};

}  // namespace documents
