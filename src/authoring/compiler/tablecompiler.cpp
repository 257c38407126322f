#include "authoring/compiler/tablecompiler.h"

#include "authoring/compiler/databasewriter.h"
#include "authoring/compiler/datafiles.h"
#include "authoring/compiler/sourcetranslations.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace authoring {

namespace {
QString commonColumn(const QString& languageId) {
    return QStringLiteral("Commun_") + languageId;
}
}  // namespace

QString TableCompiler::choicePictureName(const QString& questionKey) {
    return questionKey.toLower() + QStringLiteral(".png");
}

QString TableCompiler::buttonPictureName(bool deter, int number) {
    return QStringLiteral("boutons/%1_%2.png")
        .arg(deter ? QStringLiteral("deter") : QStringLiteral("quest"))
        .arg(number, 2, 10, QLatin1Char('0'));
}

bool TableCompiler::writeDatabase(const QString& path) {
    DatabaseWriter db;
    QStringList columns;
    QList<DatabaseWriter::CommonNames> names;
    for (const Language& l : m_kb.languages) {
        columns << commonColumn(l.id);
        names << DatabaseWriter::CommonNames{l.name, commonColumn(l.id)};
    }
    const bool ok = db.open(path, m_layout.constraintCount, columns) && parameters(db) &&
                    questions(db) && species(db) && drawings(db) && zones(db) && toolbars(db) &&
                    db.addCommonNames(names) && db.finish();
    if (!ok) {
        m_error = db.errorString();
        db.abandon();
    }
    return ok;
}

// The condition columns: the states, then "Fin", then nothing.
QVariantList TableCompiler::conditions(const QStringList& states) const {
    QVariantList out;
    for (const QString& s : states) out << s;
    out << QStringLiteral("Fin");
    while (out.size() < m_layout.constraintCount) out << QVariant();
    return out;
}

bool TableCompiler::parameters(DatabaseWriter& db) {
    int questionButtons = 0;
    for (const Button& b : m_kb.deterButtons)
        if (m_layout.questionIndex.contains(b.key.toUpper())) ++questionButtons;
    const QList<std::pair<QString, qsizetype>> rows{{"Nb_Couleurs", m_kb.palette.size()},
                                                    {"Nb_Esp", m_kb.species.size()},
                                                    {"Nb_Etats_Desc", m_layout.stateCount},
                                                    {"Nb_Cadre", m_layout.frameCount},
                                                    {"Nb_Robot", m_kb.layers.size()},
                                                    {"Nb_But_Car", questionButtons},
                                                    {"Nb_But_Deter", m_kb.deterButtons.size()},
                                                    {"Nb_But_Quest", m_kb.questionButtons.size()},
                                                    {"Nb_Contraintes", m_layout.constraintCount}};
    for (const auto& [name, value] : rows)
        if (!db.insert(QStringLiteral("Parametres"), {name, QString::number(value)})) return false;
    if (!db.insert(QStringLiteral("Parametres"), {QStringLiteral("Titre"), m_kb.title}))
        return false;
    for (int i = 0; i < m_kb.palette.size(); ++i)
        if (!db.insert(QStringLiteral("Couleurs"), {i + 1, m_kb.palette[i].code})) return false;
    return true;
}

bool TableCompiler::questions(DatabaseWriter& db) {
    int descendance = 0;
    for (int i = 0; i < m_kb.questions.size(); ++i) {
        const Question& q = m_kb.questions[i];
        const int first = m_layout.firstState[i];
        if (!db.insert(QStringLiteral("Objets_Fic"),
                       {q.key, q.rows, q.columns, first, int(q.states.size()), q.frame, i, q.tip,
                        choicePictureName(q.key), q.proposable}))
            return false;
        for (int k = 0; k < q.states.size(); ++k)
            if (!db.insert(QStringLiteral("Caracteres"),
                           {first + k, q.states[k].id, q.key, q.states[k].tip}))
                return false;
        for (const QString& parent : q.conditions)
            if (!db.insert(QStringLiteral("Descendance"), {++descendance, parent, q.key}))
                return false;
    }
    if (!groups(db) || !measures(db) || !texts(db)) return false;
    for (const Contradiction& c : m_kb.contradictions)
        if (!db.insert(QStringLiteral("Contradictions"), {c.question, c.button, c.popup}))
            return false;
    return true;
}

// A question keeps its place in the source as its order, so the panel lists the groups in
// the order the author first used them.
bool TableCompiler::groups(DatabaseWriter& db) {
    const bool grouped = std::any_of(m_kb.questions.begin(), m_kb.questions.end(),
                                     [](const Question& q) { return !q.group.isEmpty(); });
    if (!grouped) return true;
    if (!db.addGroupTable()) return false;
    for (int i = 0; i < m_kb.questions.size(); ++i) {
        const Question& q = m_kb.questions[i];
        if (!q.group.isEmpty() && !db.insert(QStringLiteral("Groupes"), {q.key, q.group, i + 1}))
            return false;
    }
    return true;
}

bool TableCompiler::measures(DatabaseWriter& db) {
    const bool measured = std::any_of(m_kb.questions.begin(), m_kb.questions.end(),
                                      [](const Question& q) { return q.measured; });
    if (!measured) return true;
    if (!db.addMeasureTable()) return false;
    const auto bound = [](const std::optional<double>& v) { return v ? QVariant(*v) : QVariant(); };
    for (const Question& q : m_kb.questions) {
        if (!q.measured) continue;
        for (const State& s : q.states) {
            if (!s.range) continue;
            const kb::MeasureRange& r = *s.range;
            if (!db.insert(QStringLiteral("Mesures"),
                           {s.id, q.key, q.unit, bound(r.low), bound(r.high), r.lowIncluded ? 1 : 0,
                            r.highIncluded ? 1 : 0}))
                return false;
        }
    }
    return true;
}

bool TableCompiler::texts(DatabaseWriter& db) {
    const QList<TextRow> rows = translations::rows(m_kb);
    if (rows.isEmpty()) return true;
    if (!db.addTextTable()) return false;
    for (int i = 0; i < rows.size(); ++i)
        if (!db.insert(QStringLiteral("Textes"),
                       {i + 1, rows[i].language, rows[i].kind, rows[i].key, rows[i].text}))
            return false;
    return true;
}

bool TableCompiler::species(DatabaseWriter& db) {
    for (int index : m_layout.speciesOrder) {
        const Species& s = m_kb.species[index];
        QVariantList row{s.name, s.family.toUpper(), s.code, s.legend};
        for (const Language& l : m_kb.languages) row << s.commonNames.value(l.id);
        if (!db.insert(QStringLiteral("Flore"), row)) return false;
    }
    return uncoded(db);
}

// "Non_Codes" only when some species leaves a question uncoded: a base without it ranks
// exactly as before.
bool TableCompiler::uncoded(DatabaseWriter& db) {
    const bool any = std::any_of(m_kb.species.begin(), m_kb.species.end(),
                                 [](const Species& s) { return !s.uncoded.isEmpty(); });
    if (!any) return true;
    if (!db.addUncodedTable()) return false;
    int row = 0;
    for (int index : m_layout.speciesOrder) {
        const Species& s = m_kb.species[index];
        QSet<int> written;
        for (const QString& key : s.uncoded) {
            const int q = m_layout.questionIndex.value(key.toUpper(), -1);
            if (q < 0 || written.contains(q)) continue;
            written.insert(q);
            if (!db.insert(QStringLiteral("Non_Codes"), {++row, s.name, m_kb.questions[q].key}))
                return false;
        }
    }
    return true;
}

bool TableCompiler::drawings(DatabaseWriter& db) {
    int row = 0;
    for (const Layer& l : m_kb.layers) {
        for (const LayerVariant& v : l.variants) {
            QVariantList values{++row, l.number, v.name};
            values << conditions(v.conditions);
            if (!db.insert(QStringLiteral("Hierarchie"), values)) return false;
        }
    }
    return true;
}

// The program walks the zones in key order and the first that counts wins; a row standing
// for a frame makes the rows of that frame after it unreachable. So the zones inside frames
// come first, then the frame rows, then the zones outside every frame, each of these given
// a frame number of its own (negative: they open nothing) so that none hides the next.
bool TableCompiler::zones(DatabaseWriter& db) {
    int row = 0, outside = -2;
    for (int pass = 0; pass < 3; ++pass) {
        for (const Zone& z : m_kb.zones) {
            const int group = z.isFrame ? 1 : (z.frame >= 0 ? 0 : 2);
            if (group != pass) continue;
            const int frame = group == 2 ? outside-- : z.frame;
            QVariantList values{++row, z.question, frame, group == 0, z.x1, z.x2, z.y1, z.y2};
            values << conditions(z.conditions);
            if (!db.insert(QStringLiteral("Clic_Zone"), values)) return false;
        }
    }
    return true;
}

bool TableCompiler::toolbars(DatabaseWriter& db) {
    for (int k = 0; k < m_kb.deterButtons.size(); ++k) {
        const Button& b = m_kb.deterButtons[k];
        if (!db.insert(QStringLiteral("But_Deter"),
                       {k + 1, b.caption, buttonPictureName(true, k + 1), b.tip, b.key}))
            return false;
    }
    for (int k = 0; k < m_kb.questionButtons.size(); ++k) {
        const Button& b = m_kb.questionButtons[k];
        if (!db.insert(QStringLiteral("But_Quest"),
                       {k + 1, b.caption, buttonPictureName(false, k + 1), b.tip}))
            return false;
    }
    return true;
}

bool TableCompiler::writeDataFiles(const QString& folder) {
    const int species = int(m_kb.species.size()), states = m_layout.stateCount;
    std::vector<qint16> weights(size_t(states), 0), matrix(size_t(species) * size_t(states), 0);
    for (const Question& q : m_kb.questions)
        for (const State& s : q.states)
            weights[size_t(m_layout.stateIndex[s.id.toUpper()])] = qint16(s.weight);
    for (int i = 0; i < species; ++i) {
        const Species& s = m_kb.species[m_layout.speciesOrder[i]];
        for (const QString& code : s.shows)
            matrix[size_t(i) + size_t(species) * size_t(m_layout.stateIndex[code.toUpper()])] = 1;
        // An uncoded question rules nothing out.
        for (const QString& key : s.uncoded) {
            const int q = m_layout.questionIndex.value(key.toUpper(), -1);
            if (q < 0) continue;
            for (int k = 0; k < m_kb.questions[q].states.size(); ++k)
                matrix[size_t(i) + size_t(species) * size_t(m_layout.firstState[q] + k)] = 1;
        }
    }
    const QDir dir(folder);
    return datafiles::writeInt16s(dir.filePath(QStringLiteral("POIDS.DAT")), weights, &m_error) &&
           datafiles::writeInt16s(dir.filePath(QStringLiteral("MATRICE.DAT")), matrix, &m_error);
}

}  // namespace authoring
