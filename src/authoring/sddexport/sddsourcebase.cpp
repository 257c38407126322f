#include "authoring/sddexport/sddsourcebase.h"

#include "engine/keytables.h"
#include "kb/installation.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace authoring {

namespace {

QString text(const kb::Table& t, const QString& name) {
    return t.field(name).toString();
}

// The optional measurement table: the bounds and unit of each state of a question that asks
// a number. A NULL bound is open-ended.
void readMeasures(kb::Model& model, QHash<QString, SddState>& byCode,
                  QHash<QString, QString>& unitOf) {
    if (!model.KnowledgeBase.hasTable(QStringLiteral("Mesures"))) return;
    kb::Table t = model.KnowledgeBase.openTable(QStringLiteral("Mesures"));
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const QString code = text(t, QStringLiteral("ID_CARAC")).toCaseFolded();
        auto it = byCode.find(code);
        if (it == byCode.end()) continue;
        it->measured = true;
        const QVariant low = t.field(QStringLiteral("Bas")), high = t.field(QStringLiteral("Haut"));
        bool ok = false;
        if (!low.isNull()) {
            const double v = low.toDouble(&ok);
            if (ok && std::isfinite(v)) it->range.low = v;
        }
        if (!high.isNull()) {
            const double v = high.toDouble(&ok);
            if (ok && std::isfinite(v)) it->range.high = v;
        }
        const QString unit = text(t, QStringLiteral("Unite"));
        const QString question = text(t, QStringLiteral("Objet")).toCaseFolded();
        if (!unit.isEmpty() && !unitOf.contains(question)) unitOf.insert(question, unit);
    }
}

// The optional table of questions a species leaves uncoded.
void readUncoded(kb::Model& model, QHash<QString, int>& speciesByName, QList<SddTaxon>& taxa) {
    if (!model.KnowledgeBase.hasTable(QStringLiteral("Non_Codes"))) return;
    kb::Table t = model.KnowledgeBase.openTable(QStringLiteral("Non_Codes"));
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const int s = speciesByName.value(text(t, QStringLiteral("Espece")).toCaseFolded(), -1);
        if (s >= 0) taxa[s].uncoded.insert(text(t, QStringLiteral("Objet")).toCaseFolded());
    }
}

// "Commun_xx" columns hold the common names in language xx.
void readTaxa(kb::Model& model, SddSourceBase& out) {
    kb::Table t = model.FloraTable;
    t.setIndex(QStringLiteral("PrimaryKey"));
    static const QRegularExpression language(QStringLiteral("^Commun_([A-Za-z]{2,8})$"));
    QList<QPair<QString, QString>> columns;  // column, language
    for (const QString& f : t.fieldNames())
        if (const auto m = language.match(f); m.hasMatch())
            columns << qMakePair(f, m.captured(1).toLower());
    std::sort(columns.begin(), columns.end());
    for (t.moveFirst(); !t.eof() && out.taxa.size() < model.SpeciesCount; t.moveNext()) {
        SddTaxon taxon;
        taxon.name = text(t, QStringLiteral("Espece"));
        taxon.family = kb::properCase(text(t, QStringLiteral("Famille")));
        taxon.code = text(t, QStringLiteral("Code"));
        for (const auto& [column, lang] : columns)
            if (const QString name = text(t, column).trimmed(); !name.isEmpty())
                taxon.commonNames << qMakePair(lang, name);
        const int s = int(out.taxa.size());
        for (int state = 0; state < model.StateCount; ++state)
            if (model.matrix(s, state) != 0) taxon.shows.insert(state);
        out.taxa << taxon;
    }
}

void readQuestions(kb::Model& model, const engine::KeyTables& tables, const QString& choices,
                   SddSourceBase& out) {
    std::vector<engine::ObjectRow> objects = tables.objects;
    std::stable_sort(objects.begin(), objects.end(),
                     [](const auto& a, const auto& b) { return a.descriptor < b.descriptor; });
    QHash<QString, SddState> byCode;  // case-folded code
    for (const engine::ObjectRow& o : objects) {
        SddQuestion q;
        q.key = o.key;
        q.text = o.tipText.isEmpty() ? o.key : o.tipText;
        q.rows = std::max(1, o.rows), q.columns = std::max(1, o.columns);
        q.group = tables.groups.value(engine::KeyTables::fold(o.key)).group;
        // A name that leads out of the descriptor folder is a missing picture.
        if (!o.picture.isEmpty() && !choices.isEmpty())
            q.picture = platform::resolveInside(choices, o.picture);
        for (int k = 0; k < o.stateCount; ++k) {
            const int number = o.firstState + k;
            if (number < 0 || number >= model.StateCount) break;
            SddState s;
            s.number = number;
            s.code = tables.codeOfState(number).value_or(QStringLiteral("S%1").arg(number));
            s.label = tables.stateTexts.value(number);
            if (s.label.isEmpty()) s.label = s.code;
            s.weight = model.StateWeight[size_t(number)];
            byCode.insert(s.code.toCaseFolded(), s);
            q.states << s;
        }
        out.questions << q;
    }
    for (const engine::DependencyRow& d : tables.dependencies)
        for (SddQuestion& q : out.questions)
            if (q.key.compare(d.objectKey, Qt::CaseInsensitive) == 0 &&
                !q.conditions.contains(d.parentCode))
                q.conditions << d.parentCode;
    QHash<QString, QString> unitOf;
    readMeasures(model, byCode, unitOf);
    for (SddQuestion& q : out.questions) {
        for (SddState& s : q.states) s = byCode.value(s.code.toCaseFolded(), s);
        q.unit = unitOf.value(q.key.toCaseFolded());
    }
}

}  // namespace

bool readSddSourceBase(const QString& kbDir, SddSourceBase& out, QString* error) {
    kb::InstallationRequest request;
    request.dataDir = kbDir;
    request.programDir = kbDir;
    const auto at = kb::planInstallation(request, error);
    if (!at) return false;
    kb::Model model;
    kb::LoadOptions options;
    options.dataDir = at->DataDir;
    options.databaseName = at->Base;
    const kb::LoadResult loaded = kb::loadKnowledgeBase(model, options);
    if (!loaded.ok()) {
        *error = QStringLiteral("cannot load the knowledge base in %1: %2")
                     .arg(kbDir, loaded.detail.isEmpty() ? loaded.message : loaded.detail);
        return false;
    }
    QString tableError;
    const engine::KeyTables tables = engine::KeyTables::fromModel(model, &tableError);
    kb::Table parameters = model.KnowledgeBase.openTable(QStringLiteral("Parametres"));
    parameters.setIndex(QStringLiteral("PrimaryKey"));
    if (parameters.seek(QStringLiteral("Titre")))
        out.title = text(parameters, QStringLiteral("Etat")).trimmed();
    if (out.title.isEmpty()) out.title = QDir(kbDir).dirName();
    out.databaseFile = at->DataDir + at->Base;
    // A malformed table of texts leaves the base's own texts, as the program shows them.
    out.texts = kb::BaseTexts::load(model.KnowledgeBase);
    readQuestions(model, tables, at->DescriptorDir, out);
    readTaxa(model, out);
    QHash<QString, int> speciesByName;
    for (int s = 0; s < out.taxa.size(); ++s)
        speciesByName.insert(out.taxa[s].name.toCaseFolded(), s);
    readUncoded(model, speciesByName, out.taxa);
    return true;
}

}  // namespace authoring
