#pragma once

#include <QWidget>

class QLabel;

namespace documents {
class DocumentView;
}

namespace shell {

// The program's help pages in a window of the program's own, with a link that hands the
// same page to the desktop's browser for those who prefer it. The desktop is never relied
// on to show the help: its opener may accept the page and still show nothing.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    frmHelp(const QString& page, QWidget* owner);

    // Captions in the current language: the window's title and the browser link.
    void setTexts(const QString& title, const QString& browserLink);
    QString page() const { return page_; }
    documents::DocumentView* view() const { return view_; }

private:
    QString page_;
    QLabel* link_ = nullptr;
    documents::DocumentView* view_ = nullptr;
};

}  // namespace shell
