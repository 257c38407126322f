#include "engine/keytables.h"
#include "engine/ranking.h"
#include "kb/basetexts.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "support/importdatasets.h"
#include "support/sdddatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <limits>
#include <map>

namespace {

using testing_support::runTool;
using testing_support::ToolRun;

ToolRun vkb(const QStringList& args) {
    return runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A compiled base read as a person sees it: species by name, questions by their text, states
// by their label, and what each species shows in those words.
struct BaseView {
    struct Question {
        QString text, group;
        QStringList states;
        QStringList conditions;               // "question text / state label"
        bool measured = false;                // answered by a number ("Mesures")
        QList<QPair<double, double>> ranges;  // of a measured question, open ends infinite
    };
    QStringList species;  // "Flore" order
    QList<Question> questions;
    // species -> question text -> labels shown
    std::map<QString, std::map<QString, QSet<QString>>> shows;
    QHash<QString, int> stateNumber;  // "question text / state label"
    // The texts in other languages, in words: "fr | State | Wings / Clear | Hyalines".
    QStringList translations;
    // species -> "language: name", sorted
    std::map<QString, QStringList> commonNames;
    kb::Model model;
};

// What "Textes" says, each row named by the words it translates rather than by keys, which
// an import may choose anew (the states of a measured question).
void readTranslations(BaseView& view, const engine::KeyTables& tables,
                      const QHash<QString, QString>& wordsOfCode) {
    const kb::BaseTexts texts = kb::BaseTexts::load(view.model.KnowledgeBase);
    QHash<QString, QString> questionText;  // folded key -> text
    for (const engine::ObjectRow& o : tables.objects)
        questionText.insert(o.key.toCaseFolded(), o.tipText);
    QSet<QString> seen;
    for (const kb::BaseTexts::Row& row : texts.rows()) {
        const auto kind = kb::BaseTexts::kindOf(row.kind);
        if (!kind) continue;
        QString words;
        switch (*kind) {
            case kb::BaseTexts::Kind::Question:
                words = questionText.value(row.key.toCaseFolded());
                break;
            case kb::BaseTexts::Kind::State:
                words = wordsOfCode.value(row.key.toCaseFolded());
                break;
            case kb::BaseTexts::Kind::Group:
            case kb::BaseTexts::Kind::Title:
                words = row.key;
                break;
            default:
                continue;  // toolbars and units are the base's own, not the dataset's
        }
        const QString line =
            QStringList{row.language, row.kind, words, row.text}.join(QStringLiteral(" | "));
        const QString slot = row.language + row.kind + row.key.toCaseFolded();
        if (!seen.contains(slot)) seen.insert(slot), view.translations << line;
    }
    view.translations.sort();
}

void readCommonNames(BaseView& view) {
    kb::Table t = view.model.FloraTable;
    t.setIndex(QStringLiteral("PrimaryKey"));
    QStringList columns;
    for (const QString& f : t.fieldNames())
        if (f.startsWith(QStringLiteral("Commun_"))) columns << f;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        QStringList names;
        for (const QString& c : columns)
            if (const QString n = t.field(c).toString(); !n.isEmpty())
                names << c.mid(7).toLower() + ": " + n;
        names.sort();
        if (!names.isEmpty())
            view.commonNames[t.field(QStringLiteral("Espece")).toString()] = names;
    }
}

bool load(const QString& folder, BaseView& view) {
    kb::LoadOptions options;
    options.dataDir = folder + QLatin1Char('/');
    options.databaseName = QStringLiteral("vireka.db");
    if (!kb::loadKnowledgeBase(view.model, options).ok()) return false;
    const engine::KeyTables tables = engine::KeyTables::fromModel(view.model);
    std::vector<engine::ObjectRow> objects = tables.objects;
    std::sort(objects.begin(), objects.end(),
              [](const auto& a, const auto& b) { return a.descriptor < b.descriptor; });
    QHash<QString, QString> wordsOfCode;  // folded state code -> "question / label"
    for (const engine::ObjectRow& o : objects) {
        BaseView::Question q;
        q.text = o.tipText;
        q.group = tables.groups.value(engine::KeyTables::fold(o.key)).group;
        if (const kb::Measure* m = tables.measures.of(o.key)) {
            q.measured = true;
            constexpr double open = std::numeric_limits<double>::infinity();
            for (const kb::MeasureRange& r : m->ranges)
                q.ranges << qMakePair(r.low.value_or(-open), r.high.value_or(open));
        }
        for (int k = 0; k < o.stateCount; ++k) {
            const int n = o.firstState + k;
            q.states << tables.stateTexts.value(n);
            view.stateNumber.insert(q.text + " / " + q.states.last(), n);
            wordsOfCode.insert(tables.codeOfState(n).value_or(QString()).toCaseFolded(),
                               q.text + " / " + q.states.last());
        }
        view.questions << q;
    }
    for (const engine::DependencyRow& d : tables.dependencies)
        for (int i = 0; i < int(objects.size()); ++i)
            if (objects[size_t(i)].key.compare(d.objectKey, Qt::CaseInsensitive) == 0)
                view.questions[i].conditions << wordsOfCode.value(d.parentCode.toCaseFolded());
    for (BaseView::Question& q : view.questions) q.conditions.sort();
    readTranslations(view, tables, wordsOfCode);
    readCommonNames(view);
    for (int s = 0; s < view.model.SpeciesCount; ++s) {
        view.species << view.model.SpeciesName[size_t(s)];
        for (const BaseView::Question& q : view.questions)
            for (const QString& label : q.states)
                if (view.model.matrix(s, view.stateNumber.value(q.text + " / " + label)))
                    view.shows[view.species.last()][q.text].insert(label);
    }
    return true;
}

// The percentage species `name` reaches when every state of `keys` is chosen.
std::int64_t percentOf(BaseView& view, const QString& name, const QList<int>& states) {
    engine::IdentificationState state;
    state.reset(view.model);
    for (int n : states) state.StateChoice[size_t(n)] = 1;
    engine::Calcule_Scores(view.model, state);
    engine::Trie_Scores(state);
    engine::Calcule_Pourcentages(view.model, state);
    const int species = int(view.species.indexOf(name));
    for (size_t r = 0; r < state.RankTable.species.size(); ++r)
        if (state.RankTable.species[r] == species) return state.RankPercent[r];
    return -1;
}

// Exports `base`, imports the file again and checks that the second base has the species,
// questions, groups, states and dependencies of the first, each species showing the same
// states; the same texts in every other language and the same common names; every species
// described by its own states ranks itself at 100 % in it.
void expectRoundTrip(const QString& base, const QString& work) {
    const QString file = work + "/export.sdd.xml", again = work + "/again";
    const ToolRun exported = vkb({"export", "sdd", base, file});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const ToolRun imported = vkb({"import", "sdd", file, again});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    BaseView before, after;
    ASSERT_TRUE(load(base, before));
    ASSERT_TRUE(load(again, after));
    QStringList a = before.species, b = after.species;
    a.sort(), b.sort();
    EXPECT_EQ(a, b);
    ASSERT_EQ(before.questions.size(), after.questions.size());
    for (qsizetype i = 0; i < before.questions.size(); ++i) {
        const auto &q = before.questions[i], &r = after.questions[i];
        EXPECT_EQ(q.text, r.text);
        EXPECT_EQ(q.group, r.group) << q.text.toStdString();
        EXPECT_EQ(q.conditions, r.conditions) << q.text.toStdString();
        // A measured question travels as a quantitative character whose mappings give its
        // ranges, each mapped to a state that keeps the base's words.
        EXPECT_EQ(q.measured, r.measured) << q.text.toStdString();
        if (q.measured) {
            EXPECT_EQ(q.ranges, r.ranges) << q.text.toStdString();
        }
        EXPECT_EQ(q.states, r.states) << q.text.toStdString();
    }
    EXPECT_EQ(before.translations, after.translations);
    EXPECT_EQ(before.commonNames, after.commonNames);
    QSet<QString> measured;
    for (const BaseView::Question& q : before.questions)
        if (q.measured) measured.insert(q.text);
    for (const QString& name : before.species) {
        auto categorical = [&measured](std::map<QString, QSet<QString>> shows) {
            for (const QString& q : measured) shows.erase(q);
            return shows;
        };
        EXPECT_EQ(categorical(before.shows[name]), categorical(after.shows[name]))
            << name.toStdString();
        QList<int> own;
        for (const auto& [question, labels] : before.shows[name]) {
            const BaseView::Question* q = nullptr;
            const BaseView::Question* r = nullptr;
            for (qsizetype i = 0; i < before.questions.size(); ++i)
                if (before.questions[i].text == question)
                    q = &before.questions[i], r = &after.questions[i];
            ASSERT_TRUE(q && r) << question.toStdString();
            // A measured state is the range of the same place in the question.
            for (const QString& label : labels)
                own << after.stateNumber.value(
                    question + " / " + r->states.value(q->states.indexOf(label)), -1);
        }
        ASSERT_FALSE(own.contains(-1)) << name.toStdString();
        EXPECT_EQ(percentOf(after, name, own), 100) << name.toStdString();
    }
}

QString build(const QString& source, const QString& out) {
    const ToolRun r = vkb({"build", "--no-page-pictures", source, out});
    return r.exitCode == 0 ? QString() : r.err;
}

TEST(SddExport, TheDemoGoesRoundTripWithThePicturesOfItsStates) {
    QTemporaryDir work;
    expectRoundTrip(QStringLiteral(VIREKA_DEMO_KB), work.path());
    // Every picture the file names lies in the folder beside it; the same base gives the
    // same file.
    const QByteArray first = bytes(work.path() + "/export.sdd.xml");
    QXmlStreamReader xml(first);
    int pictures = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("Source")) {
            const QString href = xml.attributes().value("href").toString();
            EXPECT_TRUE(href.startsWith("export.sdd_media/")) << href.toStdString();
            EXPECT_TRUE(QFileInfo(work.path() + "/" + href).isFile()) << href.toStdString();
            ++pictures;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(pictures, 40);
    ASSERT_EQ(vkb({"export", "sdd", VIREKA_DEMO_KB, work.path() + "/export.sdd.xml"}).exitCode, 0);
    EXPECT_EQ(bytes(work.path() + "/export.sdd.xml"), first);
}

TEST(SddExport, EveryImportedTestDatasetGoesRoundTrip) {
    using Writer = std::function<QString(const QString&)>;
    const auto sdd = [](void (*write)(const QString&), const char* name) {
        return Writer([write, name](const QString& folder) {
            write(folder);
            return folder + "/" + name;
        });
    };
    const QList<std::pair<QString, Writer>> datasets{
        {"delta", [](const QString& f) { return testing_support::writeDeltaGrasses(f), f; }},
        {"delta", [](const QString& f) { return testing_support::writeDeltaOdd(f), f; }},
        {"delta", [](const QString& f) { return testing_support::writeDeltaMountain(f), f; }},
        {"sdd", sdd(testing_support::writeSddViolets, "violets.sdd.xml")},
        {"sdd", sdd(testing_support::writeSddOdd, "odd.sdd.xml")},
        {"sdd", sdd(testing_support::writeSddMeasures, "measures.sdd.xml")},
        {"sdd", sdd(testing_support::writeSddFlora, "flora.sdd.xml")},
        {"sdd", Writer([](const QString& f) {
             testing_support::writeSddMany(f, 30);
             return f + "/many.sdd.xml";
         })},
    };
    for (const auto& [format, write] : datasets) {
        QTemporaryDir work;
        const QString input = write(work.path() + "/dataset");
        const ToolRun r = vkb({"import", format, input, work.path() + "/base"});
        ASSERT_EQ(r.exitCode, 0) << input.toStdString() << r.err.toStdString();
        SCOPED_TRACE(input.toStdString());
        expectRoundTrip(work.path() + "/base", work.path());
    }
    QTemporaryDir work;
    ASSERT_EQ(build(VIREKA_NODRAWING_SOURCE, work.path() + "/base"), QString());
    expectRoundTrip(work.path() + "/base", work.path());
}

// A small base whose texts hold what looks like markup, changed after the build the way a
// base written by another tool may be: a measurement table, an uncoded question.
const char* kBeetles = R"(title "Beetles <i>&amp;</i> bugs"
documents en
language en "English"
question LEN "Body length"
  group "Body"
  state L1 "less than 5 mm"
  state L2 "5 to less than 10 mm"
  state L3 "10 mm or more"
question COL "Colour <length> & \"hue\""
  group "Body"
  state C1 "Red"
  state C2 "Black"
question SPOTS "Spots"
  requires C1
  state S1 "Two"
  state S2 "Seven"
species AAAAA "Alpha one"
  family Carabidae
  common en "Red one"
  shows L1 C1 S1
species BBBBB "Beta two"
  family Carabidae
  shows L2 L3 C2
species CCCCC "Gamma three"
  family Silphidae
  shows L3 C1 S2
button deter "Search" key Search icon search
button question "Confirm" icon ok
button question "Cancel" icon cancel
button question "Skip" icon skip
)";

bool execute(const QString& database, const char* sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(database.toUtf8().constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// The elements named `name` of the document, each as its attributes and its text.
QList<std::pair<QXmlStreamAttributes, QString>> elements(const QByteArray& document,
                                                         const QString& name) {
    QList<std::pair<QXmlStreamAttributes, QString>> out;
    QXmlStreamReader xml(document);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name) {
            const QXmlStreamAttributes a = xml.attributes();
            out.append({a, xml.readElementText(QXmlStreamReader::IncludeChildElements)});
        }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return out;
}

TEST(SddExport, MeasuredQuestionsAreQuantitativeAndTextsStayText) {
    QTemporaryDir work;
    testing_support::writeFile(work.path() + "/source/kb.txt", kBeetles);
    const QString base = work.path() + "/base";
    ASSERT_EQ(build(work.path() + "/source", base), QString());
    ASSERT_TRUE(execute(base + "/vireka.db", R"(
        CREATE TABLE Mesures (ID_CARAC TEXT PRIMARY KEY COLLATE NOCASE, Objet TEXT, Unite TEXT,
                              Bas REAL, Haut REAL, Bas_Inclus INTEGER, Haut_Inclus INTEGER);
        INSERT INTO Mesures VALUES ('L1', 'LEN', 'mm', NULL, 5, 0, 0),
                                   ('L2', 'LEN', 'mm', 5, 10, -1, 0),
                                   ('L3', 'LEN', 'mm', 10, NULL, -1, 0);
        CREATE TABLE Non_Codes (Numero INTEGER PRIMARY KEY, Espece TEXT, Objet TEXT);
        INSERT INTO Non_Codes VALUES (1, 'Gamma three', 'COL');
        UPDATE Caracteres SET TipText = 'Red' || char(1) || ' <b>bold</b> &amp;' WHERE ID_CARAC = 'C1';
    )"));
    const QString file = work.path() + "/beetles.xml";
    const ToolRun r = vkb({"export", "sdd", base, file, "--language", "en-GB"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray xml = bytes(file);

    // The texts arrive as they are, markup and entities as words, control characters gone.
    const auto labels = elements(xml, "Label");
    QStringList texts;
    for (const auto& [attributes, text] : labels) texts << text;
    EXPECT_TRUE(texts.contains("Beetles <i>&amp;</i> bugs"));
    EXPECT_TRUE(texts.contains("Colour <length> & \"hue\""));
    EXPECT_TRUE(texts.contains("Red <b>bold</b> &amp;"));
    EXPECT_TRUE(elements(xml, "b").isEmpty());
    EXPECT_EQ(elements(xml, "Dataset").value(0).first.value("xml:lang"), u"en-GB");
    EXPECT_EQ(elements(xml, "Detail").value(0).second, "Red one");

    // The measured question: a unit and its ranges, open ends infinite; each taxon's values
    // reach past the open bounds by the widest closed state (5 mm).
    const auto quantitative = elements(xml, "QuantitativeCharacter");
    ASSERT_EQ(quantitative.size(), 1);
    EXPECT_EQ(quantitative[0].first.value("id"), u"LEN");
    QStringList ranges;
    for (const auto& [a, text] : elements(xml, "From"))
        ranges << a.value("lower").toString() + ".." + a.value("upper").toString();
    EXPECT_EQ(ranges, QStringList({"-INF..5", "5..10", "10..INF"}));
    QStringList measures;
    for (const auto& [a, text] : elements(xml, "Measure"))
        measures << a.value("type").toString() + "=" + a.value("value").toString();
    EXPECT_EQ(measures, QStringList({"Min=0", "Max=5", "Min=5", "Max=15", "Min=10", "Max=15"}));

    // Gamma leaves the colour uncoded: its description says nothing of it; Beta shows no
    // spots (its colour rules them out), so they do not apply to it.
    QStringList categorical;
    for (const auto& [a, text] : elements(xml, "Categorical"))
        categorical << a.value("ref").toString();
    EXPECT_EQ(categorical, QStringList({"COL", "SPOTS", "COL", "SPOTS", "SPOTS"}));
    EXPECT_EQ(elements(xml, "Status").size(), 1);
    QStringList rules;
    for (const auto& [a, text] : elements(xml, "OnlyApplicableIf")) rules << text.simplified();
    EXPECT_EQ(elements(xml, "OnlyApplicableIf").size(), 1);

    // Read back, the measured question asks a number again and each species still ranks
    // itself first.
    const ToolRun again = vkb({"import", "sdd", file, work.path() + "/again"});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    BaseView view;
    ASSERT_TRUE(load(work.path() + "/again", view));
    ASSERT_EQ(view.questions.size(), 3);
    EXPECT_EQ(view.questions[0].text, "Body length");
    EXPECT_TRUE(view.questions[0].states.join(' ').contains("mm"));
    EXPECT_EQ(view.shows["Gamma three"].count("Colour <length> & \"hue\""), 1u);
    EXPECT_EQ(view.shows["Gamma three"]["Colour <length> & \"hue\""].size(), 2);
    EXPECT_NE(view.shows["Alpha one"]["Body length"], view.shows["Gamma three"]["Body length"]);
    for (const QString& name : view.species) {
        QList<int> own;
        for (const auto& [question, shown] : view.shows[name])
            for (const QString& label : shown)
                own << view.stateNumber.value(question + " / " + label);
        EXPECT_EQ(percentOf(view, name, own), 100) << name.toStdString();
    }
}

// The beetles in English, Spanish and French: measured states worded by the author, groups,
// common names in two languages; a species without a length, another that codes nothing.
const char* kBeetlesTranslated = R"(title "Beetles"
documents en
language en "English"
language fr "French"
question LEN "Body length"
  group "Body"
  measure "mm"
  state L1 "Small, under 5 mm" range (,5)
  state L2 "Middling" range [5,10)
  state L3 "Large" range [10,)
question COL "Colour"
  group "Wing cases"
  state C1 "Red"
  state C2 "Black"
species AAAAA "Alpha one"
  family Carabidae
  common en "Red one"
  common fr "Le rouge"
  shows L1 C1
species BBBBB "Beta two"
  family Carabidae
  shows L2 L3 C2
species CCCCC "Gamma three"
  family Silphidae
  common fr "Le grand"
  shows L3 C1
species DDDDD "Delta four"
  family Silphidae
  shows C2
species EEEEE "Epsilon five"
  family Silphidae
  uncoded LEN COL
button deter "Search" key Search icon search
button question "Confirm" icon ok
button question "Cancel" icon cancel
button question "Skip" icon skip

texts fr
  title "Coléoptères"
  group "Body" "Corps"
  group "Wing cases" "Élytres"
  question LEN "Longueur du corps"
  state L1 "Petit, moins de 5 mm"
  state L2 "Moyen"
  state L3 "Grand"
  question COL "Couleur"
  state C1 "Rouge"
  state C2 "Noir"

texts es
  title "Escarabajos"
  group "Body" "Cuerpo"
  group "Wing cases" "Élitros"
  question LEN "Longitud del cuerpo"
  state L1 "Pequeño, menos de 5 mm"
  state L2 "Mediano"
  state L3 "Grande"
  question COL "Color"
  state C1 "Rojo"
  state C2 "Negro"
)";

TEST(SddExport, EveryLanguageOfTheBaseGoesRoundTrip) {
    QTemporaryDir work;
    testing_support::writeFile(work.path() + "/source/kb.txt", kBeetlesTranslated);
    const QString base = work.path() + "/base";
    ASSERT_EQ(build(work.path() + "/source", base), QString());
    expectRoundTrip(base, work.path());
    const QByteArray xml = bytes(work.path() + "/export.sdd.xml");

    // Each text in the base's language, then in each other language that gives it; a text
    // no other language gives has one label.
    QStringList labels;
    for (const auto& [a, text] : elements(xml, "Label"))
        labels << a.value("xml:lang").toString() + ":" + text;
    const auto after = [&labels](const QString& label) {
        const qsizetype at = labels.indexOf(label);
        return at < 0 ? QStringList() : labels.mid(at, 3);
    };
    EXPECT_EQ(after(":Beetles"), QStringList({":Beetles", "es:Escarabajos", "fr:Coléoptères"}));
    EXPECT_EQ(after(":Body"), QStringList({":Body", "es:Cuerpo", "fr:Corps"}));
    EXPECT_EQ(after(":Wing cases"), QStringList({":Wing cases", "es:Élitros", "fr:Élytres"}));
    EXPECT_EQ(after(":Red"), QStringList({":Red", "es:Rojo", "fr:Rouge"}));
    EXPECT_EQ(after(":Black"), QStringList({":Black", "es:Negro", "fr:Noir"}));

    // The measured states are the states of a concept, named by the mappings of the
    // quantitative character in the order of its ranges.
    QStringList conceptStates;
    for (const auto& [a, text] : elements(xml, "ConceptStates")) conceptStates << text.simplified();
    ASSERT_EQ(conceptStates.size(), 1);
    EXPECT_TRUE(conceptStates[0].startsWith("Small, under 5 mm Pequeño, menos de 5 mm Petit"))
        << conceptStates[0].toStdString();
    QStringList mapped;
    for (const auto& [a, text] : elements(xml, "ToState")) mapped << a.value("ref").toString();
    EXPECT_EQ(mapped, QStringList({"L1", "L2", "L3"}));

    // Common names are detail texts of the taxon names in their languages.
    QStringList details;
    for (const auto& [a, text] : elements(xml, "Detail"))
        details << a.value("xml:lang").toString() + ":" + text;
    EXPECT_EQ(details, QStringList({"en:Red one", "fr:Le rouge", "fr:Le grand"}));

    // Delta shows no length: the measured question does not apply to it, said as a
    // quantitative datum. Epsilon codes nothing, so its description has no summary, which
    // would have to hold at least one datum.
    QStringList data;
    for (const auto& [a, text] : elements(xml, "SummaryData")) data << text.simplified();
    EXPECT_EQ(data.size(), 4);
    QStringList quantitative;
    for (const auto& [a, text] : elements(xml, "Quantitative"))
        quantitative << a.value("ref").toString();
    EXPECT_EQ(quantitative, QStringList({"LEN", "LEN", "LEN", "LEN"}));
    for (const auto& [a, text] : elements(xml, "Categorical")) EXPECT_EQ(a.value("ref"), u"COL");
}

TEST(SddExport, AFailedExportLeavesWhatWasThere) {
    QTemporaryDir work;
    const QString file = work.path() + "/key.xml";
    testing_support::writeFile(file, "old");
    // Not a base: refused, the old file kept, no folder of pictures made.
    ToolRun r = vkb({"export", "sdd", work.path(), file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(bytes(file), "old");
    EXPECT_FALSE(QFileInfo::exists(work.path() + "/key_media"));
    // A folder of pictures that another export did not write is never replaced.
    testing_support::writeFile(work.path() + "/key_media/mine.txt", "mine");
    r = vkb({"export", "sdd", VIREKA_DEMO_KB, file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(bytes(file), "old");
    EXPECT_EQ(bytes(work.path() + "/key_media/mine.txt"), "mine");
    // Without pictures no folder is needed; the file is replaced whole.
    r = vkb({"export", "sdd", VIREKA_DEMO_KB, file, "--no-pictures"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(bytes(file).startsWith("<?xml"));
    EXPECT_TRUE(elements(bytes(file), "MediaObject").isEmpty());
    // A folder in the file's place, and bad arguments.
    QDir(work.path()).mkdir("folder.xml");
    EXPECT_EQ(vkb({"export", "sdd", VIREKA_DEMO_KB, work.path() + "/folder.xml"}).exitCode, 1);
    EXPECT_EQ(vkb({"export", "sdd", VIREKA_DEMO_KB}).exitCode, 2);
    EXPECT_EQ(vkb({"export", "sdd", VIREKA_DEMO_KB, file, "--language", "<x>"}).exitCode, 2);
}

}  // namespace
