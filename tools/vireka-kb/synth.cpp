#include "authoring/compiler/databasewriter.h"
#include "authoring/compiler/datafiles.h"
#include "authoring/compiler/documentwriter.h"
#include "authoring/compiler/drawingcompiler.h"
#include "authoring/compiler/kbfolders.h"
#include "authoring/compiler/picturewriter.h"
#include "authoring/compiler/platerenderer.h"
#include "commandregistry.h"
#include "platform/stagedoutput.h"

#include "platform/wmfwriter.h"

#include <QDir>
#include <QTextStream>

// A synthetic knowledge base of any size, valid for the program, for benchmarks and scale
// tests. Everything is derived from the counts with a fixed pseudo-random sequence, so two
// runs with the same counts give the same base.
namespace vkb {
using namespace authoring;  // the compiler's names

namespace {

struct SynthSize {
    int species = 10000;
    int states = 5000;
    int questions = 1500;
    int zones = 3000;
};

constexpr int kFamilies = 120;
constexpr int kFrames = 10;

// A small linear congruential sequence: reproducible across platforms and fast.
class Sequence {
public:
    quint32 next() { return m_state = m_state * 1664525u + 1013904223u; }
    int below(int n) { return int((next() >> 8) % quint32(n)); }

private:
    quint32 m_state = 12345u;
};

QString speciesCode(int i) {
    return QStringLiteral("S") +
           QString::number(i, 36).toUpper().rightJustified(4, QLatin1Char('0'));
}
QString questionKey(int q) {
    return QStringLiteral("Q%1").arg(q, 5, 10, QLatin1Char('0'));
}
QString stateId(int s) {
    return QStringLiteral("E%1").arg(s, 5, 10, QLatin1Char('0'));
}

// Latin-looking binomials in no particular order, as real keys have them: the rows' order
// says nothing of the names' alphabetical order. Repeated names get a variety.
QStringList speciesNames(int count) {
    static const char* const syllables[] = {"ca", "lo",  "phy", "ra",  "ste", "mi",  "tor", "ae",
                                            "nu", "gla", "bri", "ven", "os",  "tha", "cus", "li",
                                            "me", "dro", "xa",  "pe",  "qui", "sa",  "ul",  "ger"};
    Sequence seq;
    auto word = [&](int parts) {
        QString w;
        for (int p = 0; p < parts; ++p) w += QLatin1String(syllables[seq.below(24)]);
        return w;
    };
    QStringList names;
    QSet<QString> seen;
    for (int i = 0; i < count; ++i) {
        QString genus = word(2 + seq.below(2));
        genus[0] = genus[0].toUpper();
        QString name = genus + QLatin1Char(' ') + word(2 + seq.below(2)) + QLatin1String("us");
        if (seen.contains(name.toLower())) name += QStringLiteral(" var. %1").arg(i);
        seen.insert(name.toLower());
        names << name;
    }
    return names;
}

// States per question: as even as possible, at least two each.
QList<int> firstStates(const SynthSize& n) {
    QList<int> first;
    for (int q = 0; q <= n.questions; ++q) first << int(qint64(q) * n.states / n.questions);
    return first;
}

bool writeTables(DatabaseWriter& db, const SynthSize& n, const QList<int>& first) {
    const QList<std::pair<QString, int>> params{
        {"Nb_Couleurs", 8},    {"Nb_Esp", n.species}, {"Nb_Etats_Desc", n.states},
        {"Nb_Cadre", kFrames}, {"Nb_Robot", 2},       {"Nb_But_Car", 10},
        {"Nb_But_Deter", 12},  {"Nb_But_Quest", 3},   {"Nb_Contraintes", 2}};
    for (const auto& [name, value] : params)
        if (!db.insert("Parametres", {name, QString::number(value)})) return false;
    for (int c = 0; c < 8; ++c)
        if (!db.insert("Couleurs", {c + 1, c < 6 ? questionKey(c) : QString()})) return false;
    for (int q = 0; q < n.questions; ++q) {
        const int count = first[q + 1] - first[q];
        if (!db.insert("Objets_Fic", {questionKey(q), 1, count, first[q], count,
                                      q < kFrames ? q : -1, q, QStringLiteral("Question %1").arg(q),
                                      QStringLiteral("choice_%1.png").arg(count), q % 7 != 6}))
            return false;
        for (int s = first[q]; s < first[q + 1]; ++s)
            if (!db.insert("Caracteres",
                           {s, stateId(s), questionKey(q),
                            QStringLiteral("State %1 of question %2").arg(s - first[q]).arg(q)}))
                return false;
    }
    int row = 0;  // every tenth question depends on the first state of the one before
    for (int q = 10; q < n.questions; q += 10)
        if (!db.insert("Descendance", {++row, stateId(first[q - 1]), questionKey(q)})) return false;
    for (int q = 0; q < 6 && q < n.questions; ++q)
        if (!db.insert("Contradictions",
                       {questionKey(q), q < 3 ? -1 : q + 3, QStringLiteral("MARK%1").arg(q)}))
            return false;
    return true;
}

bool writeSpecies(DatabaseWriter& db, const SynthSize& n) {
    const QStringList names = speciesNames(n.species);
    for (int i = 0; i < n.species; ++i) {
        const QString num = QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        if (!db.insert(
                "Flore",
                {names[i], QStringLiteral("FAMILY%1").arg(i % kFamilies, 3, 10, QLatin1Char('0')),
                 speciesCode(i), QStringLiteral("Specimen %1").arg(num),
                 QStringLiteral("Common %1").arg(num), QStringLiteral("Nom %1").arg(num),
                 QStringLiteral("Nombre %1").arg(num)}))
            return false;
    }
    return db.addCommonNames({{QStringLiteral("English"), QStringLiteral("Commun_en")},
                              {QStringLiteral("Français"), QStringLiteral("Commun_fr")},
                              {QStringLiteral("Español"), QStringLiteral("Commun_es")}});
}

bool writeDrawingRows(DatabaseWriter& db, const SynthSize& n, const QList<int>& first) {
    if (!db.insert("Hierarchie", {1, 0, QStringLiteral("BASE_A.WMF"), QStringLiteral("Fin"), {}}) ||
        !db.insert("Hierarchie", {2, 1, QStringLiteral("TOP"), QStringLiteral("Fin"), {}}))
        return false;
    Sequence seq;
    const int columns = std::max(1, int(std::sqrt(double(n.zones) * 4 / 3)));
    const int rows = std::max(1, (n.zones + columns - 1) / columns);
    const int w = 2400 / columns, h = 1800 / rows;
    for (int z = 0; z < n.zones; ++z) {
        const int x = (z % columns) * w, y = (z / columns) * h;
        // One zone in five counts only while a state is chosen.
        const QVariant c0 = z % 5 == 0 ? QVariant(stateId(first[seq.below(n.questions)]))
                                       : QVariant(QStringLiteral("Fin"));
        const QVariant c1 = z % 5 == 0 ? QVariant(QStringLiteral("Fin")) : QVariant();
        if (!db.insert("Clic_Zone", {z + 1, questionKey(z % n.questions), -2 - z, false, x, x + w,
                                     y, y + h, c0, c1}))
            return false;
    }
    return true;
}

bool writeButtons(DatabaseWriter& db) {
    for (int k = 1; k <= 12; ++k) {
        const QString key = k == 1 ? QStringLiteral("Search")
                                   : (k == 2 ? QStringLiteral("Results") : questionKey(k - 3));
        if (!db.insert(
                "But_Deter",
                {k, key, QStringLiteral("boutons/deter_%1.png").arg(k, 2, 10, QLatin1Char('0')),
                 key, key}))
            return false;
    }
    for (int k = 1; k <= 3; ++k)
        if (!db.insert("But_Quest",
                       {k, QStringLiteral("Button %1").arg(k),
                        QStringLiteral("boutons/quest_%1.png").arg(k, 2, 10, QLatin1Char('0')),
                        QString()}))
            return false;
    return true;
}

bool writeMatrix(const QDir& out, const SynthSize& n, const QList<int>& first, QString* error) {
    std::vector<qint16> weights(size_t(n.states), 1);
    std::vector<qint16> matrix(size_t(n.species) * size_t(n.states), 0);
    Sequence seq;
    for (int q = 0; q < n.questions; ++q) {
        const int count = first[q + 1] - first[q];
        for (int s = 0; s < n.species; ++s) {
            const int state = first[q] + seq.below(count);
            matrix[size_t(s) + size_t(n.species) * size_t(state)] = 1;
        }
    }
    return datafiles::writeInt16s(out.filePath(QStringLiteral("POIDS.DAT")), weights, error) &&
           datafiles::writeInt16s(out.filePath(QStringLiteral("MATRICE.DAT")), matrix, error);
}

// A palette, two drawing layers, the contradiction marks, the toolbars, one picture of
// choices per number of states, and the error pages.
bool writePictures(const QDir& out, const SynthSize& n, const QList<int>& first, QString* error) {
    KbSource kb;
    for (int c = 0; c < 8; ++c)
        kb.palette << PaletteEntry{
            QStringLiteral("c%1").arg(c), {}, QColor::fromHsv(c * 45, 160, 220), {}};
    QList<QColor> colours;
    for (const PaletteEntry& e : kb.palette) colours << e.colour;
    if (!DrawingCompiler::writePalette(colours, out.filePath(kbfolders::palette()), error))
        return false;
    const QDir drawings(out.filePath(kbfolders::drawings()));
    for (const char* f : {"00/BASE_A.WMF", "01/TOP_A.WMF", "CONTRA/MARK0_A.WMF",
                          "CONTRA/MARK1_A.WMF", "CONTRA/MARK2_A.WMF"}) {
        QDir().mkpath(QFileInfo(drawings.filePath(QString::fromLatin1(f))).path());
        platform::WmfWriter wmf(QSize(2400, 1800));
        for (int c = 0; c < 8; ++c) {
            const int brush = wmf.createSolidBrush(colours[c]);
            wmf.selectObject(brush);
            if (QByteArray(f).startsWith("00")) wmf.rectangle(QRect(c * 300, 0, 300, 1800));
            wmf.deleteObject(brush);
        }
        if (!wmf.save(drawings.filePath(QString::fromLatin1(f)), error)) return false;
    }
    for (int k = 1; k <= 12; ++k)
        kb.deterButtons << Button{QStringLiteral("B%1").arg(k), {}, {}, {},
                                  QColor(0x37, 0x6b, 0x8f),     {}};
    for (int k = 1; k <= 3; ++k)
        kb.questionButtons << Button{QStringLiteral("Q%1").arg(k), {}, {}, {},
                                     QColor(0x3d, 0x7a, 0x4a),     {}};
    for (int q = 3; q < 6; ++q)
        kb.contradictions << Contradiction{
            questionKey(q), q + 3, QStringLiteral("MARK%1").arg(q), {}};
    QSet<int> counts;
    for (int q = 0; q < n.questions; ++q) counts.insert(first[q + 1] - first[q]);
    PictureWriter pictures(kb);
    for (int count : counts) {
        Question q;
        q.rows = 1;
        q.columns = count;
        for (int s = 0; s < count; ++s)
            q.states << State{QString(), QStringLiteral("State %1").arg(s + 1), {}, 1, true, {}, {},
                              {}};
        QDir().mkpath(out.filePath(kbfolders::descriptors()));
        if (!pictures.choicePicture(q).save(out.filePath(
                kbfolders::descriptors() + QStringLiteral("/choice_%1.png").arg(count))))
            return (*error = QStringLiteral("cannot write the pictures of choices"), false);
    }
    if (!pictures.writeButtons(out.path()) || !pictures.writeContradictionIcons(drawings.path()))
        return (*error = pictures.errorString(), false);
    const KbLayout layout;
    const PlateRenderer plates(kb, layout, drawings.path());
    DocumentWriter documents(kb, layout, plates);
    if (!documents.writeErrorPages(out.path())) return (*error = documents.errorString(), false);
    QDir().mkpath(out.filePath(kbfolders::documents()));
    return kbfolders::writeSetupIni(out.path(), error);
}

bool parseSize(QStringList args, SynthSize& n, QString& out, QString& error) {
    const QList<std::pair<QString, int*>> options{{"--species", &n.species},
                                                  {"--states", &n.states},
                                                  {"--questions", &n.questions},
                                                  {"--zones", &n.zones}};
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        bool known = false;
        for (const auto& [name, value] : options) {
            if (a != name) continue;
            bool ok = false;
            *value = args.isEmpty() ? 0 : args.takeFirst().toInt(&ok);
            if (!ok || *value < 1 || *value > 32767)
                return (error = name + " needs a number 1..32767", false);
            known = true;
        }
        if (known) continue;
        if (a.startsWith(QLatin1String("--")) || !out.isEmpty())
            return (error = "unexpected " + a, false);
        out = a;
    }
    if (out.isEmpty()) return (error = QStringLiteral("no output folder"), false);
    if (n.states < 2 * n.questions)
        return (error = QStringLiteral("each question needs two states"), false);
    if (n.questions < 12) return (error = QStringLiteral("at least 12 questions"), false);
    return true;
}

int synth(const QStringList& args) {
    QTextStream err(stderr);
    if (args.contains(QStringLiteral("--help"))) {
        QTextStream(stdout)
            << "usage: vireka-kb synth OUT [--species N] [--states N] [--questions N]"
               " [--zones N]\n\nWrites a synthetic knowledge base (default 10000 species,"
               " 5000 states, 1500 questions, 3000 click zones) for benchmarks.\n";
        return 0;
    }
    SynthSize n;
    QString outPath, error;
    if (!parseSize(args, n, outPath, error)) {
        err << "vireka-kb synth: " << error << "\n";
        return 2;
    }
    platform::StagedOutput staged;
    bool ok = staged.begin(outPath, kbfolders::database(), &error);
    const QDir out(staged.path());
    const QList<int> first = firstStates(n);
    DatabaseWriter db;
    ok = ok && writePictures(out, n, first, &error) && writeMatrix(out, n, first, &error);
    if (ok) {
        ok = db.open(out.filePath(kbfolders::database()), 2,
                     {QStringLiteral("Commun_en"), QStringLiteral("Commun_fr"),
                      QStringLiteral("Commun_es")}) &&
             writeTables(db, n, first) && writeSpecies(db, n) && writeDrawingRows(db, n, first) &&
             writeButtons(db) && db.finish();
        if (!ok) error = db.errorString();
        ok = ok && staged.commit(&error);
    }
    if (!ok) {
        err << "vireka-kb synth: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << QStringLiteral("%1: %2 species, %3 questions, %4 states, %5 zones\n")
                               .arg(QDir(outPath).path())
                               .arg(n.species)
                               .arg(n.questions)
                               .arg(n.states)
                               .arg(n.zones);
    return 0;
}

const Registration registration(QStringLiteral("synth"),
                                QStringLiteral("write a synthetic knowledge base of any size"),
                                synth);

}  // namespace

}  // namespace vkb
