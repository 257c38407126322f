#include "authoring/compiler/sourcetranslations.h"

#include "authoring/compiler/sourceparser.h"
#include "kb/basetexts.h"

#include <QSet>

namespace authoring {

namespace {

int deterButtonIndex(const KbSource& kb, const QString& key) {
    for (int k = 0; k < kb.deterButtons.size(); ++k)
        if (kb.deterButtons[k].key.compare(key, Qt::CaseInsensitive) == 0) return k;
    return -1;
}

int questionButtonIndex(const KbSource& kb, const QString& number) {
    bool ok = false;
    const int n = number.toInt(&ok);
    return ok && n >= 1 && n <= kb.questionButtons.size() ? n - 1 : -1;
}

const Question* findQuestion(const KbSource& kb, const QString& key) {
    for (const Question& q : kb.questions)
        if (q.key.compare(key, Qt::CaseInsensitive) == 0) return &q;
    return nullptr;
}

const State* findState(const KbSource& kb, const QString& code) {
    for (const Question& q : kb.questions)
        for (const State& s : q.states)
            if (s.id.compare(code, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

bool hasGroup(const KbSource& kb, const QString& heading) {
    for (const Question& q : kb.questions)
        if (q.group == heading) return true;
    return false;
}

// What the translation's key names, or an empty text when it names something there is.
QString unknownTarget(const KbSource& kb, const Translation& t) {
    switch (t.kind) {
        case Translation::Title:
            return {};
        case Translation::Question:
            return findQuestion(kb, t.key) ? QString() : QStringLiteral("no question '%1'");
        case Translation::State:
            return findState(kb, t.key) ? QString() : QStringLiteral("no state '%1'");
        case Translation::Group:
            return hasGroup(kb, t.key) ? QString() : QStringLiteral("no question in group '%1'");
        case Translation::DeterButton:
            return deterButtonIndex(kb, t.key) >= 0
                       ? QString()
                       : QStringLiteral("no character-toolbar button with key '%1'");
        case Translation::QuestionButton:
            return questionButtonIndex(kb, t.key) >= 0
                       ? QString()
                       : QStringLiteral("no question-toolbar button number '%1'");
    }
    return {};
}

// The tip in the translation: its own, else its label where the base's tip is the base's
// label; empty when the base's own tip must stay.
QString translatedTip(const Translation& t, const QString& baseLabel, const QString& baseTip) {
    if (!t.tip.isEmpty()) return t.tip;
    return baseTip == baseLabel ? t.text : QString();
}

}  // namespace

bool SourceParser::textsLine(const QStringList& w) {
    Translation t;
    t.language = m_textsLanguage;
    t.place = m_place;
    const QString& k = w[0];
    int textAt = 2;
    if (k == QLatin1String("title")) {
        if (w.size() != 2) return fail(QStringLiteral("expected: title \"text\""));
        t.kind = Translation::Title;
        textAt = 1;
    } else if (k == QLatin1String("question") || k == QLatin1String("group")) {
        if (w.size() != 3)
            return fail(k == QLatin1String("group")
                            ? QStringLiteral("expected: group \"Heading\" \"translated heading\"")
                            : QStringLiteral("expected: question KEY \"text\""));
        t.kind = k == QLatin1String("group") ? Translation::Group : Translation::Question;
        t.key = w[1];
    } else if (k == QLatin1String("state")) {
        t.kind = Translation::State;
        t.key = w.value(1);
    } else if (k == QLatin1String("button")) {
        const bool deter = w.value(1) == QLatin1String("deter");
        if (!deter && w.value(1) != QLatin1String("question"))
            return fail(QStringLiteral(
                "expected: button deter KEY \"Caption\" | button question N \"Caption\""));
        t.kind = deter ? Translation::DeterButton : Translation::QuestionButton;
        t.key = w.value(2);
        textAt = 3;
    } else {
        return fail(QStringLiteral("unknown translated text '%1'").arg(k));
    }
    if (w.size() <= textAt) return fail(QStringLiteral("'%1' needs its text").arg(k));
    t.text = w[textAt];
    QMap<QString, QStringList> o;
    if (!options(w, textAt + 1, {QStringLiteral("tip")}, {}, o)) return false;
    t.tip = o.value(QStringLiteral("tip")).value(0);
    if (t.text.isEmpty()) return fail(QStringLiteral("empty translated text"));
    m_kb->translations << t;
    return true;
}

namespace translations {

QStringList languages(const KbSource& kb) {
    QStringList out;
    for (const Translation& t : kb.translations)
        if (!out.contains(t.language)) out << t.language;
    return out;
}

QString check(const KbSource& kb) {
    QSet<QString> seen;
    for (const Translation& t : kb.translations) {
        const QString unknown = unknownTarget(kb, t);
        if (!unknown.isEmpty()) return t.place.where() + QStringLiteral(": ") + unknown.arg(t.key);
        const QString slot = t.language + QLatin1Char('\x1f') + QString::number(t.kind) +
                             QLatin1Char('\x1f') + t.key.toCaseFolded();
        if (seen.contains(slot))
            return t.place.where() +
                   QStringLiteral(": this text is already given in '%1'").arg(t.language);
        seen.insert(slot);
    }
    return {};
}

QList<TextRow> rows(const KbSource& kb) {
    QList<TextRow> out;
    const auto add = [&out](const Translation& t, const char* kind, const QString& key,
                            const QString& text) {
        if (!text.isEmpty()) out << TextRow{t.language, QLatin1String(kind), key, text};
    };
    for (const Translation& t : kb.translations) {
        switch (t.kind) {
            case Translation::Title:
                add(t, "Titre", QString(), t.text);
                break;
            case Translation::Question:
                add(t, "Question", findQuestion(kb, t.key)->key, t.text);
                break;
            case Translation::State: {
                const State* s = findState(kb, t.key);
                add(t, "Etat", s->id, translatedTip(t, s->label, s->tip));
                break;
            }
            case Translation::Group:
                add(t, "Groupe", t.key, t.text);
                break;
            case Translation::DeterButton:
            case Translation::QuestionButton: {
                const bool deter = t.kind == Translation::DeterButton;
                const int k = deter ? deterButtonIndex(kb, t.key) : questionButtonIndex(kb, t.key);
                const Button& b = deter ? kb.deterButtons[k] : kb.questionButtons[k];
                const QString key = kb::BaseTexts::buttonKey(!deter, k + 1);
                add(t, "Caption", key, t.text);
                add(t, "TipText", key, translatedTip(t, b.caption, b.tip));
                break;
            }
        }
    }
    return out;
}

Question translated(const KbSource& kb, const Question& q, const QString& language, bool* changed) {
    Question out = q;
    bool any = false;
    for (State& s : out.states)
        for (const Translation& t : kb.translations)
            if (t.kind == Translation::State && t.language == language &&
                t.key.compare(s.id, Qt::CaseInsensitive) == 0 && t.text != s.label) {
                s.label = t.text;
                any = true;
                break;
            }
    if (changed) *changed = any;
    return out;
}

}  // namespace translations

}  // namespace authoring
