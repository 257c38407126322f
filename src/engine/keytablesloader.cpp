#include "engine/keytables.h"
#include "kb/model.h"
#include "kb/uncodedrecord.h"

#include <QStringList>

namespace engine {

namespace {

QString text(const kb::Table& t, const char* name) {
    return t.field(QLatin1String(name)).toString();
}
int number(const kb::Table& t, const char* name) {
    return t.field(QLatin1String(name)).toInt();
}

void readObjects(kb::Table t, KeyTables& tables) {
    t.setIndex(QStringLiteral("Objet"));
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        ObjectRow o;
        o.key = text(t, "Objet");
        o.rows = number(t, "Lignes");
        o.columns = number(t, "Colonnes");
        o.firstState = number(t, "Index_Car");
        o.stateCount = number(t, "Nb_Car");
        o.descriptor = number(t, "Desc_Num");
        o.frame = number(t, "Cadre");
        o.tipText = text(t, "TipText");
        o.picture = text(t, "Popup");
        o.joker = t.field(QStringLiteral("Joker")).toBool();
        tables.objects.push_back(o);
    }
}

void readVariants(kb::Table t, int constraintCount, KeyTables& tables) {
    t.setIndex(QStringLiteral("PrimaryKey"));
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        VariantRow v;
        v.drawing = number(t, "Robot_Num");
        v.name = text(t, "Nom");
        for (int i = 0; i < constraintCount; ++i) {
            const QString name = QStringLiteral("C_") + QString::number(i);
            Condition c;
            c.missing = !t.hasField(name);
            c.code = t.field(name).toString();
            v.conditions.push_back(c);
        }
        tables.variants.push_back(v);
    }
}

void readCharacters(kb::Table t, KeyTables& tables) {
    t.setIndex(QStringLiteral("PrimaryKey"));
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        bool ok = false;
        const int state = t.field(QStringLiteral("NUM")).toInt(&ok);
        if (!ok) continue;
        tables.addCharacter(text(t, "ID_CARAC"), state);
        if (!tables.stateTexts.contains(state)) tables.stateTexts.insert(state, text(t, "TipText"));
    }
}

// Only the rows keyed 1 .. row count are ever looked at, in that order.
void readDependencies(kb::Table t, KeyTables& tables) {
    const int n = t.recordCount();
    for (int p = 1; p <= n; ++p) {
        if (t.seek(p)) tables.dependencies.push_back({text(t, "ID_CARAC"), text(t, "Objet")});
    }
}

// Rows are found by Seek on the object key, so every key that can be asked for is tried:
// the objects and the keys of the character-toolbar buttons.
void readContradictions(kb::Table t, KeyTables& tables) {
    QStringList keys;
    for (const ObjectRow& o : tables.objects) keys << o.key;
    for (const auto& b : tables.deterButtons)
        if (b) keys << b->key;
    for (const QString& key : keys) {
        if (tables.contradictions.contains(KeyTables::fold(key)) || !t.seek(key)) continue;
        bool ok = false;
        const int button = t.field(QStringLiteral("Bouton")).toInt(&ok);
        tables.contradictions.insert(KeyTables::fold(key),
                                     ContradictionRow{ok ? button : 0, text(t, "Popup")});
    }
}

// Only questions of "Objets_Fic" are grouped; a row without a group name is left out.
void readGroups(kb::Table t, KeyTables& tables) {
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const QString key = text(t, "Objet"), group = text(t, "Groupe");
        if (key.isEmpty() || group.isEmpty()) continue;
        tables.groups.insert(KeyTables::fold(key), GroupRow{group, number(t, "Ordre")});
    }
}

void readButtons(kb::Table t, int count, KeyTables& tables) {
    for (int k = 1; k <= count; ++k) {
        if (t.seek(k))
            tables.deterButtons.push_back(
                ButtonRow{text(t, "Key"), text(t, "File"), text(t, "Caption"), text(t, "TipText")});
        else
            tables.deterButtons.push_back(std::nullopt);
    }
}

}  // namespace

KeyTables KeyTables::fromModel(kb::Model& model, QString* errorString) {
    KeyTables tables;
    QStringList missing;
    readObjects(model.ObjectTable, tables);
    readVariants(model.HierarchyTable, model.ConstraintCount, tables);
    readCharacters(model.CharacterTable, tables);
    const auto open = [&](const QString& name) {
        kb::Table t = model.KnowledgeBase.openTable(name);
        if (!t.isValid()) missing << name;
        return t;
    };
    if (kb::Table t = open(QStringLiteral("Descendance")); t.isValid()) readDependencies(t, tables);
    if (kb::Table t = open(QStringLiteral("But_Deter")); t.isValid())
        readButtons(t, model.DeterButtonCount, tables);
    if (kb::Table t = open(QStringLiteral("Contradictions")); t.isValid())
        readContradictions(t, tables);
    // A base without groups lists its questions flat; the table is not missed.
    if (model.KnowledgeBase.hasTable(QStringLiteral("Groupes")))
        readGroups(model.KnowledgeBase.openTable(QStringLiteral("Groupes")), tables);
    tables.measures = kb::Measures::read(model.KnowledgeBase);
    tables.index();
    if (const auto record = kb::UncodedRecord::read(model.KnowledgeBase))
        tables.uncoded = UncodedAnswers::resolve(*record, model.SpeciesName, tables);
    if (errorString)
        *errorString = missing.isEmpty() ? QString()
                                         : QStringLiteral("missing tables: ") + missing.join(u", ");
    return tables;
}

}  // namespace engine
