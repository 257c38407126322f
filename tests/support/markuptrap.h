#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A text that Qt would take as rich markup, naming a picture file that nothing may read:
// "<b>bold</b><img src=PATH>". The file is watched with inotify, so any open of it is seen.
class MarkupTrap {
public:
    MarkupTrap();
    ~MarkupTrap();
    MarkupTrap(const MarkupTrap&) = delete;
    MarkupTrap& operator=(const MarkupTrap&) = delete;

    QString markup() const;
    // The markup after a prefix, so that texts of one base stay apart.
    QString markup(const QString& prefix) const { return prefix + markup(); }
    QString picturePath() const { return path_; }
    // Whether the picture file was opened or read since the trap was set.
    bool opened();

private:
    QTemporaryDir dir_;
    QString path_;
    int inotify_ = -1;
    bool seen_ = false;
};

// The characters a person reads in a widget that draws `text` in `format`, as Qt decides:
// rich text is laid out as a document and read back.
QString shownText(const QString& text, int format /* Qt::TextFormat */);

// The characters of the tooltip on screen now, or an empty text when none is shown.
QString shownToolTip();

}  // namespace testing_support
