#include "authoring/evaluation/dichotomouskey.h"
#include "authoring/evaluation/keymatrix.h"
#include "support/importdatasets.h"
#include "support/testkb.h"
#include "support/toolrun.h"

#include "kb/loader.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <numeric>

using testing_support::ToolRun;

namespace {

ToolRun vkb(const QStringList& args) {
    return testing_support::runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A compiled knowledge base loaded as the program loads it.
struct LoadedBase {
    kb::Model model;
    engine::KeyTables tables;
    bool load(const QString& dir) {
        kb::LoadOptions options;
        options.dataDir = dir + "/";
        options.databaseName = "vireka.db";
        options.text = [](int) { return std::optional<QString>(QStringLiteral("x")); };
        if (!kb::loadKnowledgeBase(model, options).ok()) return false;
        tables = engine::KeyTables::fromModel(model);
        return true;
    }
};

// Every species, following the key with its own states, ends only where it is named; the
// figures printed agree with the couplets.
void walkEverySpecies(const QString& dir, int* couplets = nullptr, double* meanPath = nullptr) {
    LoadedBase base;
    ASSERT_TRUE(base.load(dir)) << dir.toStdString();
    const authoring::KeyMatrix m(base.model, base.tables);
    const authoring::DichotomousKey key = authoring::buildDichotomousKey(m);
    ASSERT_GE(m.speciesCount(), 2);
    ASSERT_FALSE(key.couplets.empty());
    for (int s = 0; s < m.speciesCount(); ++s) {
        const auto endings = authoring::followKey(key, m, s);
        ASSERT_FALSE(endings.empty()) << m.speciesName(s).toStdString();
        for (const auto& ending : endings)
            EXPECT_NE(std::find(ending.begin(), ending.end(), s), ending.end())
                << m.speciesName(s).toStdString() << " ends elsewhere";
    }
    // Each couplet is reached from the one it names, and every lead goes somewhere.
    for (const auto& c : key.couplets) {
        for (const auto& lead : c.leads) {
            EXPECT_EQ(lead.next == 0, !lead.species.empty());
            if (lead.next) {
                EXPECT_EQ(key.couplets[size_t(lead.next - 1)].from, c.number);
            }
        }
    }
    EXPECT_LE(key.maxPath, int(key.couplets.size()));
    if (couplets) *couplets = int(key.couplets.size());
    if (meanPath) *meanPath = key.meanPath;
}

TEST(GeneratedKey, EverySpeciesOfTheDemoEndsAtItselfAndTheKeyIsTheSameEachTime) {
    int couplets = 0;
    double mean = 0;
    walkEverySpecies(QStringLiteral(VIREKA_DEMO_KB), &couplets, &mean);
    // 49 species: at least 48 couplets' worth of endings, not worse than a linear key.
    EXPECT_GT(couplets, 30);
    EXPECT_LT(mean, 10.0);

    QTemporaryDir dir;
    for (const char* format : {"text", "html", "pdf"}) {
        const QString a = dir.path() + "/a." + format, b = dir.path() + "/b." + format;
        for (const QString& out : {a, b}) {
            const ToolRun r =
                vkb({"key", VIREKA_DEMO_KB, out, "--format", format, "--date", "2026-01-02"});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        }
        EXPECT_FALSE(bytes(a).isEmpty());
        EXPECT_EQ(bytes(a), bytes(b)) << format;
    }
    const QString text = QString::fromUtf8(bytes(dir.path() + "/a.text"));
    EXPECT_TRUE(
        text.startsWith("Key to the species: Dragonflies and Damselflies of Europe\n"
                        "2026-01-02\n49 species, "))
        << text.left(200).toStdString();
    EXPECT_TRUE(text.contains("\n2(1).   ")) << text.toStdString();
    EXPECT_TRUE(text.contains("(Aeshnidae)\n"));
    EXPECT_TRUE(bytes(dir.path() + "/a.pdf").startsWith("%PDF"));
    EXPECT_TRUE(bytes(dir.path() + "/a.pdf").contains("/CreationDate (D:20260102000000"));
}

TEST(GeneratedKey, EverySpeciesOfImportedDatasetsEndsAtItself) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.path() + "/grasses");
    testing_support::writeDeltaOdd(dir.path() + "/odd");
    testing_support::writeSddViolets(dir.path() + "/violets");
    const struct {
        QStringList args;
    } imports[] = {{{"import", "delta", dir.path() + "/grasses", dir.path() + "/g"}},
                   {{"import", "delta", dir.path() + "/odd", dir.path() + "/o"}},
                   {{"import", "sdd", dir.path() + "/violets/violets.sdd.xml", dir.path() + "/v"}}};
    for (const auto& i : imports) {
        const ToolRun r = vkb(i.args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        SCOPED_TRACE(i.args.last().toStdString());
        walkEverySpecies(i.args.last());
        const ToolRun key =
            vkb({"key", i.args.last(), dir.path() + "/key.txt", "--date", "2026-01-02"});
        EXPECT_EQ(key.exitCode, 0) << key.err.toStdString();
        EXPECT_TRUE(key.out.contains(" couplets, path length mean ")) << key.out.toStdString();
    }
}

// A base check refuses is refused by every command that reads one, with the check's
// findings, and a folder that holds no base at all is refused too.
TEST(GeneratedKey, CommandsRefuseABaseCheckRefuses) {
    testing_support::TestKb kb;
    kb.write();
    kb.exec("DELETE FROM Caracteres WHERE NUM = 3");
    kb.writeFile("setup.ini", "[General]\nbase=" + kb.databaseName().toUtf8() +
                                  "\ndescriptors=.\ndrawings=.\ndocuments=.\n");
    QTemporaryDir out;
    const QString empty = out.path() + "/empty";
    QDir().mkpath(empty);
    for (const QStringList& args :
         {QStringList{"evaluate", kb.dataDir()},
          QStringList{"key", kb.dataDir(), out.path() + "/k.html"}, QStringList{"evaluate", empty},
          QStringList{"key", empty, out.path() + "/k.html"}}) {
        const ToolRun r = vkb(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString() << r.out.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_TRUE(vkb({"evaluate", kb.dataDir()}).err.contains("Caracteres"));
    EXPECT_FALSE(QFile::exists(out.path() + "/k.html"));
    EXPECT_EQ(vkb({"key", kb.dataDir()}).exitCode, 2);
    EXPECT_EQ(vkb({"key", kb.dataDir(), "x", "--format", "doc"}).exitCode, 2);
}

}  // namespace

namespace {

TEST(GeneratedKey, CompareOfTwoDemoSpeciesPrintsWhereTheyDiffer) {
    ToolRun r = vkb({"compare", VIREKA_DEMO_KB, "AESCY", "aesmi"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.startsWith("Aeshna cyanea (AESCY)\nAeshna mixta (AESMI)\n\n"
                         "Questions where they differ: 4\n"))
        << r.out.toStdString();
    EXPECT_TRUE(
        r.out.contains("THORAX \"Pattern of the thorax\" (separates them)\n"
                       "  * Aeshna cyanea: Pale stripes on top\n"));
    EXPECT_FALSE(r.out.contains("Questions where they agree"));
    r = vkb({"compare", VIREKA_DEMO_KB, "AESCY", "AESMI", "--all"});
    EXPECT_TRUE(r.out.contains("Questions where they agree: 19\n")) << r.out.toStdString();
    EXPECT_EQ(vkb({"compare", VIREKA_DEMO_KB, "AESCY"}).exitCode, 2);
    EXPECT_EQ(vkb({"compare", VIREKA_DEMO_KB, "A", "B", "C", "D", "E", "F"}).exitCode, 2);
    r = vkb({"compare", VIREKA_DEMO_KB, "AESCY", "NOSUCH"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("no species has the code 'NOSUCH'"));
}

}  // namespace

namespace {

TEST(GeneratedKey, EvaluateOnTheDemoNamesItsInseparablePairAndTheEffort) {
    ToolRun r = vkb({"evaluate", VIREKA_DEMO_KB});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains("Taxa the key cannot separate: 1\n"
                       "  Erythromma najas (ERYNA), Erythromma viridulum (ERYVI)\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("  species simulated: 49 of 49\n"));
    EXPECT_TRUE(r.out.contains("  lower bound log2(species): 5.61\n"));
    QTemporaryDir dir;
    const QString page = dir.path() + "/evaluation.html";
    r = vkb({"evaluate", VIREKA_DEMO_KB, "--html", page});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString html = QString::fromUtf8(bytes(page));
    EXPECT_TRUE(html.contains("<h2>Taxa the key cannot separate (1)</h2>"));
    EXPECT_TRUE(html.contains("<li>Erythromma najas (ERYNA), Erythromma viridulum (ERYVI)"));
    EXPECT_EQ(vkb({"evaluate", VIREKA_DEMO_KB, "--simulate", "0"}).exitCode, 2);
}

}  // namespace

namespace {

// The commands that read a whole base name its questions and states in the language asked
// for where the base's "Textes" gives them, as rank and best do; what they find never changes.
TEST(GeneratedKey, EvaluateKeyAndCompareSpeakTheLanguageAskedFor) {
    const ToolRun english = vkb({"compare", VIREKA_DEMO_KB, "AESCY", "AESMI", "--all"});
    ToolRun r = vkb({"compare", VIREKA_DEMO_KB, "AESCY", "AESMI", "--all", "--language", "fr"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains("THORAX \"Dessins du thorax\" (separates them)\n"
                       "  * Aeshna cyanea: Bandes claires sur le dessus\n"))
        << r.out.toStdString();
    EXPECT_EQ(r.out.count('\n'), english.out.count('\n'));
    // A language the base does not give: its own texts.
    EXPECT_EQ(vkb({"compare", VIREKA_DEMO_KB, "AESCY", "AESMI", "--all", "--language", "de"}).out,
              english.out);
    EXPECT_EQ(vkb({"compare", VIREKA_DEMO_KB, "AESCY", "AESMI", "--language"}).exitCode, 2);

    QTemporaryDir dir;
    const QString en = dir.filePath("en.txt"), es = dir.filePath("es.txt");
    ASSERT_EQ(vkb({"key", VIREKA_DEMO_KB, en, "--date", "2026-01-02"}).exitCode, 0);
    r = vkb({"key", VIREKA_DEMO_KB, es, "--date", "2026-01-02", "--language", "es"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString spanish = QString::fromUtf8(bytes(es)), own = QString::fromUtf8(bytes(en));
    EXPECT_TRUE(spanish.contains("Libélulas")) << spanish.left(300).toStdString();
    EXPECT_TRUE(spanish.contains("Diseño del tórax") || spanish.contains("Suborden"))
        << spanish.toStdString();
    EXPECT_EQ(spanish.count('\n'), own.count('\n')) << "the same couplets";
    EXPECT_EQ(vkb({"key", VIREKA_DEMO_KB, es, "--language", ""}).exitCode, 2);

    r = vkb({"evaluate", VIREKA_DEMO_KB, "--language", "fr"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const ToolRun plain = vkb({"evaluate", VIREKA_DEMO_KB});
    EXPECT_NE(r.out, plain.out);
    EXPECT_TRUE(r.out.contains("Taxa the key cannot separate: 1\n"));
    EXPECT_EQ(r.out.count('\n'), plain.out.count('\n'));
}

// The score of splitting `group` by question q, worked out the plain way: states shown
// together by a coded species fall in one part; the parts, largest first, go to the lead
// holding fewer species. -1 when the question does not split the group.
double plainScore(const authoring::KeyMatrix& m, int q, const std::vector<int>& group,
                  double heaviest) {
    const int k = m.question(q).stateCount;
    if (k < 2) return -1;
    std::vector<int> part(size_t(k), 0);
    std::iota(part.begin(), part.end(), 0);
    std::vector<int> firstState(group.size(), -1);
    std::vector<std::uint64_t> words(size_t(m.words(q)));
    for (size_t i = 0; i < group.size(); ++i) {
        if (!m.coded(q, group[i])) continue;
        m.states(q, group[i], words.data());
        for (int l = 0; l < k; ++l) {
            if (!(words[size_t(l / 64)] >> (l % 64) & 1)) continue;
            if (firstState[i] < 0) {
                firstState[i] = l;
                continue;
            }
            const int from = part[size_t(l)], to = part[size_t(firstState[i])];
            for (int& p : part)
                if (p == from) p = to;
        }
    }
    std::vector<int> count(size_t(k), 0);
    for (const int l : firstState)
        if (l >= 0) ++count[size_t(part[size_t(l)])];
    std::sort(count.rbegin(), count.rend());
    if (count.size() < 2 || count[1] == 0) return -1;
    int size[2] = {0, 0};
    for (const int c : count) size[size[0] <= size[1] ? 0 : 1] += c;
    const double coded = size[0] + size[1], p = size[0] / coded;
    const double evenness = -(p * std::log2(p) + (1 - p) * std::log2(1 - p));
    const double weight = heaviest > 0 ? m.questionWeight(q) / heaviest : 1.0;
    return weight * (coded / double(group.size())) * evenness;
}

// Every couplet asks the question that scores best on the species that reach it (questions
// the search may propose first, the first in key order on a tie), and every ending holds
// species no question splits.
void expectEachCoupletAsksTheBestQuestion(const QString& dir) {
    LoadedBase base;
    ASSERT_TRUE(base.load(dir)) << dir.toStdString();
    const authoring::KeyMatrix m(base.model, base.tables);
    const authoring::DichotomousKey key = authoring::buildDichotomousKey(m);
    ASSERT_FALSE(key.couplets.empty());
    double heaviest = 0;
    for (int q = 0; q < m.questionCount(); ++q) heaviest = std::max(heaviest, m.questionWeight(q));
    std::vector<int> all(size_t(m.speciesCount()));
    std::iota(all.begin(), all.end(), 0);
    std::vector<std::pair<int, std::vector<int>>> todo{{1, all}};
    int endings = 0;
    while (!todo.empty()) {
        const auto [number, group] = todo.back();
        todo.pop_back();
        const authoring::Couplet& c = key.couplets[size_t(number - 1)];
        std::vector<double> scores;
        for (int q = 0; q < m.questionCount(); ++q)
            scores.push_back(plainScore(m, q, group, heaviest));
        const auto best = [&](bool proposable) {
            int chosen = -1;
            for (int q = 0; q < m.questionCount(); ++q)
                if (m.proposable(q) == proposable && scores[size_t(q)] >= 0 &&
                    (chosen < 0 || scores[size_t(q)] > scores[size_t(chosen)] + 1e-12))
                    chosen = q;
            return chosen;
        };
        const int expected = best(true) >= 0 ? best(true) : best(false);
        ASSERT_EQ(c.question, expected)
            << "couplet " << number << " of " << group.size() << " species";
        for (const authoring::KeyLead& lead : c.leads) {
            std::vector<int> below;
            for (const int sp : group)
                if (!m.coded(c.question, sp) ||
                    std::any_of(lead.states.begin(), lead.states.end(),
                                [&](int s) { return m.model().matrix(sp, s) != 0; }))
                    below.push_back(sp);
            if (lead.next) {
                todo.push_back({lead.next, below});
                continue;
            }
            ++endings;
            ASSERT_EQ(lead.species, below) << "couplet " << number;
            for (int q = 0; below.size() > 1 && q < m.questionCount(); ++q)
                EXPECT_LT(plainScore(m, q, below, heaviest), 0) << "couplet " << number;
        }
    }
    EXPECT_GT(endings, 0);
}

TEST(GeneratedKey, EachCoupletAsksTheBestQuestionOnItsSpecies) {
    expectEachCoupletAsksTheBestQuestion(QStringLiteral(VIREKA_DEMO_KB));
    // A synthetic base whose states weigh from 1 to 5, so that weights and evenness both
    // decide, over groups of every size.
    QTemporaryDir dir;
    const QString kb = dir.path() + "/kb";
    const ToolRun r = vkb({"synth", kb, "--species", "600", "--states", "240", "--questions", "80",
                           "--zones", "100"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile weights(kb + "/POIDS.DAT");
    ASSERT_TRUE(weights.open(QIODevice::ReadWrite));
    QByteArray w = weights.readAll();
    std::uint32_t seed = 7;
    for (qsizetype i = 0; i + 1 < w.size(); i += 2) {
        seed = seed * 1664525u + 1013904223u;
        w[i] = char(1 + (seed >> 24) % 5);
        w[i + 1] = 0;
    }
    weights.seek(0);
    ASSERT_EQ(weights.write(w), w.size());
    weights.close();
    expectEachCoupletAsksTheBestQuestion(kb);
}

}  // namespace
