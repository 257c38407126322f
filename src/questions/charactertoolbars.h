#pragma once

#include "engine/engineresults.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include <QToolBar>

namespace kb {
class Model;
}

namespace questions {

// The two toolbars whose buttons come from the knowledge base: the character toolbar
// Barre_Deter ("But_Deter") and the question toolbar Barre_Question ("But_Quest"). Entry e
// (1-based) of a toolbar with n buttons: odd e is the button of row (e + 1) / 2, even e the
// separator after it. Clicks are reported by entry; Barre_Deter's also by tag ("Key").
class CharacterToolbars : public QObject {
    Q_OBJECT
public:
    // dataDir holds the button pictures and ends with a separator.
    CharacterToolbars(kb::Model& model, QString dataDir, QObject* parent = nullptr);

    // Build once at start-up and set the toolbar's width from its size plus 100 twips.
    // False when a row is missing or a picture unreadable (the rest is still built).
    bool Charge_Barre_Deter(QToolBar* Barre_Deter);
    bool Charge_Barre_Question(QToolBar* Barre_Question);
    // Rebuilds Barre_Deter with its ordinary pictures (drops contradiction icons).
    bool Recharge_Barre();
    // Rebuilds Barre_Deter as the contradiction display composed it; width unchanged.
    bool showContradictionIcons(const std::vector<engine::ButtonImage>& toolbar);
    bool showsContradictions() const { return contradictions_; }

    // Makes Barre_Deter fit `height` pixels: smaller pictures first, then without the
    // separators, then pictures without captions; only then may the overflow arrow appear.
    // Kept for the rebuilds of the toolbar.
    void fitHeight(int height);

    // The last button of Barre_Question (skip) is shown only for a proposed question.
    void setSkipButtonVisible(bool visible);

    // What a button shows in the interface's language: given the toolbar (true: the question
    // toolbar), the row, whether the tip is asked and the table's own text. Every later build
    // goes through it; retranslate() applies a new one to the toolbars as they stand.
    using TextLookup = std::function<QString(bool questionBar, int row, bool tip, const QString&)>;
    void setTexts(TextLookup lookup) { texts_ = std::move(lookup); }
    bool retranslate();

    QToolBar* Barre_Deter() const { return deter_; }
    QToolBar* Barre_Question() const { return quest_; }
    // Entry e (1-based) of a toolbar, separators counted; null when out of range.
    static QAction* entry(QToolBar* toolbar, int e);
    QString errorString() const { return error_; }

signals:
    void deterClicked(int entry, const QString& tag);
    void questionClicked(int entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Button {
        QString caption, tipText, key, picture;  // picture: a knowledge-base path
        bool exists = false;
    };
    // Rows 1 .. count of a button table, pictures under the data folder.
    std::vector<Button> readRows(const QString& table, int count);
    bool fill(QToolBar* toolbar, const std::vector<Button>& buttons, bool tags);
    // The rows with the captions and tips of the text lookup.
    std::vector<Button> shown(const std::vector<Button>& rows, bool questionBar) const;
    void applyFit();
    void setWidth(QToolBar* toolbar) const;

    kb::Model& model_;
    QString dataDir_;
    std::vector<Button> deterRows_, questRows_;
    QPointer<QToolBar> deter_, quest_;
    // A press on the question toolbar since it was shown. The second press of the
    // double-click that opened the question lands on it as a lone double-click: it is not
    // a confirmation.
    bool questPressedSinceShown_ = false;
    bool contradictions_ = false;
    QString error_;
    int fitHeight_ = 0;  // 0: no limit
    TextLookup texts_;
    QSize naturalIcons_;  // the size the pictures were built at
};

}  // namespace questions
