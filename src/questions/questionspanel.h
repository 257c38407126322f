#pragma once

#include "engine/questionlist.h"

#include <QHash>
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace questions {

// The questions panel: every question of the base under its group, the answered ones in
// bold with the states chosen beside them, those that cannot be asked yet dimmed, and a
// filter field above. It only shows what the engine listed and says what the user asked
// for; the main window opens or forgets the question.
class QuestionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit QuestionsPanel(QWidget* parent = nullptr);

    // The filter field's hint, the context-menu item and the heading of ungrouped questions.
    void setTexts(const QString& filterHint, const QString& forget, const QString& others);
    // "%1 (typed value not kept)": an answer whose typed value an opened file did not keep.
    void setValueNotKeptText(const QString& text) { valueNotKeptText_ = text; }
    // Shows the questions afresh, keeping the filter and the selected question.
    void setSections(std::vector<engine::QuestionSection> sections);
    const std::vector<engine::QuestionSection>& sections() const { return sections_; }
    // After an answer: the rows follow the description in place, as setSections() does with
    // the same questions, without making the list again; other questions make it again.
    void followAnswers(const engine::KeyTables& tables, const engine::IdentificationState& state);
    // Selects a question (the open one, the proposed one); an unknown key clears the selection.
    void selectQuestion(const QString& key);
    QString currentKey() const;
    QTreeWidgetItem* itemOf(const QString& key) const;
    bool isAnswered(const QString& key) const;

    QLineEdit* filterField() const { return filter_; }
    QTreeWidget* list() const { return list_; }
    QString forgetText() const { return forgetText_; }

signals:
    // Double-click or Enter on a question that can be asked.
    void questionActivated(const QString& key);
    // Delete on an answered question, or "Forget this answer" from its menu.
    void forgetRequested(const QString& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void applyFilter();
    void fitAnswerColumn();
    void activate(QTreeWidgetItem* item);
    void showMenu(const QPoint& position);
    const engine::QuestionEntry* entryOf(const QString& key) const;
    bool sameQuestions(const std::vector<engine::QuestionSection>& sections) const;
    void indexEntries();
    void showEntry(QTreeWidgetItem* item, const engine::QuestionEntry& e);
    QString answerText(const engine::QuestionEntry& e) const;
    // The widths of a question's text and of its answer, as fitAnswerColumn needs them.
    void measure(const QString& key);
    void measureAll();
    bool widthsKnown() const;
    bool anyAnswered() const;

    struct TextWidths {
        int question = 0;
        int answer = 0;  // 0 when unanswered
    };

    QLineEdit* filter_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QString forgetText_, othersText_;
    QString valueNotKeptText_ = QStringLiteral("%1");
    std::vector<engine::QuestionSection> sections_;
    QHash<QString, QTreeWidgetItem*> items_;             // by case-folded key
    QHash<QString, std::pair<size_t, size_t>> entries_;  // section and place, by folded key
    // Text widths by section and place, kept so that an answer measures its own row only;
    // made again when the list's font changes.
    std::vector<std::vector<TextWidths>> widths_;
    QFont widthsFont_;
    bool measureQueued_ = false;
};

}  // namespace questions
