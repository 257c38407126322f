#include "shell/translator.h"

#include "platform/language.h"
#include "platform/numbers.h"
#include "platform/textids.h"

#include <QAbstractButton>
#include <QAction>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <optional>

namespace shell {

namespace {

const char* const TagProperty = "tag";
const char* const TabTagsProperty = "tabTags";
constexpr int FontNameKey = TextId::FontName;
constexpr int FontSizeKey = TextId::FontSize;

bool isInteger(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return true;
        default:
            return false;
    }
}

// The whole value read as one number, as a design number must be written.
std::optional<int> wholeNumber(const QVariant& value) {
    if (!value.isValid()) return std::nullopt;
    if (isInteger(value)) return int(value.toLongLong());
    if (!value.canConvert<QString>()) return std::nullopt;
    if (const auto n = platform::Language::toInteger(value.toString())) return *n;
    return std::nullopt;
}

// The number a text starts with, when it is greater than 0; "any other control" may carry a
// number followed by a remark.
std::optional<int> leadingPositive(const QVariant& value) {
    if (!value.isValid()) return std::nullopt;
    std::optional<int> n;
    if (isInteger(value)) {
        n = int(value.toLongLong());
    } else if (value.canConvert<QString>()) {
        if (const auto v = platform::leadingInt16(value.toString())) n = *v;
    }
    if (n && *n > 0) return n;
    return std::nullopt;
}

std::optional<QString> textOf(const platform::StringTable& strings, std::optional<int> key) {
    if (!key) return std::nullopt;
    return strings.text(*key);
}

// What QAction::toolTip() gives when no tooltip was set: the text without "&" and "...".
QString fallbackToolTip(QString text) {
    text.remove(QStringLiteral("..."));
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') text.remove(i, 1);
    }
    return text.trimmed();
}

void installFontSubstitution() {
    static const bool done = [] {
        const QString designFont = QStringLiteral("MS Sans Serif");
        if (QFont::substitutes(designFont).isEmpty()) {
            QFont::insertSubstitutions(
                designFont, {QStringLiteral("Noto Sans"), QStringLiteral("Liberation Sans"),
                             QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"),
                             QStringLiteral("Helvetica")});
        }
        return true;
    }();
    Q_UNUSED(done);
}

QFont translatedFont(const QWidget* window, const platform::StringTable& strings) {
    QFont font = window->font();
    if (const auto family = strings.text(FontNameKey)) font.setFamily(*family);
    if (const auto size = strings.text(FontSizeKey)) {
        bool ok = false;
        const double points = size->trimmed().toDouble(&ok);
        if (ok && points > 0) font.setPointSizeF(points);
    }
    return font;
}

void translateActionText(QAction* action, const platform::StringTable& strings) {
    if (const auto t = textOf(strings, wholeNumber(action->text()))) action->setText(*t);
}

void translateMenu(QMenu* menu, const platform::StringTable& strings, QSet<QMenu*>& done) {
    if (done.contains(menu)) return;
    done.insert(menu);
    if (const auto t = textOf(strings, wholeNumber(menu->title()))) menu->setTitle(*t);
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        if (QMenu* sub = action->menu())
            translateMenu(sub, strings, done);
        else
            translateActionText(action, strings);
    }
}

void translateMenuBar(QMenuBar* bar, const platform::StringTable& strings, QSet<QMenu*>& done) {
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) continue;
        if (QMenu* menu = action->menu())
            translateMenu(menu, strings, done);
        else
            translateActionText(action, strings);
    }
}

QVariant tabTag(const QTabBar* bar, int index) {
    const QVariant data = bar->tabData(index);
    if (data.isValid()) return data;
    QVariant list = bar->property(TabTagsProperty);
    if (!list.isValid() && qobject_cast<const QTabWidget*>(bar->parentWidget()))
        list = bar->parentWidget()->property(TabTagsProperty);
    const QVariantList tags = list.toList();
    return index < tags.size() ? tags.at(index) : QVariant();
}

void translateTabBar(QTabBar* bar, const platform::StringTable& strings) {
    for (int i = 0; i < bar->count(); ++i) {
        if (const auto t = textOf(strings, wholeNumber(tabTag(bar, i)))) bar->setTabText(i, *t);
        if (const auto t = textOf(strings, wholeNumber(bar->tabToolTip(i))))
            bar->setTabToolTip(i, *t);
    }
}

void translateToolBar(QToolBar* bar, const platform::StringTable& strings) {
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) continue;
        // Read before the text changes: an unset tooltip follows the text.
        const QString tip = action->toolTip();
        const bool tipWasSet = tip != fallbackToolTip(action->text());
        translateActionText(action, strings);
        if (!tipWasSet) continue;
        if (const auto t = textOf(strings, wholeNumber(tip))) action->setToolTip(*t);
    }
}

void translateHeader(QTreeView* view, const platform::StringTable& strings) {
    QAbstractItemModel* model = view->model();
    if (!model) return;
    for (int s = 0; s < model->columnCount(); ++s) {
        const QVariant tag = model->headerData(s, Qt::Horizontal, Qt::UserRole);
        if (const auto t = textOf(strings, wholeNumber(tag)))
            model->setHeaderData(s, Qt::Horizontal, *t, Qt::DisplayRole);
    }
}

void translateOther(QWidget* widget, const platform::StringTable& strings) {
    if (const auto t = textOf(strings, leadingPositive(widget->property(TagProperty)))) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(*t);
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            group->setTitle(*t);
    }
    if (const auto t = textOf(strings, leadingPositive(widget->toolTip()))) widget->setToolTip(*t);
}

void translateControl(QWidget* widget, const platform::StringTable& strings, QSet<QMenu*>& menus) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (const auto t = textOf(strings, wholeNumber(label->property(TagProperty))))
            label->setText(*t);
    } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
        translateMenu(menu, strings, menus);
    } else if (auto* menuBar = qobject_cast<QMenuBar*>(widget)) {
        translateMenuBar(menuBar, strings, menus);
    } else if (auto* tabBar = qobject_cast<QTabBar*>(widget)) {
        translateTabBar(tabBar, strings);
    } else if (qobject_cast<QTabWidget*>(widget)) {
        // Its tabs live in its QTabBar, which is a child of its own.
    } else if (auto* toolBar = qobject_cast<QToolBar*>(widget)) {
        translateToolBar(toolBar, strings);
    } else if (auto* view = qobject_cast<QTreeView*>(widget)) {
        translateHeader(view, strings);
    } else {
        translateOther(widget, strings);
    }
}

// Another window parented to this one (a dialog, a floating tool window) is translated when
// it is loaded itself; menus and toolbars are windows of their own but belong here.
bool belongsTo(const QWidget* control, const QWidget* window) {
    for (const QWidget* w = control; w && w != window; w = w->parentWidget()) {
        if (w->isWindow() && !qobject_cast<const QMenu*>(w) && !qobject_cast<const QToolBar*>(w))
            return false;
    }
    return true;
}

}  // namespace

void translateWindow(QWidget* window, const platform::StringTable& strings) {
    if (!window) return;
    installFontSubstitution();
    if (const auto t = textOf(strings, wholeNumber(window->property(TagProperty))))
        window->setWindowTitle(*t);
    const QFont font = translatedFont(window, strings);
    window->setFont(font);
    QSet<QMenu*> menus;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!belongsTo(control, window)) continue;
        control->setFont(font);
        translateControl(control, strings, menus);
    }
}

}  // namespace shell
