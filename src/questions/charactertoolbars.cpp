#include "questions/charactertoolbars.h"

#include "kb/model.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/plaintext.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QLayout>
#include <QPixmap>
#include <QToolBar>

namespace questions {

namespace {

// The pictures are small (32 x 32); a larger one is shown at this size.
constexpr int MaxIcon = 48;

QIcon iconOf(const QString& path, QString* error) {
    const platform::Picture picture = platform::Picture::load(platform::toLocalPath(path), error);
    if (picture.isNull()) return QIcon();
    QSize size = picture.naturalSize().toSize().boundedTo(QSize(MaxIcon, MaxIcon));
    if (size.isEmpty()) size = QSize(32, 32);
    return QIcon(QPixmap::fromImage(picture.render(size)));
}

}  // namespace

CharacterToolbars::CharacterToolbars(kb::Model& model, QString dataDir, QObject* parent)
    : QObject(parent), model_(model), dataDir_(std::move(dataDir)) {}

std::vector<CharacterToolbars::Button> CharacterToolbars::readRows(const QString& table,
                                                                   int count) {
    std::vector<Button> rows;
    kb::Table t = model_.KnowledgeBase.openTable(table);
    if (!t.isValid() || !t.setIndex(QStringLiteral("PrimaryKey"))) {
        error_ = QStringLiteral("table \"%1\" cannot be read").arg(table);
        rows.resize(size_t(std::max(0, count)));
        return rows;
    }
    const auto text = [&t](const char* name) { return t.field(QLatin1String(name)).toString(); };
    for (int k = 1; k <= count; ++k) {
        Button b;
        if (t.seek(k)) {
            // A picture named outside the knowledge base's folder is a missing one: it is
            // never opened.
            QString picture = dataDir_ + text("File");
            if (!platform::staysInside(dataDir_, picture)) {
                error_ = QStringLiteral("%1: the name leads out of the knowledge base's folder")
                             .arg(text("File"));
                picture.clear();
            }
            b = Button{text("Caption"), text("TipText"), text("Key"), picture, true};
        } else {
            error_ = QStringLiteral("table \"%1\" has no row %2").arg(table).arg(k);
        }
        rows.push_back(b);
    }
    return rows;
}

bool CharacterToolbars::fill(QToolBar* toolbar, const std::vector<Button>& buttons, bool tags) {
    bool ok = true;
    toolbar->clear();
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QSize iconSize(16, 16);
    for (const Button& b : buttons) {
        QIcon icon;
        if (b.exists) {
            QString error;
            if (!b.picture.isEmpty()) icon = iconOf(b.picture, &error);
            if (icon.isNull()) {
                ok = false;
                if (!b.picture.isEmpty()) error_ = QStringLiteral("%1: %2").arg(b.picture, error);
            } else {
                iconSize = iconSize.expandedTo(icon.availableSizes().value(0));
            }
        }
        QAction* action = toolbar->addAction(icon, platform::plainCaption(b.caption));
        // Without a tip the action would show its caption as a tooltip, markup and all.
        action->setToolTip(platform::plainToolTip(b.tipText.isEmpty() ? b.caption : b.tipText));
        // The buttons are reached with Tab, like every other control, however often the bar
        // is rebuilt.
        if (QWidget* button = toolbar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::TabFocus);
            if (toolbar == quest_) button->installEventFilter(this);
        }
        if (tags) action->setData(b.key);
        toolbar->addSeparator();
    }
    toolbar->setIconSize(iconSize);
    if (toolbar == deter_) {
        naturalIcons_ = iconSize;
        applyFit();
    }
    // The new buttons are placed now, not at the next turn of the event loop: the keyboard
    // can reach them at once.
    if (toolbar->layout()) toolbar->layout()->activate();
    return ok;
}

void CharacterToolbars::fitHeight(int height) {
    fitHeight_ = std::max(0, height);
    applyFit();
}

void CharacterToolbars::applyFit() {
    QToolBar* bar = deter_;
    if (!bar || fitHeight_ <= 0 || !naturalIcons_.isValid()) return;
    struct Step {
        int eighths;  // of the pictures' own size
        bool separators, captions;
    };
    std::vector<Step> steps;
    for (bool separators : {true, false})
        for (int eighths : {8, 6, 4}) steps.push_back({eighths, separators, true});
    for (int eighths : {8, 6, 4}) steps.push_back({eighths, false, false});
    for (const Step& step : steps) {
        const QSize icon = naturalIcons_ * step.eighths / 8;
        bar->setIconSize(icon.expandedTo(QSize(12, 12)));
        bar->setToolButtonStyle(step.captions ? Qt::ToolButtonTextUnderIcon
                                              : Qt::ToolButtonIconOnly);
        // A hidden separator keeps its place in the numbering of the entries.
        for (QAction* a : bar->actions())
            if (a->isSeparator()) a->setVisible(step.separators);
        if (bar->sizeHint().height() <= fitHeight_) return;
    }
}

void CharacterToolbars::setWidth(QToolBar* toolbar) const {
    const double twipsPerPixel = 1440.0 / std::max(1, toolbar->logicalDpiX());
    const int margin = int(platform::roundHalfEven(100 / twipsPerPixel));
    toolbar->setFixedWidth(toolbar->sizeHint().width() + margin);
}

bool CharacterToolbars::Charge_Barre_Deter(QToolBar* Barre_Deter) {
    deter_ = Barre_Deter;
    error_.clear();
    deterRows_ = readRows(QStringLiteral("But_Deter"), model_.DeterButtonCount);
    const bool ok = fill(Barre_Deter, shown(deterRows_, false), true) && error_.isEmpty();
    contradictions_ = false;
    setWidth(Barre_Deter);
    connect(Barre_Deter, &QToolBar::actionTriggered, this, [this](QAction* action) {
        if (deter_)
            emit deterClicked(deter_->actions().indexOf(action) + 1, action->data().toString());
    });
    return ok;
}

bool CharacterToolbars::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
            if (watched == quest_) questPressedSinceShown_ = false;
            break;
        case QEvent::MouseButtonPress:
            questPressedSinceShown_ = true;
            break;
        case QEvent::MouseButtonDblClick:
            if (!questPressedSinceShown_) return true;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

bool CharacterToolbars::Charge_Barre_Question(QToolBar* Barre_Question) {
    quest_ = Barre_Question;
    Barre_Question->installEventFilter(this);
    error_.clear();
    questRows_ = readRows(QStringLiteral("But_Quest"), model_.QuestionButtonCount);
    const bool ok = fill(Barre_Question, shown(questRows_, true), false) && error_.isEmpty();
    setWidth(Barre_Question);
    connect(Barre_Question, &QToolBar::actionTriggered, this, [this](QAction* action) {
        if (quest_) emit questionClicked(quest_->actions().indexOf(action) + 1);
    });
    return ok;
}

bool CharacterToolbars::Recharge_Barre() {
    if (!deter_) return false;
    error_.clear();
    contradictions_ = false;
    return fill(deter_, shown(deterRows_, false), true);
}

bool CharacterToolbars::showContradictionIcons(const std::vector<engine::ButtonImage>& toolbar) {
    if (!deter_) return false;
    std::vector<Button> buttons;
    for (const engine::ButtonImage& image : toolbar)
        buttons.push_back(
            Button{image.caption, image.tipText, image.key, image.picture, image.exists});
    error_.clear();
    contradictions_ = true;
    return fill(deter_, buttons, true);
}

void CharacterToolbars::setSkipButtonVisible(bool visible) {
    if (QAction* skip = entry(quest_, 2 * model_.QuestionButtonCount - 1))
        skip->setVisible(visible);
}

QAction* CharacterToolbars::entry(QToolBar* toolbar, int e) {
    if (!toolbar || e < 1 || e > toolbar->actions().size()) return nullptr;
    return toolbar->actions().at(e - 1);
}

}  // namespace questions
