#pragma once

#include <QWidget>

namespace documents {

// The legend window: a small window kept above the others that shows the legend of the
// species as plain text at its top-left corner, sized to the text.
class frmLegende : public QWidget {
    Q_OBJECT
public:
    explicit frmLegende(QWidget* parent = nullptr);

    // Sets the caption and the text and fits the window to them: the text with two leading
    // spaces and 3 pixels wide, the text and 2 pixels high. With splitter, the window is
    // first placed beside it, on the screen that shows it.
    void Show_Legend(const QString& caption, const QString& text, const QWidget* splitter);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place(const QWidget* splitter);

    QString text_;
};

}  // namespace documents
