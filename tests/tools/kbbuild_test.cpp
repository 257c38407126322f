#include "authoring/compiler/sourceparser.h"
#include "kb/database.h"
#include "platform/picture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun vireka_kb(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VIREKA_KB_PATH), args);
    ToolRun r;
    if (!p.waitForFinished(120000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The demo the build compiles with this same tool is the one examined: every case runs in a
// process of its own, so compiling it again here would cost one build of the demo per case.
// Without that target the demo is compiled once per process.
class DemoBase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef VIREKA_DEMO_KB
        base = new QString(QStringLiteral(VIREKA_DEMO_KB));
        run = new ToolRun{0, {}, {}};
#else
        dir = new QTemporaryDir;
        base = new QString(dir->path());
        run = new ToolRun(
            vireka_kb({QStringLiteral("build"), QStringLiteral(VIREKA_DEMO_SOURCE), dir->path()}));
#endif
        source = new authoring::KbSource;
        authoring::SourceParser parser;
        parsed = parser.parse(QStringLiteral(VIREKA_DEMO_SOURCE), *source);
    }
    static void TearDownTestSuite() {
        delete dir;
        delete base;
        delete run;
        delete source;
    }
    void SetUp() override {
        ASSERT_EQ(run->exitCode, 0) << run->err.toStdString();
        ASSERT_TRUE(parsed);
        ASSERT_TRUE(db.open(path(QStringLiteral("vireka.db")))) << db.errorString().toStdString();
    }
    static QString path(const QString& relative) {
        return QDir(*base).filePath(relative);
    }
    int parameter(const QString& name) {
        kb::Table t = db.openTable(QStringLiteral("Parametres"));
        t.setIndex(QStringLiteral("PrimaryKey"));
        return t.seek(name) ? t.field(QStringLiteral("Etat")).toString().toInt() : -1;
    }

    static QTemporaryDir* dir;
    static QString* base;
    static ToolRun* run;
    static authoring::KbSource* source;
    static bool parsed;
    kb::Database db;
};
QTemporaryDir* DemoBase::dir = nullptr;
QString* DemoBase::base = nullptr;
ToolRun* DemoBase::run = nullptr;
authoring::KbSource* DemoBase::source = nullptr;
bool DemoBase::parsed = false;

TEST_F(DemoBase, EveryTableAndFieldTheProgramReadsExists) {
    const QList<std::pair<QString, QStringList>> tables{
        {"Parametres", {"Etat"}},
        {"Couleurs", {"Code_Couleur"}},
        {"Hierarchie", {"Robot_Num", "Nom", "C_0"}},
        {"Clic_Zone", {"Nom", "Cadre", "Test_Cadre", "X1", "X2", "Y1", "Y2", "C_0"}},
        {"Caracteres", {"ID_CARAC", "NUM", "TipText"}},
        {"Flore", {"Espece", "Famille", "Code", "Legende"}},
        {"Objets_Fic",
         {"Objet", "Lignes", "Colonnes", "Index_Car", "Nb_Car", "Cadre", "Desc_Num", "TipText",
          "Popup", "Joker"}},
        {"Communs_Langues", {"Langue"}},
        {"But_Deter", {"Caption", "File", "TipText", "Key"}},
        {"But_Quest", {"Caption", "File", "TipText"}},
        {"Descendance", {"ID_CARAC", "Objet"}},
        {"Contradictions", {"Bouton", "Popup"}}};
    for (const auto& [name, fields] : tables) {
        kb::Table t = db.openTable(name);
        ASSERT_TRUE(t.isValid()) << name.toStdString();
        EXPECT_TRUE(t.setIndex(QStringLiteral("PrimaryKey"))) << name.toStdString();
        EXPECT_GT(t.recordCount(), 0) << name.toStdString();
        for (const QString& f : fields)
            EXPECT_TRUE(t.hasField(f)) << (name + "." + f).toStdString();
    }
    const int constraints = parameter(QStringLiteral("Nb_Contraintes"));
    ASSERT_GE(constraints, 2);
    EXPECT_TRUE(db.openTable("Clic_Zone").hasField(QStringLiteral("C_%1").arg(constraints - 1)));
    EXPECT_TRUE(db.openTable("Caracteres").setIndex(QStringLiteral("ID_CARAC")));
    EXPECT_TRUE(db.openTable("Objets_Fic").setIndex(QStringLiteral("Objet")));
    EXPECT_TRUE(db.openTable("Communs_Langues").setIndex(QStringLiteral("Langue")));
}

TEST_F(DemoBase, ParametersCountWhatTheSourceHolds) {
    EXPECT_EQ(parameter("Nb_Couleurs"), source->palette.size());
    EXPECT_EQ(parameter("Nb_Esp"), source->species.size());
    EXPECT_EQ(parameter("Nb_Etats_Desc"), source->stateCount());
    EXPECT_EQ(parameter("Nb_Robot"), 4);
    EXPECT_EQ(parameter("Nb_Cadre"), 2);
    EXPECT_EQ(parameter("Nb_But_Deter"), 12);
    EXPECT_EQ(parameter("Nb_But_Quest"), 3);
}

// The demo is the example the help, the screenshots and the web player's pages show: it keeps
// a size where the ranking, the tree and the search have something to do, and a question the
// search may not propose.
TEST_F(DemoBase, DemoKeepsTheSizeAndTheKindsOfQuestionTheDocumentsShow) {
    EXPECT_GE(source->species.size(), 40);
    EXPECT_LE(source->species.size(), 60);
    QSet<QString> families;
    for (const auto& s : source->species) families.insert(s.family);
    EXPECT_GE(families.size(), 8);
    EXPECT_LE(families.size(), 12);
    EXPECT_GE(source->questions.size(), 20);
    EXPECT_LE(source->questions.size(), 30);
    int notProposed = 0;
    for (const auto& q : source->questions) {
        EXPECT_GE(q.states.size(), 2) << q.key.toStdString();
        EXPECT_LE(q.states.size(), 10) << q.key.toStdString();
        notProposed += q.proposable ? 0 : 1;
    }
    EXPECT_GT(notProposed, 0);
}

TEST_F(DemoBase, StoredQueriesFollowTheLanguageOrder) {
    kb::Table langs = db.openTable(QStringLiteral("Communs_Langues"));
    langs.setIndex(QStringLiteral("Langue"));
    QStringList inOrder;
    for (langs.moveFirst(); !langs.eof(); langs.moveNext())
        inOrder << langs.field(QStringLiteral("Langue")).toString();
    EXPECT_EQ(inOrder, (QStringList{"English", "Español", "Français"}));
    ASSERT_EQ(db.queryCount(), 3);
    kb::Table french = db.openQuery(2);
    ASSERT_TRUE(french.isValid());
    for (const char* f : {"Nom", "Code", "Espece", "Famille"}) EXPECT_TRUE(french.hasField(f)) << f;
    bool found = false;
    for (french.moveFirst(); !french.eof(); french.moveNext())
        found |= french.field("Nom").toString() == QStringLiteral("Anax empereur") &&
                 french.field("Code").toString() == QStringLiteral("ANAIM");
    EXPECT_TRUE(found);
}

TEST_F(DemoBase, NamedIndexesAreSqliteIndexes) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path("vireka.db").toUtf8(), &raw, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    QStringList names;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT name FROM sqlite_master WHERE type='index'", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(raw);
    for (const char* n : {"Caracteres_ID_CARAC", "Objets_Fic_Objet", "Communs_Langues_Langue"})
        EXPECT_TRUE(names.contains(n)) << n;
}

TEST_F(DemoBase, DataFilesHoldOneWordPerStateAndSpeciesState) {
    const qint64 states = parameter("Nb_Etats_Desc"), species = parameter("Nb_Esp");
    EXPECT_EQ(QFileInfo(path("POIDS.DAT")).size(), 2 * states);
    EXPECT_EQ(QFileInfo(path("MATRICE.DAT")).size(), 2 * states * species);
    // The species order is the "Flore" key order: check one known cell of the matrix.
    kb::Table flora = db.openTable("Flore");
    flora.setIndex("PrimaryKey");
    int index = 0;
    for (flora.moveFirst(); !flora.eof() && flora.field("Code").toString() != "CALSP";
         flora.moveNext())
        ++index;
    kb::Table states_ = db.openTable("Caracteres");
    states_.setIndex("ID_CARAC");
    ASSERT_TRUE(states_.seek(QStringLiteral("WM_BAND")));
    const qint64 band = states_.field("NUM").toLongLong();
    ASSERT_TRUE(states_.seek(QStringLiteral("WM_DARK")));
    const qint64 dark = states_.field("NUM").toLongLong();
    QFile matrix(path("MATRICE.DAT"));
    ASSERT_TRUE(matrix.open(QIODevice::ReadOnly));
    const QByteArray bytes = matrix.readAll();
    auto cell = [&](qint64 s, qint64 j) {
        return qint16(quint8(bytes[2 * (s + species * j)]) |
                      quint8(bytes[2 * (s + species * j) + 1]) << 8);
    };
    EXPECT_EQ(cell(index, band), 1);
    EXPECT_EQ(cell(index, dark), 0);
}

TEST_F(DemoBase, PicturesAndDocumentsExistForEveryRow) {
    const QSettings ini(path("setup.ini"), QSettings::IniFormat);
    const QDir choices(path(ini.value("descriptors").toString()));
    const QDir drawings(path(ini.value("drawings").toString()));
    const QDir documents(path(ini.value("documents").toString()));
    EXPECT_EQ(ini.value("base").toString(), QStringLiteral("vireka.db"));
    kb::Table objects = db.openTable("Objets_Fic");
    for (objects.moveFirst(); !objects.eof(); objects.moveNext()) {
        const QImage choice(choices.filePath(objects.field("Popup").toString()));
        ASSERT_FALSE(choice.isNull()) << objects.field("Popup").toString().toStdString();
        // Drawn in the shape of the drawing's area, which the program stretches it over.
        EXPECT_EQ(choice.width() * 3, choice.height() * 4)
            << objects.field("Popup").toString().toStdString();
        // Each cell of the grid the clicks use holds one panel: its corner is the panel's,
        // the line between two cells is the white gap between panels.
        const int columns = objects.field("Colonnes").toInt();
        const int rows = objects.field("Lignes").toInt();
        const int states = objects.field("Nb_Car").toInt();
        for (int k = 0; k < states; ++k) {
            const int left = (k % columns) * choice.width() / columns;
            const int top = (k / columns) * choice.height() / rows;
            EXPECT_EQ(choice.pixel(left + 14, top + 14), qRgb(0xf5, 0xf2, 0xea))
                << objects.field("Popup").toString().toStdString() << " cell " << k;
            EXPECT_EQ(choice.pixel(left + 1, top + choice.height() / rows / 2),
                      qRgb(255, 255, 255));
        }
    }
    kb::Table buttons = db.openTable("But_Deter");
    for (buttons.moveFirst(); !buttons.eof(); buttons.moveNext())
        EXPECT_FALSE(QImage(path(buttons.field("File").toString())).isNull());
    kb::Table contra = db.openTable("Contradictions");
    for (contra.moveFirst(); !contra.eof(); contra.moveNext()) {
        const QString popup = contra.field("Popup").toString();
        if (contra.field("Bouton").toInt() == -1) {
            for (const char* suffix : {"_A.WMF", "_Z.WMF"})
                EXPECT_FALSE(platform::Picture::load(drawings.filePath("CONTRA/" + popup + suffix))
                                 .isNull());
        } else {
            EXPECT_FALSE(QImage(drawings.filePath("CONTRA/" + popup + ".ico")).isNull())
                << popup.toStdString();
        }
    }
    for (const auto& s : source->species) {
        const QString folder = s.code.left(1).toLower() + "/" + s.code.toLower() + "/";
        for (const QString& f :
             {s.code.toLower() + "_en.html", s.code.toLower() + "_fr.html",
              s.code.toLower() + "_ds.html", QStringLiteral("dessin_01_en.html")})
            EXPECT_TRUE(QFileInfo(documents.filePath(folder + f)).isFile())
                << (folder + f).toStdString();
    }
    const QImage page(documents.filePath("a/anaim/anaim.gif"));
    EXPECT_EQ(page.size(), QSize(2200, 3300));
    QFile sheet(documents.filePath("a/anaim/anaim_ds.html"));
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(sheet.readAll());
    EXPECT_TRUE(html.contains("left:12px;top:72px;width:550px;height:825px"));
    for (const char* lang : {"en", "fr", "es"})
        EXPECT_TRUE(QFileInfo(path(QStringLiteral("error_%1.html").arg(lang))).isFile());
}

TEST_F(DemoBase, PaletteSampledFromItsPictureGivesTheSourceColours) {
    const platform::Picture palette = platform::Picture::load(path("couleur.wmf"));
    ASSERT_FALSE(palette.isNull());
    const int n = int(source->palette.size());
    const QImage strip = palette.render(QSize(37 * n, 51), Qt::black);
    kb::Table codes = db.openTable("Couleurs");
    codes.setIndex("PrimaryKey");
    for (int i = 0; i < n; ++i) {
        const int x = qRound(double(strip.width()) / n / 2 + double(i) * strip.width() / n);
        EXPECT_EQ(strip.pixelColor(x, 25), source->palette[i].colour) << i;
        ASSERT_TRUE(codes.seek(i + 1));
        EXPECT_EQ(codes.field("Code_Couleur").toString(), source->palette[i].code);
    }
}

// Every probe of the source must show its exact palette colour on the stacked layers, at
// full size and scaled down, so the drawing finds its parts by colour.
TEST_F(DemoBase, DrawingLayersShowExactColoursInsideEachPart) {
    const QDir drawings(path("drawings"));
    QHash<QString, QColor> colours;
    for (const auto& e : source->palette) colours.insert(e.name, e.colour);
    int checked = 0;
    for (const auto& figure : source->figures) {
        if (figure.probes.isEmpty()) continue;
        const QString suffix = figure.path.right(6);
        const int layer = figure.path.left(2).toInt();
        QStringList stack{"00/WINGS" + suffix, "01/BODY" + suffix, "02/RINGS" + suffix,
                          "03/NONE" + suffix};
        stack[layer] = figure.path;
        for (const QSize size : {QSize(2400, 1800), QSize(1200, 900)}) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            for (const QString& f : stack) {
                const platform::Picture layerPicture =
                    platform::Picture::load(drawings.filePath(f));
                ASSERT_FALSE(layerPicture.isNull()) << f.toStdString();
                layerPicture.paint(p, QRectF(QPointF(0, 0), size));
            }
            p.end();
            for (const auto& probe : figure.probes) {
                const QPoint at(probe.point.x() * size.width() / 2400,
                                probe.point.y() * size.height() / 1800);
                EXPECT_EQ(image.pixelColor(at), colours.value(probe.code))
                    << probe.place.where().toStdString() << " at " << size.width();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 40);
}

// The platform may print its own warnings first; the message is one line of its own.
bool hasLine(const QString& err, const QString& prefix) {
    for (const QString& line : err.split('\n'))
        if (line.startsWith(prefix)) return true;
    return false;
}

class SourceErrors : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QString& text) {
        QFile f(QDir(dir.path()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return f.fileName();
    }
};

TEST_F(SourceErrors, AreReportedWithFileAndLineAndLeaveNoBase) {
    const QString main =
        write("kb.txt", "title \"T\"\nlanguage en \"English\"\ninclude more.txt\n");
    const QString more = write("more.txt", "colour paper #ffffff\n\ncolour ink #12345\n");
    const QString out = QDir(dir.path()).filePath("out");
    ToolRun r = vireka_kb({"build", dir.path(), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(hasLine(r.err, more + ":3: ")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath("vireka.db")));

    write("more.txt",
          "colour paper #ffffff\nquestion Q \"q\"\n  state A \"a\"\n  state B \"b\"\n"
          "species ABCDE \"Aus bus\"\n  family F\n  shows A C\n");
    r = vireka_kb({"build", dir.path(), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(hasLine(r.err, more + ":5: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("unknown state 'C'")) << r.err.toStdString();
    Q_UNUSED(main);
}

// A state's own weight is written as it stands, negative or not; one that does not fit the
// 16 bits of the weights file is refused at its line, never changed.
TEST_F(SourceErrors, AStateWeightIsKeptAsWrittenOrRefusedAtItsLine) {
    QFile source(QStringLiteral(VIREKA_NODRAWING_SOURCE) + "/kb.txt");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(source.readAll());
    const QString red = "  state EL_RED    \"Red\"    swatch #c83a2a";
    ASSERT_TRUE(text.contains(red));
    const int line = int(text.left(text.indexOf(red)).count('\n')) + 1;
    const QString out = QDir(dir.path()).filePath("out");

    write("kb.txt", QString(text).replace(red, red + " weight -5"));
    ToolRun r = vireka_kb({"build", "--no-page-pictures", dir.path(), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile weights(QDir(out).filePath("POIDS.DAT"));
    ASSERT_TRUE(weights.open(QIODevice::ReadOnly));
    EXPECT_EQ(weights.read(2), QByteArray::fromHex("fbff")) << "state EL_RED keeps weight -5";

    const QString main = write("kb.txt", QString(text).replace(red, red + " weight 40000"));
    r = vireka_kb({"build", "--no-page-pictures", dir.path(), QDir(dir.path()).filePath("big")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(hasLine(r.err, main + QStringLiteral(":%1: ").arg(line))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("16 bits")) << r.err.toStdString();
}

TEST(Synth, SmallBaseLoadsWithConsistentCounts) {
    QTemporaryDir dir;
    const ToolRun r = vireka_kb({"synth", dir.path(), "--species", "300", "--states", "400",
                                 "--questions", "120", "--zones", "200"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    kb::Database db;
    ASSERT_TRUE(db.open(QDir(dir.path()).filePath("vireka.db"))) << db.errorString().toStdString();
    EXPECT_EQ(db.openTable("Flore").recordCount(), 300);
    EXPECT_EQ(db.openTable("Caracteres").recordCount(), 400);
    EXPECT_EQ(db.openTable("Objets_Fic").recordCount(), 120);
    EXPECT_EQ(db.openTable("Clic_Zone").recordCount(), 200);
    EXPECT_EQ(db.queryCount(), 3);
    EXPECT_EQ(QFileInfo(QDir(dir.path()).filePath("MATRICE.DAT")).size(), 2 * 300 * 400);
    EXPECT_EQ(QFileInfo(QDir(dir.path()).filePath("POIDS.DAT")).size(), 2 * 400);
    kb::Table objects = db.openTable("Objets_Fic");
    int states = 0;
    for (objects.moveFirst(); !objects.eof(); objects.moveNext()) {
        EXPECT_EQ(objects.field("Index_Car").toInt(), states);
        states += objects.field("Nb_Car").toInt();
        EXPECT_FALSE(
            QImage(QDir(dir.path()).filePath("choices/" + objects.field("Popup").toString()))
                .isNull());
    }
    EXPECT_EQ(states, 400);
}

// A source named from the current folder ("keys/ladybirds", as a person types it) finds the
// files it includes beside its kb.txt, and writes the same base as when named in full.
TEST(BuildFromRelativeFolder, IncludedFilesAreFoundBesideTheMainFile) {
    QFile original(QStringLiteral(VIREKA_NODRAWING_SOURCE "/kb.txt"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(original.readAll()).split('\n');
    QTemporaryDir work;
    const QString src = work.filePath("keys/ladybirds");
    ASSERT_TRUE(QDir().mkpath(src));
    QFile main(src + "/kb.txt"), rest(src + "/questions.txt");
    ASSERT_TRUE(main.open(QIODevice::WriteOnly) && rest.open(QIODevice::WriteOnly));
    // Everything from the first question on goes to the included file.
    const qsizetype first = lines.indexOf(QRegularExpression("^question .*"));
    ASSERT_GT(first, 0);
    main.write((lines.mid(0, first).join('\n') + "\ninclude questions.txt\n").toUtf8());
    rest.write(lines.mid(first).join('\n').toUtf8());
    main.close();
    rest.close();

    QProcess p;
    p.setWorkingDirectory(work.path());
    p.start(QStringLiteral(VIREKA_KB_PATH), {"build", "keys/ladybirds", "out"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(work.filePath("out/vireka.db")).isFile());
    const ToolRun full = vireka_kb({"build", src, work.filePath("full")});
    ASSERT_EQ(full.exitCode, 0) << full.err.toStdString();
    EXPECT_EQ(QFileInfo(work.filePath("out/MATRICE.DAT")).size(),
              QFileInfo(work.filePath("full/MATRICE.DAT")).size());
}

}  // namespace

// A button's icon or a state's figure that names nothing would be drawn empty: the build
// stops at its line.
TEST_F(SourceErrors, AnIconOrFigureThatNamesNoVignetteIsAnError) {
    QFile key(QStringLiteral(VIREKA_NODRAWING_SOURCE) + "/kb.txt");
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    const QString good = QString::fromUtf8(key.readAll());
    const QString out = QDir(dir.path()).filePath("out");
    struct Case {
        QString from, to, message;
    };
    const Case cases[] = {
        {"icon results", "icon nosuchvignette", "icon 'nosuchvignette'"},
        {"\"Yellow\" swatch #e8c630", "\"Yellow\" figure nosuchvignette",
         "figure 'nosuchvignette'"},
    };
    for (const Case& c : cases) {
        const QString text = QString(good).replace(c.from, c.to);
        ASSERT_NE(text, good);
        const QString main = write("kb.txt", text);
        const int line = int(text.left(text.indexOf(c.to)).count('\n')) + 1;
        const ToolRun r = vireka_kb({"build", dir.path(), out});
        EXPECT_EQ(r.exitCode, 1) << c.to.toStdString();
        EXPECT_TRUE(hasLine(r.err, main + QStringLiteral(":%1: ").arg(line)))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath("vireka.db")));
    }
    write("kb.txt", QString(good).replace("icon results", "icon skip"));
    EXPECT_EQ(vireka_kb({"build", dir.path(), out}).exitCode, 0);
}

// Names are written as text wherever a page shows them, even those that look like markup or
// like the writer's own placeholders.
TEST_F(SourceErrors, SpeciesNamesAreWrittenAsTextInEveryPage) {
    QFile key(QStringLiteral(VIREKA_NODRAWING_SOURCE) + "/kb.txt");
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    // A drawing of one layer, so that the drawing sheet and the drawing pages are written.
    write("kb.txt", QString::fromUtf8(key.readAll())
                            .replace("\"Adalia bipunctata\"", "\"Adalia %2 <b>bi</b>%4\"") +
                        "colour paper #ffffff\nlayer 0\n  variant BODY.WMF\n"
                        "picture 00/BODY.WMF\n  rect paper 0,0 2400,1800\n");
    const QString out = QDir(dir.path()).filePath("out");
    const ToolRun r = vireka_kb({"build", dir.path(), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString escaped = "Adalia %2 &lt;b&gt;bi&lt;/b&gt;%4";
    for (const char* page : {"adbip_en.html", "adbip_ds.html", "dessin_01_en.html"}) {
        QFile f(QDir(out).filePath(QStringLiteral("documents/a/adbip/") + page));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << page;
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(html.contains(escaped)) << page << "\n" << html.toStdString();
        EXPECT_FALSE(html.contains("<b>bi")) << page;
    }
}

// A key without a drawing has no picture to put on a drawing sheet or a drawing page: its
// documents are the species pages alone, and they link to nothing else.
TEST_F(SourceErrors, AKeyWithoutADrawingHasNoDrawingPages) {
    const QString out = QDir(dir.path()).filePath("out");
    const ToolRun r = vireka_kb({"build", QStringLiteral(VIREKA_NODRAWING_SOURCE), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QDir species(QDir(out).filePath("documents/a/adbip"));
    EXPECT_EQ(species.entryList(QDir::Files), QStringList{"adbip_en.html"});
    QFile page(species.filePath("adbip_en.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_FALSE(html.contains("<nav>")) << html.toStdString();
    EXPECT_TRUE(html.contains("Two-spot Ladybird")) << html.toStdString();
}
