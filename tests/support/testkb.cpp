#include "support/testkb.h"

#include "platform/wmfwriter.h"

#include <sqlite3.h>

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QtEndian>

namespace testing_support {

namespace {

void run(sqlite3* db, const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        ADD_FAILURE() << "SQL failed: " << (message ? message : "") << "\n" << sql.toStdString();
        sqlite3_free(message);
    }
}

QString lit(const QVariant& v) {
    if (v.isNull()) return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::QString)
        return QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QLatin1String("''")) +
               QLatin1Char('\'');
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    return v.toString();
}

QString insert(const QString& table, const QVariantList& values) {
    QStringList parts;
    for (const QVariant& v : values) parts << lit(v);
    return QStringLiteral("INSERT INTO %1 VALUES (%2);").arg(table, parts.join(QLatin1Char(',')));
}

QString conditionColumns(int count) {
    QString s;
    for (int i = 0; i < count; ++i) s += QStringLiteral(", C_%1 TEXT").arg(i);
    return s;
}

QVariantList withConditions(QVariantList values, const QStringList& conditions, int count) {
    QStringList c = conditions;
    c << QStringLiteral("Fin");
    for (int i = 0; i < count; ++i) values << (i < c.size() ? QVariant(c[i]) : QVariant());
    return values;
}

}  // namespace

TestKb::TestKb() {
    parameters = {{"Nb_Couleurs", "2"},  {"Nb_Esp", "3"},       {"Nb_Etats_Desc", "5"},
                  {"Nb_Cadre", "2"},     {"Nb_Robot", "1"},     {"Nb_But_Car", "0"},
                  {"Nb_But_Deter", "2"}, {"Nb_But_Quest", "2"}, {"Nb_Contraintes", "2"}};
    colours = {QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00)};
    colourCodes = {"AILE", "PATTE"};
    stateCodes = {"A1", "A2", "P1", "P2", "P3"};
    flora = {{"SP1", "Alpha alpha", "ALPHIDAE"},
             {"SP2", "Beta beta", "BETIDAE"},
             {"SP3", "Gamma gamma", "ALPHIDAE"}};
    objects = {{"AILE", 1, 2, 0, 2, 0, 0, "Wings", "aile.bmp", true},
               {"PATTE", 1, 3, 2, 3, 1, 1, "Legs", "patte.bmp", true}};
    variants = {{0, "base.wmf", {}}};
    deterButtons = {{"Search", "search.bmp", "Search", "Search"},
                    {"Wings", "aile.bmp", "Wings", "AILE"}};
    questButtons = {{"OK", "ok.bmp", "Confirm", ""}, {"Skip", "skip.bmp", "Skip", ""}};
    languages = {"English"};
    commonNames = {{"English", "Alpha fly", "SP1"}};
    weights = {1, 1, 1, 1, 1};
    // species fastest: state 0 column, state 1 column, ...
    matrix = {1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
}

kb::LoadOptions TestKb::options() const {
    kb::LoadOptions o;
    o.dataDir = dataDir();
    o.databaseName = databaseName();
    o.text = englishText;
    return o;
}

void TestKb::install(platform::Settings& settings) const {
    platform::Settings::Installation i;
    i.DataDir = dataDir();
    i.Base = databaseName();
    i.DrawingDir = dataDir();
    i.DescriptorDir = dataDir();
    i.ProgramDir = dataDir();
    i.DocAddress = dataDir();
    settings.storeInstallation(i);
    settings.storeLanguage(0);
}

std::optional<QString> englishText(int k) {
    switch (k) {
        case 1300:
            return QStringLiteral("Species");
        case 1301:
            return QStringLiteral("Families");
        case 1302:
            return QStringLiteral("Common names");
        default:
            return std::nullopt;
    }
}

void TestKb::write() {
    const QString path = databasePath();
    QFile::remove(path);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const int constraints = parameters.value("Nb_Contraintes", "0").toInt();
    QString sql = QStringLiteral("BEGIN;");
    sql += "CREATE TABLE Parametres (Nom TEXT PRIMARY KEY COLLATE NOCASE, Etat TEXT);";
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        sql += insert("Parametres", {it.key(), it.value()});
    sql += "CREATE TABLE Couleurs (Numero INTEGER PRIMARY KEY, Code_Couleur TEXT);";
    for (int i = 0; i < colourCodes.size(); ++i) sql += insert("Couleurs", {i + 1, colourCodes[i]});
    sql += "CREATE TABLE Hierarchie (Numero INTEGER PRIMARY KEY, Robot_Num INTEGER, Nom TEXT" +
           conditionColumns(constraints) + ");";
    for (size_t i = 0; i < variants.size(); ++i)
        sql +=
            insert("Hierarchie", withConditions({int(i + 1), variants[i].drawing, variants[i].name},
                                                variants[i].conditions, constraints));
    sql +=
        "CREATE TABLE Clic_Zone (Numero INTEGER PRIMARY KEY, Nom TEXT, Cadre INTEGER, Test_Cadre "
        "INTEGER, X1 INTEGER, X2 INTEGER, Y1 INTEGER, Y2 INTEGER" +
        conditionColumns(constraints) + ");";
    for (size_t i = 0; i < zones.size(); ++i) {
        const Zone& z = zones[i];
        sql += insert("Clic_Zone", withConditions({int(i + 1), z.object, z.frame, z.testFrame, z.x1,
                                                   z.x2, z.y1, z.y2},
                                                  z.conditions, constraints));
    }
    if (stateTips.isEmpty()) {
        sql += "CREATE TABLE Caracteres (NUM INTEGER PRIMARY KEY, ID_CARAC TEXT COLLATE NOCASE);";
        for (int i = 0; i < stateCodes.size(); ++i) sql += insert("Caracteres", {i, stateCodes[i]});
    } else {
        sql +=
            "CREATE TABLE Caracteres (NUM INTEGER PRIMARY KEY, ID_CARAC TEXT COLLATE NOCASE, "
            "TipText TEXT);";
        for (int i = 0; i < stateCodes.size(); ++i)
            sql += insert(
                "Caracteres",
                {i, stateCodes[i], i < stateTips.size() ? QVariant(stateTips[i]) : QVariant()});
    }
    sql += "CREATE INDEX Caracteres_ID_CARAC ON Caracteres (ID_CARAC);";
    sql +=
        "CREATE TABLE Flore (Numero INTEGER PRIMARY KEY, Code TEXT COLLATE NOCASE, Espece TEXT, "
        "Famille TEXT COLLATE NOCASE);";
    for (size_t i = 0; i < flora.size(); ++i)
        sql += insert("Flore", {int(i + 1), flora[i].code, flora[i].name, flora[i].family});
    sql +=
        "CREATE TABLE Objets_Fic (Objet TEXT PRIMARY KEY COLLATE NOCASE, Lignes INTEGER, Colonnes "
        "INTEGER, Index_Car INTEGER, Nb_Car INTEGER, Cadre INTEGER, Desc_Num INTEGER, TipText "
        "TEXT, Popup TEXT, Joker INTEGER);"
        "CREATE INDEX Objets_Fic_Objet ON Objets_Fic (Objet);";
    for (const Object& o : objects)
        sql += insert("Objets_Fic", {o.key, o.rows, o.columns, o.firstState, o.stateCount, o.frame,
                                     o.descNum, o.tip, o.popup, o.joker});
    sql +=
        "CREATE TABLE Communs_Langues (Langue TEXT PRIMARY KEY COLLATE NOCASE);"
        "CREATE INDEX Communs_Langues_Langue ON Communs_Langues (Langue);"
        "CREATE TABLE Noms_Communs (Numero INTEGER PRIMARY KEY, Langue TEXT, Nom TEXT, Code TEXT);";
    for (const QString& l : languages) sql += insert("Communs_Langues", {l});
    for (size_t i = 0; i < commonNames.size(); ++i)
        sql += insert("Noms_Communs", {int(i + 1), commonNames[i].language, commonNames[i].name,
                                       commonNames[i].code});
    QStringList sorted = languages;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    for (int k = 0; k < sorted.size(); ++k)
        sql += QStringLiteral(
                   "CREATE VIEW Communs_%1 AS SELECT n.Nom AS Nom, n.Code AS Code, f.Espece AS "
                   "Espece, f.Famille AS Famille "
                   "FROM Noms_Communs n JOIN Flore f ON f.Code = n.Code WHERE n.Langue = %2 ORDER "
                   "BY n.Nom;")
                   .arg(k, 2, 10, QLatin1Char('0'))
                   .arg(lit(sorted[k]));
    sql +=
        "CREATE TABLE But_Deter (Numero INTEGER PRIMARY KEY, Caption TEXT, File TEXT, TipText "
        "TEXT, Key TEXT);"
        "CREATE TABLE But_Quest (Numero INTEGER PRIMARY KEY, Caption TEXT, File TEXT, TipText "
        "TEXT);";
    for (size_t i = 0; i < deterButtons.size(); ++i) {
        const Button& b = deterButtons[i];
        sql += insert("But_Deter", {int(i + 1), b.caption, b.file, b.tip, b.key});
    }
    for (size_t i = 0; i < questButtons.size(); ++i) {
        const Button& b = questButtons[i];
        sql += insert("But_Quest", {int(i + 1), b.caption, b.file, b.tip});
    }
    sql += "CREATE TABLE Descendance (Numero INTEGER PRIMARY KEY, ID_CARAC TEXT, Objet TEXT);";
    for (size_t i = 0; i < dependencies.size(); ++i)
        sql += insert("Descendance",
                      {int(i + 1), dependencies[i].parentState, dependencies[i].object});
    sql +=
        "CREATE TABLE Contradictions (Objet TEXT PRIMARY KEY COLLATE NOCASE, Bouton INTEGER, Popup "
        "TEXT);";
    for (auto it = contradictions.begin(); it != contradictions.end(); ++it)
        sql += insert("Contradictions", {it.key(), it.value(), it.key().toLower()});
    sql += "COMMIT;";
    run(db, sql);
    sqlite3_close(db);

    auto words = [](const std::vector<qint16>& values) {
        QByteArray bytes(int(values.size() * 2), '\0');
        for (size_t i = 0; i < values.size(); ++i) qToLittleEndian(values[i], bytes.data() + 2 * i);
        return bytes;
    };
    writeFile("POIDS.DAT", words(weights));
    writeFile("MATRICE.DAT", words(matrix));
    // The palette: one cell of each colour side by side.
    const int cell = 100;
    platform::WmfWriter palette(QSize(cell * int(std::max<size_t>(1, colours.size())), 100));
    palette.selectObject(palette.createNullPen());
    for (size_t i = 0; i < colours.size(); ++i) {
        const int brush = palette.createSolidBrush(colours[i]);
        palette.selectObject(brush);
        palette.rectangle(QRect(int(i) * cell, 0, cell + 1, 101));
    }
    QString error;
    ASSERT_TRUE(palette.save(dataDir() + "couleur.wmf", &error)) << error.toStdString();
    // Each drawing variant: a square of the first palette colour, in the drawing's folder.
    for (const Variant& v : variants) {
        const QString folder =
            dataDir() + QString::number(v.drawing).rightJustified(2, QLatin1Char('0'));
        QDir().mkpath(folder);
        platform::WmfWriter layer(QSize(2400, 1800));
        layer.selectObject(layer.createNullPen());
        layer.selectObject(
            layer.createSolidBrush(colours.empty() ? QColor(Qt::black) : colours[0]));
        layer.rectangle(QRect(600, 450, 1200, 900));
        ASSERT_TRUE(layer.save(folder + QLatin1Char('/') + v.name, &error)) << error.toStdString();
    }
}

void TestKb::writePictures() const {
    const auto save = [this](const QImage& image, const QString& name) {
        const QString path = dataDir() + name;
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
    };
    QImage button(32, 32, QImage::Format_RGB32);
    button.fill(QColor(0x40, 0x80, 0xC0));
    for (const auto* rows : {&deterButtons, &questButtons})
        for (const Button& b : *rows)
            if (!b.file.isEmpty()) save(button, b.file);
    for (const Object& o : objects) {
        if (o.popup.isEmpty()) continue;
        const int columns = std::max(1, o.columns), rows = std::max(1, o.rows);
        QImage grid(60 * columns, 40 * rows, QImage::Format_RGB32);
        QPainter painter(&grid);
        for (int k = 0; k < columns * rows; ++k)
            painter.fillRect((k % columns) * 60, (k / columns) * 40, 60, 40,
                             QColor::fromHsv(0, 0, 80 + 10 * (k % 16)));
        painter.end();
        save(grid, o.popup);
    }
}

void TestKb::exec(const QString& sql) const {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(databasePath().toUtf8().constData(), &db), SQLITE_OK);
    run(db, sql);
    sqlite3_close(db);
}

void TestKb::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile f(dataDir() + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void TestKb::dropDrawing() {
    parameters["Nb_Robot"] = "0";
    parameters["Nb_Couleurs"] = "0";
    colours.clear();
    colourCodes.clear();
    variants.clear();
}

}  // namespace testing_support
