// The exported web site, tried as a user would: the tool run as a real process on a real
// knowledge base, the site's engine run by Node on the files written, and its answers
// compared line by line with the desktop's (the tool's rank and best, and the desktop engine
// driven in this process through the same actions).
#include "engine/contradictions.h"
#include "engine/engine.h"
#include "engine/questionlist.h"
#include "kb/loader.h"
#include "platform/stringtable.h"
#include "support/scripteddialogs.h"
#include "support/sdddatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

using testing_support::runTool;
using testing_support::ToolRun;

namespace {

QString node() {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("node"));
    return found.isEmpty() ? QStringLiteral("/usr/bin/node") : found;
}

ToolRun vireka_kb(const QStringList& args) {
    return runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray qntBytes(const std::vector<qint16>& values) {
    QByteArray bytes;
    for (qint16 v : values) bytes.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return bytes;
}

// A compiled base and its site, made once per base for the whole suite.
struct Exported {
    std::unique_ptr<QTemporaryDir> dir;
    QString kb, site;
    ToolRun build, exported;
    int states = 0, frames = 0;

    bool ok() const { return build.exitCode == 0 && exported.exitCode == 0; }
    std::string why() const { return (build.err + exported.err).toStdString(); }
};

// The counts a description of the base has, read from the key data the site holds.
void readCounts(Exported& e) {
    const QByteArray key = readBytes(e.site + "/data/key.js").trimmed();
    const QByteArray prefix = "globalThis.VIREKA_KEY = ";
    const QJsonObject counts =
        QJsonDocument::fromJson(key.mid(prefix.size(), key.size() - prefix.size() - 1))
            .object()
            .value("counts")
            .toObject();
    e.states = counts.value("states").toInt();
    e.frames = counts.value("frames").toInt();
}

// Makes a base with vireka-kb (the arguments; "KB" stands for its folder), or takes the one
// given, and exports its site.
Exported exportFrom(const QStringList& makeBase, const QString& existing = QString()) {
    Exported e;
    e.dir = std::make_unique<QTemporaryDir>();
    e.kb = existing.isEmpty() ? e.dir->filePath("kb") : existing;
    e.site = e.dir->filePath("site");
    if (existing.isEmpty()) {
        QStringList args = makeBase;
        args.replaceInStrings(QRegularExpression("^KB$"), e.kb);
        e.build = vireka_kb(args);
    } else {
        e.build.exitCode = 0;
    }
    if (e.build.exitCode == 0) e.exported = vireka_kb({"export", "web", e.kb, e.site});
    if (e.ok()) readCounts(e);
    return e;
}

// Random descriptions: a few questions answered, now and then two states of one, frames
// answered at random, and some files shorter or longer than the base's descriptions.
QStringList writeDescriptions(const Exported& e, int count, quint32 seed) {
    QRandomGenerator random(seed);
    QStringList paths;
    QDir(e.dir->path()).mkpath("qnt");
    for (int n = 0; n < count; ++n) {
        std::vector<qint16> values(size_t(e.states + e.frames), 0);
        const int chosen = int(random.bounded(1 + std::min(e.states, 12)));
        for (int c = 0; c < chosen; ++c) values[random.bounded(e.states)] = 1;
        for (int f = 0; f < e.frames; ++f)
            values[size_t(e.states + f)] = random.bounded(2) ? -1 : 0;
        if (n % 17 == 5) values.resize(values.size() / 2);
        if (n % 23 == 7) values.push_back(1);
        const QString path = e.dir->filePath(QStringLiteral("qnt/%1.qnt").arg(n));
        writeBytes(path, qntBytes(values));
        paths << path;
    }
    return paths;
}

QString writeList(const Exported& e, const QStringList& paths) {
    const QString list = e.dir->filePath("list.txt");
    writeBytes(list, paths.join('\n').toUtf8() + '\n');
    return list;
}

// Runs the desktop's command and the site's on the same files; both must print exactly the
// same lines.
void expectSameOutput(const Exported& e, const QStringList& command, const QString& list) {
    const ToolRun desktop = vireka_kb(QStringList(command.first())
                                      << "--data" << e.kb << "--base"
                                      << "vireka.db" << command.mid(1) << "--qnt-list" << list);
    ASSERT_EQ(desktop.exitCode, 0) << desktop.err.toStdString();
    const ToolRun web =
        runTool(node(), QStringList{e.site + "/engine/cli.mjs"} << command << "--qnt-list" << list);
    ASSERT_EQ(web.exitCode, 0) << web.err.toStdString();
    const QStringList a = desktop.out.split('\n'), b = web.out.split('\n');
    ASSERT_GT(a.size(), 10);
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        ASSERT_EQ(a[i].toStdString(), b[i].toStdString()) << "line " << i;
    EXPECT_EQ(a.size(), b.size());
}

class DemoSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The demo the build compiled; only the site is written here.
        demo = new Exported(exportFrom({}, QStringLiteral(VIREKA_DEMO_KB)));
    }
    static void TearDownTestSuite() {
        delete demo;
        demo = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(demo->ok()) << demo->why(); }
    static Exported* demo;
};
Exported* DemoSite::demo = nullptr;

TEST_F(DemoSite, HoldsThePageTheEngineAndTheKeyData) {
    for (const char* file : {"index.html", "engine/vireka-engine.js", "engine/cli.mjs",
                             "player/index.html", "data/key.js", "data/assets.js"})
        EXPECT_TRUE(QFileInfo(demo->site + "/" + file).isFile()) << file;
    EXPECT_EQ(readBytes(demo->site + "/index.html"),
              readBytes(QStringLiteral(VIREKA_WEB_SOURCE) + "/player/index.html"));
    EXPECT_EQ(readBytes(demo->site + "/engine/vireka-engine.js"),
              readBytes(QStringLiteral(VIREKA_WEB_SOURCE) + "/engine/vireka-engine.js"));
    EXPECT_TRUE(readBytes(demo->site + "/data/key.js").startsWith("globalThis.VIREKA_KEY = {"));
    EXPECT_GT(demo->states, 20);
    // Nothing of the staging is left beside the site.
    EXPECT_EQ(
        QDir(demo->dir->path()).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot),
        (QStringList{"site"}));
}

TEST_F(DemoSite, RanksAndProposesRandomDescriptionsAsTheDesktop) {
    QStringList paths = writeDescriptions(*demo, 250, 17);
    // A file the desktop refuses is refused with the same message.
    std::vector<qint16> foreign(size_t(demo->states + demo->frames), 0);
    foreign[3] = 2;
    const QString bad = demo->dir->filePath("qnt/foreign.qnt");
    ASSERT_TRUE(writeBytes(bad, qntBytes(foreign)));
    paths.insert(1, bad);
    const QString list = writeList(*demo, paths);
    expectSameOutput(*demo, {"rank"}, list);
    expectSameOutput(*demo, {"rank", "--threshold", "40"}, list);
    expectSameOutput(*demo, {"best", "--scores"}, list);
    // In another language: the legend, the messages and the question proposed in its words;
    // a language the base does not give falls back to its own texts.
    expectSameOutput(*demo, {"rank", "--language", "fr"}, list);
    expectSameOutput(*demo, {"best", "--language", "es"}, list);
    expectSameOutput(*demo, {"best", "--language", "FR", "--scores"}, list);
    expectSameOutput(*demo, {"best", "--language", "de"}, list);
    const ToolRun web = runTool(node(), {demo->site + "/engine/cli.mjs", "rank", "--qnt", bad});
    EXPECT_EQ(web.exitCode, 2);
    EXPECT_TRUE(web.err.contains(bad)) << web.err.toStdString();
}

bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& f : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + f.fileName();
        if (f.isDir() ? !copyFolder(f.filePath(), target) : !QFile::copy(f.filePath(), target))
            return false;
    }
    return true;
}

TEST_F(DemoSite, RefusesAnUnusableBaseAndLeavesAFolderThatIsNoSiteAlone) {
    QTemporaryDir dir;
    const QString kb = dir.filePath("kb"), out = dir.filePath("site");
    ASSERT_TRUE(copyFolder(demo->kb, kb));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(kb + "/vireka.db").constData(), &db), SQLITE_OK);
    const int changed = sqlite3_exec(
        db, "UPDATE Flore SET Famille = '' WHERE rowid = (SELECT MIN(rowid) FROM Flore)", nullptr,
        nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(changed, SQLITE_OK);
    ToolRun r = vireka_kb({"export", "web", kb, out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("has no family")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"kb"});

    // A folder that is not a site is left alone; an earlier site is replaced whole.
    const QString notes = dir.filePath("out/notes.txt");
    QDir().mkpath(dir.filePath("out"));
    ASSERT_TRUE(writeBytes(notes, "mine"));
    r = vireka_kb({"export", "web", demo->kb, dir.filePath("out")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("choose another output folder")) << r.err.toStdString();
    EXPECT_EQ(readBytes(notes), "mine");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out/data/key.js")));

    const QByteArray key = readBytes(demo->site + "/data/key.js");
    ASSERT_TRUE(writeBytes(demo->site + "/stale.txt", "old"));
    r = vireka_kb({"export", "web", demo->kb, demo->site});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(demo->site + "/stale.txt"));
    EXPECT_EQ(readBytes(demo->site + "/data/key.js"), key);
}

// A case of engine_checks.mjs, run on the site's own engine and key data.
void expectEngineCheck(const Exported& e, const QString& name) {
    const ToolRun r =
        runTool(node(), {QStringLiteral(VIREKA_WEB_TESTS) + "/engine_checks.mjs", e.site, name});
    EXPECT_EQ(r.exitCode, 0) << (r.out + r.err).toStdString();
}

TEST_F(DemoSite, EngineRefusesDamagedInputAndCountsExactly) {
    for (const char* name : {"percentages", "damagedKeyData", "matrixLayouts",
                             "identificationFiles", "links", "commandLineSafety"}) {
        SCOPED_TRACE(name);
        expectEngineCheck(*demo, name);
    }
}

// The desktop engine in this process, driven through the same actions as the site's.
class DesktopReplay {
public:
    explicit DesktopReplay(const QString& kb) : kb_(kb + "/") {
        strings_.loadBuiltIn();
        kb::LoadOptions options;
        options.dataDir = kb_;
        options.databaseName = "vireka.db";
        options.text = [this](int k) { return strings_.text(k, 0); };
        loaded_ = kb::loadKnowledgeBase(model_, options).ok();
        if (!loaded_) return;
        engine::EngineSettings settings;
        settings.DataDir = kb_;
        settings.DrawingDir = kb_ + "drawings/";
        engine_ = std::make_unique<engine::Engine>(
            model_, engine::KeyTables::fromModel(model_), dialogs_,
            [this](int k) { return strings_.text(k, 0); }, settings);
        engine_->Nettoye();
        refresh();
    }
    bool loaded() const { return loaded_; }

    QStringList run(const QStringList& actions) {
        state();
        for (const QString& line : actions) {
            const QStringList w = line.split(' ');
            out_ << "> " + line;
            if (w[0] == "answer") {
                engine_->openQuestion(w[1]);
                engine_->question().SelectedChoice = w[2].toInt();
                engine_->Valid_Descripteur();
                engine_->rememberDescription();
                refresh();
            } else if (w[0] == "withdraw") {
                const bool done = engine_->forgetAnswer(w[1]);
                out_ << QStringLiteral("withdrawn ") + (done ? "true" : "false");
                if (done) engine_->rememberDescription(), refresh();
            } else if (w[0] == "undo" || w[0] == "redo") {
                const bool done = w[0] == "undo" ? engine_->undo() : engine_->redo();
                out_ << (w[0] == "undo" ? "undone " : "redone ") + QString(done ? "true" : "false");
                if (done) refresh();
            } else if (w[0] == "clear") {
                engine_->Nettoye();
                engine_->rememberDescription();
                refresh();
                engine_->reloadJokerFlags(true);
            } else if (w[0] == "best" || w[0] == "skip") {
                dialogs_.answers.push_back(platform::Dialogs::Answer::No);
                engine::SearchOutcome outcome;
                if (w[0] == "skip") {
                    engine_->openQuestion(w[1]);
                    outcome = engine_->skipQuestion();
                } else {
                    engine_->discriminantScores();
                    outcome = engine_->Maitre_Discriminant();
                }
                dialogs_.answers.clear();
                static const char* names[] = {"onlyOne", "question", "nothingLeft", "retry"};
                const bool opened = outcome == engine::SearchOutcome::QuestionOpened;
                out_ << QStringLiteral("best %1 %2")
                            .arg(names[int(outcome)],
                                 opened ? engine_->question().CurrentObject : QString("-"));
            } else if (w[0] == "contra") {
                contradictions(w[1].toInt());
                continue;
            }
            state();
        }
        return out_;
    }

private:
    void refresh() {
        engine_->Actualise_Identification([](int, const QString&) { return true; });
    }

    void state() {
        const auto& s = engine_->state();
        QByteArray bytes =
            qntBytes(std::vector<qint16>(s.StateChoice.begin(), s.StateChoice.end()));
        bytes += qntBytes(std::vector<qint16>(s.FrameState.begin(), s.FrameState.end()));
        out_ << "qnt " + QString::fromLatin1(bytes.toHex());
        out_ << "list " + engine_->listLines().join('|');
        out_ << "legend " + engine_->legend();
        QStringList layers;
        const QString prefix = engine_->settings().DrawingDir.toUpper();
        for (const auto& layer : s.DrawingTable)
            layers << (layer.FileName.isEmpty() ? QString("-") : layer.FileName.mid(prefix.size()));
        out_ << "layers " + layers.join('|');
        QStringList sections;
        for (const auto& section : engine::questionSections(engine_->tables(), s)) {
            QStringList entries;
            for (const auto& e : section.entries)
                entries << e.key + (e.answered ? "*" + e.chosenTexts.join('+') : QString()) +
                               (e.askable ? "" : "!");
            sections << section.group + ":" + entries.join(',');
        }
        out_ << "questions " + sections.join(" / ");
    }

    void contradictions(int line) {
        const auto& tables = engine_->tables();
        QStringList answers, layers, buttons;
        for (const auto& a : engine::contradictedAnswers(model_, tables, engine_->state(),
                                                         engine_->speciesOfLine(line)))
            answers << tables.objects[size_t(a.object)].key + ":" + QString::number(a.state);
        const auto shown =
            engine_->Affiche_Contradictions(line, [](int, const QString&) { return true; });
        const QString prefix = engine_->settings().DrawingDir.toUpper();
        for (const auto& l : shown.addedLayers)
            layers << QString::number(l.layer) + "=" + l.path.toUpper().mid(prefix.size());
        for (int b : shown.contradictedButtons) buttons << QString::number(b);
        engine_->dropOverlays();
        out_ << "contra " + answers.join(',') + " layers " + layers.join(',') + " buttons " +
                    buttons.join(',');
    }

    QString kb_;
    platform::StringTable strings_;
    kb::Model model_;
    testing_support::ScriptedDialogs dialogs_;
    std::unique_ptr<engine::Engine> engine_;
    bool loaded_ = false;
    QStringList out_;
};

// Random actions on the questions of the base: answers (now and then a cell past the last
// state, or none), answers taken back, undo and redo, New, Search, skip and contradictions.
QStringList randomActions(const QString& kb, int count, quint32 seed) {
    kb::Model model;
    platform::StringTable strings;
    kb::LoadOptions options;
    options.dataDir = kb + "/";
    options.databaseName = "vireka.db";
    options.text = [&](int k) { return strings.text(k, 0); };
    if (!kb::loadKnowledgeBase(model, options).ok()) return {};
    const engine::KeyTables tables = engine::KeyTables::fromModel(model);
    QRandomGenerator random(seed);
    QStringList actions;
    for (int n = 0; n < count; ++n) {
        const auto& o = tables.objects[random.bounded(quint32(tables.objects.size()))];
        const quint32 pick = random.bounded(100);
        if (pick < 55)
            actions << QStringLiteral("answer %1 %2")
                           .arg(o.key)
                           .arg(int(random.bounded(quint32(o.stateCount + 2))) - 1);
        else if (pick < 65)
            actions << "withdraw " + o.key;
        else if (pick < 75)
            actions << "undo";
        else if (pick < 80)
            actions << "redo";
        else if (pick < 83)
            actions << "clear";
        else if (pick < 90)
            actions << "best";
        else if (pick < 94)
            actions << "skip " + o.key;
        else
            actions << QStringLiteral("contra %1").arg(random.bounded(5));
    }
    return actions;
}

void expectSameReplay(const Exported& e, int count, quint32 seed) {
    const QStringList actions = randomActions(e.kb, count, seed);
    ASSERT_EQ(actions.size(), count);
    const QString file = e.dir->filePath("actions.txt");
    ASSERT_TRUE(writeBytes(file, actions.join('\n').toUtf8()));
    DesktopReplay desktop(e.kb);
    ASSERT_TRUE(desktop.loaded());
    const QStringList expected = desktop.run(actions);
    const ToolRun web =
        runTool(node(), {QStringLiteral(VIREKA_WEB_TESTS) + "/replay.mjs", e.site, file});
    ASSERT_EQ(web.exitCode, 0) << web.err.toStdString();
    const QStringList got = web.out.split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::min(expected.size(), got.size()); ++i)
        ASSERT_EQ(expected[i].toStdString(), got[i].toStdString()) << "line " << i;
    EXPECT_EQ(expected.size(), got.size());
}

// The service worker's list and version, as the export writes them into sw.js.
QPair<QString, QStringList> workerOf(const QString& site) {
    const QString text = QString::fromUtf8(readBytes(site + "/sw.js"));
    const auto version = QRegularExpression("SITE_VERSION = \"([0-9a-f]+)\"").match(text);
    const auto files = QRegularExpression("SITE_FILES = (\\[[^\\]]*\\])").match(text);
    QStringList list;
    for (const QJsonValue& v : QJsonDocument::fromJson(files.captured(1).toUtf8()).array())
        list << v.toString();
    return {version.captured(1), list};
}

TEST_F(DemoSite, TheOfflineCopyListsTheSiteAndChangesWithIt) {
    const auto [version, files] = workerOf(demo->site);
    ASSERT_FALSE(version.isEmpty());
    // Every file of the site but the worker itself, so a first visit caches the whole key.
    QStringList onDisk;
    QDirIterator it(demo->site, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) onDisk << it.next().mid(demo->site.size() + 1);
    onDisk.removeAll("sw.js");
    onDisk.sort();
    QStringList listed = files;
    for (QString& f : listed) f = QUrl::fromPercentEncoding(f.toUtf8());
    EXPECT_EQ(listed, onDisk);
    const QJsonObject manifest =
        QJsonDocument::fromJson(readBytes(demo->site + "/manifest.webmanifest")).object();
    EXPECT_EQ(manifest.value("name").toString(), "Dragonflies and Damselflies of Europe");
    EXPECT_TRUE(QFileInfo(demo->site + "/media/icon-192.png").size() > 0);

    // The same base gives the same version; a changed document another one.
    QTemporaryDir dir;
    const QString kb = dir.filePath("kb");
    ASSERT_TRUE(copyFolder(demo->kb, kb));
    ASSERT_EQ(vireka_kb({"export", "web", kb, dir.filePath("same")}).exitCode, 0);
    EXPECT_EQ(workerOf(dir.filePath("same")).first, version);
    const QString page = kb + "/documents/a/aescy/aescy_en.html";
    const QByteArray text = readBytes(page);
    ASSERT_FALSE(text.isEmpty());
    ASSERT_TRUE(writeBytes(page, QByteArray(text).replace("</body>", "<p>Seen again.</p></body>")));
    ASSERT_EQ(vireka_kb({"export", "web", kb, dir.filePath("changed")}).exitCode, 0);
    EXPECT_NE(workerOf(dir.filePath("changed")).first, version);
}

TEST_F(DemoSite, AnswersUndoesAndDrawsAsTheDesktopEngine) {
    expectSameReplay(*demo, 300, 41);
}

TEST(WebExport, KeyWithoutDrawingWorksThroughItsQuestions) {
    const Exported e = exportFrom({"build", VIREKA_NODRAWING_SOURCE, "KB"});
    ASSERT_TRUE(e.ok()) << e.why();
    expectSameReplay(e, 120, 3);
    expectSameOutput(e, {"rank"}, writeList(e, writeDescriptions(e, 60, 8)));
}

TEST(WebExport, SyntheticBaseRanksAndProposesAsTheDesktop) {
    Exported e = exportFrom({"synth", "KB", "--species", "300", "--states", "160", "--questions",
                             "60", "--zones", "20"});
    ASSERT_TRUE(e.ok()) << e.why();
    const QString list = writeList(e, writeDescriptions(e, 150, 99));
    expectSameOutput(e, {"rank"}, list);
    expectSameOutput(e, {"best", "--scores"}, list);
    // Heavy weights: species score far past 16 bits. Both engines count exactly, so the
    // check and the export take the base, and the engines still agree.
    QByteArray weights;
    for (int s = 0; s < e.states; ++s) weights.append(qntBytes({qint16(1000 + 37 * (s % 50))}));
    ASSERT_TRUE(writeBytes(e.kb + "/POIDS.DAT", weights));
    const ToolRun checked = vireka_kb({"check", "--data", e.kb, "--base", "vireka.db"});
    EXPECT_EQ(checked.exitCode, 0) << checked.out.toStdString();
    e.exported = vireka_kb({"export", "web", e.kb, e.site});
    ASSERT_EQ(e.exported.exitCode, 0) << e.exported.err.toStdString();
    expectSameOutput(e, {"rank"}, list);
}

// Search counts a top of an eighth of the key or more over whole columns, in both engines:
// ties of 49 and 50 species out of 400 (either side of an eighth), half, all but one and all
// of them, over columns of one value, of values 0 to 3 and of values too far apart to be
// counted a word at a time; every question must score the same in both.
TEST(WebExport, SearchOnLargeTiesScoresAsTheDesktop) {
    constexpr int Species = 400;
    Exported e = exportFrom({"synth", "KB", "--species", QString::number(Species), "--states",
                             "160", "--questions", "40", "--zones", "20"});
    ASSERT_TRUE(e.ok()) << e.why();
    // MATRICE.DAT holds state by state the value of every species, two bytes each.
    QByteArray matrix = readBytes(e.kb + "/MATRICE.DAT");
    ASSERT_EQ(matrix.size(), 2 * Species * e.states);
    const auto set = [&](int state, int species, qint16 value) {
        matrix.replace(2 * (species + Species * state), 2, qntBytes({value}));
    };
    QRandomGenerator random(5);
    for (int s = 0; s < Species; ++s) {
        // States 0 to 3 (the first question) choose the leading species.
        set(0, s, s % 8 == 3);           // 50, an eighth
        set(1, s, s % 2);                // half
        set(2, s, s != 123);             // all but one
        set(3, s, s % 8 == 5 && s > 8);  // 49, just under an eighth
        set(4, s, 2);                    // one value throughout
        set(5, s, qint16(random.bounded(4)));
        set(6, s, qint16(random.bounded(4) * 9));  // too far apart for a few bit planes
        set(7, s, qint16(random.bounded(2) + 1));
    }
    ASSERT_TRUE(writeBytes(e.kb + "/MATRICE.DAT", matrix));
    e.exported = vireka_kb({"export", "web", e.kb, e.site});
    ASSERT_EQ(e.exported.exitCode, 0) << e.exported.err.toStdString();
    QStringList paths;
    for (const std::vector<int>& chosen : std::vector<std::vector<int>>{{}, {0}, {1}, {2}, {3}}) {
        std::vector<qint16> values(size_t(e.states + e.frames), 0);
        for (int state : chosen) values[size_t(state)] = 1;
        paths << e.dir->filePath(QStringLiteral("tie%1.qnt").arg(paths.size()));
        ASSERT_TRUE(writeBytes(paths.last(), qntBytes(values)));
    }
    expectSameOutput(e, {"best", "--scores"}, writeList(e, paths));
}

// An imported key of 400 questions: each species described by every state it shows scores
// far past what 16 bits held, and ranks itself at 100 % in both engines alike.
TEST(WebExport, AKeyOfManyQuestionsRanksEachSpeciesWholeInBothEngines) {
    QTemporaryDir data;
    testing_support::writeSddMany(data.path(), 400);
    const Exported e = exportFrom({"import", "sdd", data.path() + "/many.sdd.xml", "KB"});
    ASSERT_TRUE(e.ok()) << e.why();
    ASSERT_EQ(e.states, 800);
    QStringList paths;
    for (int t = 0; t < 6; ++t) {
        // The taxa of the dataset: the first shows both states of every character, the others
        // one of them, in turn (states in the characters' order, the first then the second).
        std::vector<qint16> values(size_t(e.states + e.frames), 0);
        for (int c = 1; c <= 400; ++c) {
            values[size_t(2 * (c - 1))] = t == 0 || (c + t) % 2 == 0;
            values[size_t(2 * (c - 1) + 1)] = t == 0 || (c + t) % 2 == 1;
        }
        paths << e.dir->filePath(QStringLiteral("species%1.qnt").arg(t + 1));
        ASSERT_TRUE(writeBytes(paths.last(), qntBytes(values)));
    }
    const QString list = writeList(e, paths);
    expectSameOutput(e, {"rank", "--threshold", "100"}, list);
    const ToolRun desktop = vireka_kb(
        {"rank", "--data", e.kb, "--base", "vireka.db", "--threshold", "100", "--qnt-list", list});
    const QStringList lines = desktop.out.split('\n');
    for (int t = 0; t < 6; ++t) {
        const qsizetype at = lines.indexOf("== " + paths[t]);
        ASSERT_GE(at, 0);
        const qsizetype next = t + 1 < 6 ? lines.indexOf("== " + paths[t + 1]) : lines.size();
        // The first species shows everything, so it is there too.
        EXPECT_TRUE(
            lines.mid(at, next - at).contains(QStringLiteral(" 100% - Species %1").arg(t + 1)))
            << desktop.out.toStdString();
    }
}

}  // namespace
