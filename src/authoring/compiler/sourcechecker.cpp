#include "authoring/compiler/sourcechecker.h"

#include "authoring/compiler/sourcetranslations.h"
#include "platform/paths.h"
#include "platform/picture.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace authoring {

namespace {

// A picture of choices larger than this grid could not be shown.
constexpr int kMaxGridSide = 32;

// Keys that become file names in the compiled base must name a file in their folder: no
// separator of either kind, no drive, no leading dot ("..", hidden files), no control.
QString fileNameProblem(const QString& key) {
    if (key.isEmpty()) return QStringLiteral("is empty");
    if (key.startsWith(QLatin1Char('.'))) return QStringLiteral("starts with a dot");
    for (const QChar c : key) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            return QStringLiteral("holds '%1'").arg(c);
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("holds a control character");
    }
    return {};
}

bool endsWithWmf(const QString& name) {
    return name.endsWith(QLatin1String("WMF"));
}

QString layerFolder(int d) {
    return QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0'));
}

}  // namespace

SourcePlace SourceChecker::mainPlace() const {
    return SourcePlace{QDir(m_kb->folder).filePath(QStringLiteral("kb.txt")), 1};
}

bool SourceChecker::fail(const SourcePlace& place, const QString& message) {
    if (m_error.isEmpty()) m_error = place.where() + QStringLiteral(": ") + message;
    return false;
}

bool SourceChecker::check(KbSource& kb, KbLayout& layout) {
    m_kb = &kb;
    m_layout = &layout;
    m_error.clear();
    layout = KbLayout{};
    return checkPalette() && checkFileNames() && checkQuestions() && checkStatePictures() &&
           checkDependencies() && checkSpecies() && checkDrawings() && checkZones() &&
           checkButtons() && checkTranslations();
}

bool SourceChecker::checkTranslations() {
    m_error = translations::check(*m_kb);
    return m_error.isEmpty();
}

bool SourceChecker::hasVignette(const QString& name) const {
    return std::any_of(m_kb->vignettes.cbegin(), m_kb->vignettes.cend(),
                       [&name](const Vignette& v) { return v.name == name; });
}

bool SourceChecker::checkPalette() {
    const SourcePlace top = mainPlace();
    // A key without a drawing has nothing to click, so it may have no colours.
    if (m_kb->palette.isEmpty() && !m_kb->layers.isEmpty())
        return fail(top, QStringLiteral("the palette has no colour"));
    QSet<QRgb> seen;
    QSet<QString> names;
    for (const PaletteEntry& e : m_kb->palette) {
        if (names.contains(e.name))
            return fail(e.place, QStringLiteral("colour %1 is named twice").arg(e.name));
        names.insert(e.name);
        if (seen.contains(e.colour.rgb()))
            return fail(e.place,
                        QStringLiteral("colour %1 is twice in the palette").arg(e.colour.name()));
        seen.insert(e.colour.rgb());
    }
    if (m_kb->languages.isEmpty())
        return fail(top, QStringLiteral("no language of common names is declared"));
    return true;
}

bool SourceChecker::checkQuestions() {
    int next = 0;
    for (int i = 0; i < m_kb->questions.size(); ++i) {
        Question& q = m_kb->questions[i];
        const QString key = q.key.toUpper();
        if (m_layout->questionIndex.contains(key))
            return fail(q.place, QStringLiteral("question %1 is defined twice").arg(q.key));
        m_layout->questionIndex[key] = i;
        if (q.states.isEmpty()) return fail(q.place, QStringLiteral("question without states"));
        const int n = int(q.states.size());
        // More rows only for a question of more states than 32 x 32 cells hold, which is
        // asked as a list: as many as 32 columns need.
        if (q.columns > kMaxGridSide ||
            (q.rows > kMaxGridSide && q.rows > (n + kMaxGridSide - 1) / kMaxGridSide))
            return fail(q.place, QStringLiteral("a grid of %1 x %2 is larger than %3 x %3")
                                     .arg(q.rows)
                                     .arg(q.columns)
                                     .arg(kMaxGridSide));
        // Past what a picture can show the program asks the question as a list; the grid then
        // only has to hold every state, in as many rows as that takes.
        if (q.columns <= 0)
            q.columns = n <= 4 ? n : (n <= 6 ? 3 : std::clamp((n + 31) / 32, 4, kMaxGridSide));
        if (q.rows <= 0) q.rows = (n + q.columns - 1) / q.columns;
        if (q.rows * q.columns < n)
            return fail(q.place, QStringLiteral("a grid of %1 x %2 cannot hold %3 states")
                                     .arg(q.rows)
                                     .arg(q.columns)
                                     .arg(n));
        if (n == 1 && q.proposable)
            return fail(q.place, QStringLiteral("a question of one state must be 'propose no'"));
        if (q.frame >= 0) m_layout->frameCount = std::max(m_layout->frameCount, q.frame + 1);
        m_layout->firstState << next;
        for (State& s : q.states) {
            const QString id = s.id.toUpper();
            if (m_layout->stateIndex.contains(id))
                return fail(s.place, QStringLiteral("state %1 is defined twice").arg(s.id));
            if (s.id.compare(QLatin1String("Fin"), Qt::CaseInsensitive) == 0)
                return fail(s.place, QStringLiteral("'Fin' ends condition lists; not a state"));
            if (!s.ownWeight) s.weight = q.weight;
            // Weights are stored as signed 16-bit values: one that does not fit is refused
            // rather than wrapped round.
            if (s.weight < -32768 || s.weight > 32767)
                return fail(s.ownWeight ? s.place : q.place,
                            QStringLiteral("weight %1 does not fit in 16 bits (-32768 .. 32767)")
                                .arg(s.weight));
            m_layout->stateIndex[id] = next++;
        }
    }
    if (m_kb->questions.isEmpty()) return fail(mainPlace(), QStringLiteral("no question"));
    m_layout->stateCount = next;
    return true;
}

bool SourceChecker::checkFileNames() {
    const auto named = [this](const QString& key, const SourcePlace& place, const char* what) {
        const QString problem = fileNameProblem(key);
        return problem.isEmpty() || fail(place, QStringLiteral("%1 '%2' names a file and %3")
                                                    .arg(QLatin1String(what), key, problem));
    };
    for (const Question& q : m_kb->questions)
        if (!named(q.key, q.place, "question key")) return false;
    for (const Species& s : m_kb->species)
        if (!named(s.code, s.place, "species code")) return false;
    for (const Contradiction& c : m_kb->contradictions)
        if (!named(c.popup, c.place, "popup")) return false;
    for (const Figure& f : m_kb->figures)
        for (const QString& part : f.path.split(QLatin1Char('/')))
            if (!named(part, f.place, "picture path part")) return false;
    return true;
}

// A state's picture is drawn into its cell of the picture of choices: it must be a picture
// in the source's pictures/ folder that can be read, of a sensible size.
bool SourceChecker::checkStatePictures() {
    const QString folder = QDir(m_kb->folder).filePath(QStringLiteral("pictures"));
    for (const Question& q : m_kb->questions) {
        for (const State& s : q.states) {
            if (!s.picture.figure.isEmpty() && !hasVignette(s.picture.figure))
                return fail(s.place,
                            QStringLiteral("figure '%1' is not a vignette").arg(s.picture.figure));
            if (s.picture.image.isEmpty()) continue;
            const QString path = platform::resolveInside(folder, s.picture.image);
            if (path.isEmpty())
                return fail(s.place, QStringLiteral("image '%1' is outside the pictures folder")
                                         .arg(s.picture.image));
            QString why;
            if (platform::Picture::load(path, &why).isNull())
                return fail(s.place, QStringLiteral("image '%1': %2").arg(s.picture.image, why));
        }
    }
    return true;
}

bool SourceChecker::knownStates(const QStringList& codes, const SourcePlace& place) {
    for (const QString& c : codes)
        if (!m_layout->stateIndex.contains(c.toUpper()))
            return fail(place, QStringLiteral("unknown state '%1'").arg(c));
    return true;
}

// A question cleared by one of its own states would clear itself for ever.
bool SourceChecker::checkDependencies() {
    QHash<int, int> ownerOfState;  // state number -> question index
    for (int i = 0; i < m_kb->questions.size(); ++i)
        for (const State& s : m_kb->questions[i].states)
            ownerOfState[m_layout->stateIndex[s.id.toUpper()]] = i;
    for (int i = 0; i < m_kb->questions.size(); ++i) {
        const Question& q = m_kb->questions[i];
        if (!knownStates(q.conditions, q.place)) return false;
        QSet<int> seen{i};
        QList<int> todo{i};
        while (!todo.isEmpty()) {
            const Question& at = m_kb->questions[todo.takeLast()];
            for (const QString& c : at.conditions) {
                const int parent = ownerOfState[m_layout->stateIndex[c.toUpper()]];
                if (parent == i)
                    return fail(q.place, QStringLiteral("question %1 depends on itself through "
                                                        "state %2")
                                             .arg(q.key, c));
                if (!seen.contains(parent)) seen.insert(parent), todo << parent;
            }
        }
    }
    return true;
}

bool SourceChecker::checkSpecies() {
    if (m_kb->species.isEmpty()) return fail(mainPlace(), QStringLiteral("no species"));
    QSet<QString> codes, names, languages;
    for (const Language& l : m_kb->languages) languages.insert(l.id);
    for (const Species& s : m_kb->species) {
        if (s.code.size() != 5)
            return fail(s.place,
                        QStringLiteral("species code '%1' is not five characters").arg(s.code));
        if (codes.contains(s.code.toLower()) || names.contains(s.name.toLower()))
            return fail(s.place, QStringLiteral("species %1 is defined twice").arg(s.name));
        codes.insert(s.code.toLower());
        names.insert(s.name.toLower());
        if (s.family.isEmpty()) return fail(s.place, QStringLiteral("species without family"));
        if (!knownStates(s.shows, s.place)) return false;
        for (const QString& key : s.uncoded)
            if (!m_layout->questionIndex.contains(key.toUpper()))
                return fail(s.place, QStringLiteral("unknown question '%1'").arg(key));
        for (auto it = s.commonNames.begin(); it != s.commonNames.end(); ++it)
            if (!languages.contains(it.key()))
                return fail(s.place, QStringLiteral("undeclared language '%1'").arg(it.key()));
    }
    for (int i = 0; i < m_kb->species.size(); ++i) m_layout->speciesOrder << i;
    std::stable_sort(
        m_layout->speciesOrder.begin(), m_layout->speciesOrder.end(), [this](int a, int b) {
            return m_kb->species[a].name.compare(m_kb->species[b].name, Qt::CaseInsensitive) < 0;
        });
    return true;
}

bool SourceChecker::checkDrawings() {
    QSet<QString> palette, figures;
    for (const PaletteEntry& e : m_kb->palette) palette.insert(e.name);
    for (const Figure& f : m_kb->figures) {
        if (figures.contains(f.path.toUpper()))
            return fail(f.place, QStringLiteral("picture %1 is drawn twice").arg(f.path));
        figures.insert(f.path.toUpper());
        for (const Shape& s : f.shapes)
            for (const QString& c : {s.fill, s.outline})
                if (!c.isEmpty() && !palette.contains(c))
                    return fail(f.place, QStringLiteral("colour %1 is not in the palette").arg(c));
        for (const Probe& p : f.probes)
            if (!palette.contains(p.code))
                return fail(p.place, QStringLiteral("colour %1 is not in the palette").arg(p.code));
    }
    for (int d = 0; d < m_kb->layers.size(); ++d) {
        const Layer& l = m_kb->layers[d];
        if (l.number != d)
            return fail(l.place, QStringLiteral("layers are numbered 0, 1, ... in order; "
                                                "expected %1")
                                     .arg(d));
        for (const LayerVariant& v : l.variants) {
            if (!knownStates(v.conditions, v.place)) return false;
            m_layout->constraintCount =
                std::max(m_layout->constraintCount, int(v.conditions.size()) + 1);
            if (d == 0) m_layout->variantSuffixes << (endsWithWmf(v.name) ? v.name.right(6) : "");
            const QStringList suffixes =
                endsWithWmf(v.name) || d == 0 ? QStringList{QString()} : m_layout->variantSuffixes;
            for (const QString& suffix : suffixes) {
                const QString file = layerFolder(d) + QLatin1Char('/') + v.name + suffix;
                if (!figures.contains(file.toUpper()))
                    return fail(v.place, QStringLiteral("picture %1 is not drawn").arg(file));
                m_layout->layerFiles << file;
            }
        }
    }
    for (const Contradiction& c : m_kb->contradictions) {
        if (!m_layout->questionIndex.contains(c.question.toUpper()))
            return fail(c.place, QStringLiteral("unknown question '%1'").arg(c.question));
        if (c.button != -1) continue;
        if (m_kb->layers.isEmpty())
            return fail(c.place, QStringLiteral("a contradiction layer needs a drawing"));
        for (const QString& suffix : m_layout->variantSuffixes) {
            const QString file = QStringLiteral("CONTRA/") + c.popup + suffix;
            if (!figures.contains(file.toUpper()))
                return fail(c.place, QStringLiteral("picture %1 is not drawn").arg(file));
            m_layout->contraFiles << file;
        }
    }
    return true;
}

bool SourceChecker::checkZones() {
    for (const PaletteEntry& e : m_kb->palette)
        if (!e.code.isEmpty() && !m_layout->questionIndex.contains(e.code.toUpper()))
            return fail(
                e.place,
                QStringLiteral("colour %1 asks the unknown question '%2'").arg(e.name, e.code));
    for (const Zone& z : m_kb->zones) {
        if (m_kb->layers.isEmpty())
            return fail(z.place, QStringLiteral("a click zone needs a drawing"));
        if (!m_layout->questionIndex.contains(z.question.toUpper()))
            return fail(z.place, QStringLiteral("unknown question '%1'").arg(z.question));
        if (!knownStates(z.conditions, z.place)) return false;
        if (z.x1 >= z.x2 || z.y1 >= z.y2 || z.x1 < 0 || z.y1 < 0 || z.x2 > 2400 || z.y2 > 1800)
            return fail(z.place, QStringLiteral("a zone is a rectangle inside 0,0 2400,1800"));
        if (z.frame >= m_layout->frameCount || (z.isFrame && z.frame < 0))
            return fail(z.place, QStringLiteral("frame %1 is opened by no question").arg(z.frame));
        m_layout->constraintCount =
            std::max(m_layout->constraintCount, int(z.conditions.size()) + 1);
    }
    return true;
}

bool SourceChecker::checkButtons() {
    const SourcePlace top = mainPlace();
    if (m_kb->deterButtons.isEmpty())
        return fail(top, QStringLiteral("no button on the character toolbar"));
    if (m_kb->questionButtons.size() < 3)
        return fail(top, QStringLiteral("the question toolbar needs three buttons or more: "
                                        "confirm, abandon, ..., skip"));
    for (const Button& b : m_kb->deterButtons)
        if (b.key != QLatin1String("Search") && b.key != QLatin1String("Results") &&
            !m_layout->questionIndex.contains(b.key.toUpper()))
            return fail(b.place, QStringLiteral("unknown question '%1'").arg(b.key));
    // An icon is a built-in symbol or a vignette of the source; any other name would draw an
    // empty button.
    static const QStringList symbols{QStringLiteral("search"), QStringLiteral("results"),
                                     QStringLiteral("ok"), QStringLiteral("cancel"),
                                     QStringLiteral("skip")};
    for (const QList<Button>* bar : {&m_kb->deterButtons, &m_kb->questionButtons})
        for (const Button& b : *bar)
            if (!b.icon.isEmpty() && !symbols.contains(b.icon) && !hasVignette(b.icon))
                return fail(b.place,
                            QStringLiteral("icon '%1' is neither a built-in icon (%2) nor a "
                                           "vignette")
                                .arg(b.icon, symbols.join(QStringLiteral(", "))));
    for (const Contradiction& c : m_kb->contradictions) {
        if (c.button == -1) continue;
        if (c.button < 1 || c.button > m_kb->deterButtons.size())
            return fail(c.place, QStringLiteral("there is no button %1").arg(c.button));
        if (m_kb->deterButtons[c.button - 1].key.compare(c.question, Qt::CaseInsensitive) != 0)
            return fail(c.place,
                        QStringLiteral("button %1 does not ask %2").arg(c.button).arg(c.question));
    }
    for (const Species& s : m_kb->species)
        for (const QString& lang : m_kb->documentLanguages)
            if (!s.descriptions.contains(lang) && !s.descriptions.isEmpty())
                return fail(s.place, QStringLiteral("no '%1' text for the documents").arg(lang));
    return true;
}

}  // namespace authoring
