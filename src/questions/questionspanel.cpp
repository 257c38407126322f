#include "questions/questionspanel.h"

#include "platform/plaintext.h"
#include "questions/questiontree.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>

namespace questions {

namespace {

constexpr int KeyRole = Qt::UserRole;

QString folded(const QString& key) {
    return key.toCaseFolded();
}

}  // namespace

QuestionsPanel::QuestionsPanel(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("Filtre_Questions"));
    filter_->setClearButtonEnabled(true);
    list_ = new QuestionTree(this);
    list_->setObjectName(QStringLiteral("Liste_Questions"));
    list_->setColumnCount(2);
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setWordWrap(false);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    // The question takes the room; the answer gets what it needs, up to a share of the width.
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    list_->viewport()->installEventFilter(this);
    column->addWidget(filter_);
    column->addWidget(list_, 1);
    setFocusProxy(list_);

    connect(filter_, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(list_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activate(item); });
    connect(list_, &QTreeWidget::customContextMenuRequested, this, &QuestionsPanel::showMenu);
    filter_->installEventFilter(this);
    list_->installEventFilter(this);
}

void QuestionsPanel::setTexts(const QString& filterHint, const QString& forget,
                              const QString& others) {
    filter_->setPlaceholderText(filterHint);
    forgetText_ = forget;
    if (others == othersText_) return;
    othersText_ = others;
    // Only the heading of the ungrouped questions shows a text of these: the rows stay.
    const bool grouped =
        sections_.size() > 1 || (sections_.size() == 1 && !sections_[0].group.isEmpty());
    if (!grouped) return;
    for (size_t g = 0; g < sections_.size() && int(g) < list_->topLevelItemCount(); ++g)
        if (sections_[g].group.isEmpty()) list_->topLevelItem(int(g))->setText(0, othersText_);
}

void QuestionsPanel::setSections(std::vector<engine::QuestionSection> sections) {
    if (!sameQuestions(sections)) {
        sections_ = std::move(sections);
        return rebuild();
    }
    // After an answer the rows are the same questions: only the rows whose answer or whose
    // being askable changed are touched, and the filter, which reads the question and state
    // texts only, keeps what it hides.
    QStringList answersChanged;
    for (size_t g = 0; g < sections.size(); ++g) {
        for (size_t i = 0; i < sections[g].entries.size(); ++i) {
            const engine::QuestionEntry& now = sections[g].entries[i];
            const engine::QuestionEntry& before = sections_[g].entries[i];
            const bool answerChanged =
                now.chosenTexts != before.chosenTexts || now.valueNotKept != before.valueNotKept;
            if (!answerChanged && now.askable == before.askable) continue;
            if (answerChanged) answersChanged << now.key;
            showEntry(itemOf(now.key), now);
        }
    }
    sections_ = std::move(sections);  // the same places: the index still holds
    if (answersChanged.isEmpty()) return;
    for (const QString& key : answersChanged) measure(key);
    fitAnswerColumn();
}

void QuestionsPanel::followAnswers(const engine::KeyTables& tables,
                                   const engine::IdentificationState& state) {
    bool answersChanged = false;
    const bool same = engine::followAnswers(
        tables, state, sections_, [&](const engine::QuestionEntry& e, bool answerChanged) {
            answersChanged = answersChanged || answerChanged;
            showEntry(itemOf(e.key), e);
            if (answerChanged) measure(e.key);
        });
    if (!same) return setSections(engine::questionSections(tables, state));
    if (answersChanged) fitAnswerColumn();
}

bool QuestionsPanel::sameQuestions(const std::vector<engine::QuestionSection>& sections) const {
    if (sections.size() != sections_.size()) return false;
    for (size_t g = 0; g < sections.size(); ++g) {
        const auto& a = sections[g].entries;
        const auto& b = sections_[g].entries;
        if (sections[g].group != sections_[g].group || a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].key != b[i].key || a[i].text != b[i].text) return false;
    }
    return true;
}

void QuestionsPanel::indexEntries() {
    entries_.clear();
    widths_.clear();
    for (size_t g = 0; g < sections_.size(); ++g)
        for (size_t i = 0; i < sections_[g].entries.size(); ++i)
            entries_.insert(folded(sections_[g].entries[i].key), {g, i});
}

QString QuestionsPanel::answerText(const engine::QuestionEntry& e) const {
    const QString answer = e.chosenTexts.join(QStringLiteral(", "));
    return e.valueNotKept ? valueNotKeptText_.arg(answer) : answer;
}

// The answer column, the bold face of an answered question and whether it can be asked.
void QuestionsPanel::showEntry(QTreeWidgetItem* item, const engine::QuestionEntry& e) {
    if (!item) return;
    const QString answer = answerText(e);
    if (item->text(1) != answer) {
        item->setText(1, answer);
        item->setToolTip(1, platform::plainToolTip(answer));
    }
    if (item->font(0).bold() != e.answered) {
        QFont f = item->font(0);
        f.setBold(e.answered);
        item->setFont(0, f);
        if (e.answered)
            item->setForeground(1, palette().link());
        else
            item->setData(1, Qt::ForegroundRole, QVariant());
    }
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (e.askable) flags |= Qt::ItemIsEnabled;
    if (item->flags() != flags) item->setFlags(flags);
}

void QuestionsPanel::rebuild() {
    const QString current = currentKey();
    const int scroll = list_->verticalScrollBar() ? list_->verticalScrollBar()->value() : 0;
    list_->clear();
    items_.clear();
    indexEntries();
    const bool grouped =
        sections_.size() > 1 || (sections_.size() == 1 && !sections_[0].group.isEmpty());
    list_->setRootIsDecorated(false);
    for (const engine::QuestionSection& section : sections_) {
        QTreeWidgetItem* parent = nullptr;
        if (grouped) {
            parent = new QTreeWidgetItem(list_);
            parent->setText(0, section.group.isEmpty() ? othersText_ : section.group);
            parent->setFirstColumnSpanned(true);
            parent->setFlags(Qt::ItemIsEnabled);
            QFont f = parent->font(0);
            f.setBold(true);
            f.setItalic(true);
            parent->setFont(0, f);
            parent->setBackground(0, palette().alternateBase());
        }
        for (const engine::QuestionEntry& e : section.entries) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(list_);
            item->setData(0, KeyRole, e.key);
            item->setText(0, e.text);
            item->setToolTip(0, platform::plainToolTip(e.text));
            showEntry(item, e);
            items_.insert(folded(e.key), item);
        }
        if (parent) parent->setExpanded(true);
    }
    fitAnswerColumn();
    applyFilter();
    if (list_->verticalScrollBar()) list_->verticalScrollBar()->setValue(scroll);
    if (!current.isEmpty()) selectQuestion(current);
}

void QuestionsPanel::applyFilter() {
    const QString filter = filter_->text();
    if (filter.trimmed().isEmpty()) {
        // Nothing to match: every row is shown, without folding the filter once per row.
        for (int g = 0; g < list_->topLevelItemCount(); ++g) {
            QTreeWidgetItem* top = list_->topLevelItem(g);
            top->setHidden(top->data(0, KeyRole).isNull() && top->childCount() == 0);
            for (int i = 0; i < top->childCount(); ++i) top->child(i)->setHidden(false);
        }
        return;
    }
    for (int g = 0; g < list_->topLevelItemCount(); ++g) {
        QTreeWidgetItem* top = list_->topLevelItem(g);
        const bool header = top->data(0, KeyRole).isNull();
        if (!header) {
            const auto* e = entryOf(top->data(0, KeyRole).toString());
            top->setHidden(e && !engine::matchesFilter(*e, filter));
            continue;
        }
        bool any = false;
        for (int i = 0; i < top->childCount(); ++i) {
            QTreeWidgetItem* item = top->child(i);
            const auto* e = entryOf(item->data(0, KeyRole).toString());
            const bool shown = !e || engine::matchesFilter(*e, filter);
            item->setHidden(!shown);
            any = any || shown;
        }
        top->setHidden(!any);
    }
}

const engine::QuestionEntry* QuestionsPanel::entryOf(const QString& key) const {
    const auto at = entries_.constFind(folded(key));
    return at == entries_.cend() ? nullptr : &sections_[at->first].entries[at->second];
}

void QuestionsPanel::selectQuestion(const QString& key) {
    QTreeWidgetItem* item = itemOf(key);
    if (!item) {
        list_->clearSelection();
        return;
    }
    list_->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollToItem(item);
}

QString QuestionsPanel::currentKey() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, KeyRole).toString() : QString();
}

QTreeWidgetItem* QuestionsPanel::itemOf(const QString& key) const {
    return items_.value(folded(key));
}

bool QuestionsPanel::isAnswered(const QString& key) const {
    const auto* e = entryOf(key);
    return e && e->answered;
}

void QuestionsPanel::activate(QTreeWidgetItem* item) {
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) return;
    const QString key = item->data(0, KeyRole).toString();
    if (!key.isEmpty()) emit questionActivated(key);
}

void QuestionsPanel::showMenu(const QPoint& position) {
    QTreeWidgetItem* item = list_->itemAt(position);
    if (!item) return;
    const QString key = item->data(0, KeyRole).toString();
    if (key.isEmpty()) return;
    QMenu menu(this);
    QAction* forget = menu.addAction(forgetText_);
    forget->setObjectName(QStringLiteral("mnuForgetAnswer"));
    forget->setEnabled(isAnswered(key));
    if (menu.exec(list_->viewport()->mapToGlobal(position)) == forget) emit forgetRequested(key);
}

void QuestionsPanel::measure(const QString& key) {
    const auto at = entries_.constFind(folded(key));
    if (at == entries_.cend() || at->first >= widths_.size() ||
        at->second >= widths_[at->first].size())
        return;
    const engine::QuestionEntry& e = sections_[at->first].entries[at->second];
    QFont bold = widthsFont_;
    bold.setBold(true);
    const QFontMetrics plainMetrics(widthsFont_), boldMetrics(bold);
    TextWidths& w = widths_[at->first][at->second];
    w.question = (e.answered ? boldMetrics : plainMetrics).horizontalAdvance(e.text);
    w.answer = e.answered ? plainMetrics.horizontalAdvance(answerText(e)) : 0;
}

void QuestionsPanel::measureAll() {
    widthsFont_ = list_->font();
    widths_.assign(sections_.size(), {});
    for (size_t g = 0; g < sections_.size(); ++g) {
        widths_[g].resize(sections_[g].entries.size());
        for (const auto& e : sections_[g].entries) measure(e.key);
    }
}

bool QuestionsPanel::widthsKnown() const {
    return widths_.size() == sections_.size() && widthsFont_ == list_->font();
}

bool QuestionsPanel::anyAnswered() const {
    for (const auto& section : sections_)
        for (const auto& e : section.entries)
            if (e.answered) return true;
    return false;
}

// The questions have the width first: the answers take what the longest question leaves,
// and never less than a fifth of the list, where they are elided (their tip shows them).
void QuestionsPanel::fitAnswerColumn() {
    if (!widthsKnown()) {
        // Without an answer the column is empty whatever the questions' widths: they are
        // measured once the list is on screen (see eventFilter), or by the first answer.
        if (!anyAnswered()) {
            list_->setColumnWidth(1, 0);
            return;
        }
        measureAll();
    }
    const int margin = 2 * list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    const bool grouped =
        sections_.size() > 1 || (sections_.size() == 1 && !sections_[0].group.isEmpty());
    int wanted = 0, questions = 0;
    for (const auto& section : widths_) {
        for (const TextWidths& w : section) {
            questions = std::max(questions, w.question);
            wanted = std::max(wanted, w.answer);
        }
    }
    if (wanted > 0) wanted += margin;
    questions += margin + (grouped ? list_->indentation() : 0);
    const int width = list_->viewport()->width();
    const int left = std::max(width / 5, width - questions);
    list_->setColumnWidth(1, std::max(0, std::min(wanted, left)));
}

bool QuestionsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize) fitAnswerColumn();
    if (watched == list_->viewport() && event->type() == QEvent::Paint && !measureQueued_ &&
        !widthsKnown()) {
        // Measuring every question costs more than the rest of the list: done after the list
        // is first painted, so that it does not hold the first screen back.
        measureQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            measureQueued_ = false;
            if (!widthsKnown()) measureAll();
        });
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == list_ && (key == Qt::Key_Delete || key == Qt::Key_Backspace)) {
        const QString current = currentKey();
        if (isAnswered(current)) emit forgetRequested(current);
        return true;
    }
    if (watched == filter_ &&
        (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        // From the filter: Down goes to the list, Enter asks the first question still shown.
        for (QTreeWidgetItemIterator it(
                 list_, QTreeWidgetItemIterator::NotHidden | QTreeWidgetItemIterator::Enabled);
             *it; ++it) {
            if ((*it)->data(0, KeyRole).isNull()) continue;
            list_->setCurrentItem(*it);
            if (key == Qt::Key_Down) {
                list_->setFocus();
            } else {
                activate(*it);
            }
            return true;
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace questions
