#pragma once

#include "kb/loader.h"
#include "platform/settings.h"

#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <vector>

namespace testing_support {

// A small knowledge base written for real to a temporary folder: the SQLite file with the
// twelve tables and the common-name views, POIDS.DAT, MATRICE.DAT and couleur.wmf. Tests
// change the public members, call write(), and may then damage what they want to test.
class TestKb {
public:
    struct Species {
        QString code, name, family;
    };
    struct Object {
        QString key;
        int rows = 1, columns = 2, firstState = 0, stateCount = 2, frame = 0, descNum = 0;
        QString tip, popup;
        bool joker = true;
    };
    struct Variant {  // a "Hierarchie" row
        int drawing = 0;
        QString name;
        QStringList conditions;  // state codes; "Fin" is added after the last one
    };
    struct Zone {  // a "Clic_Zone" row
        QString object;
        int frame = 0;
        bool testFrame = false;
        int x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        QStringList conditions;
    };
    struct Dependency {
        QString parentState, object;
    };
    struct Button {
        QString caption, file, tip, key;
    };
    struct CommonName {
        QString language, name, code;
    };

    TestKb();

    // The default base: 3 species, 2 questions of 2 and 3 states, 2 colours, one drawing.
    QMap<QString, QString> parameters;  // "Parametres": row key -> "Etat"
    std::vector<QColor> colours;
    QStringList colourCodes;
    QStringList stateCodes;  // "ID_CARAC" of state NUM i
    std::vector<Species> flora;
    std::vector<Object> objects;
    std::vector<Variant> variants;
    std::vector<Zone> zones;
    std::vector<Dependency> dependencies;
    std::vector<Button> deterButtons, questButtons;
    QMap<QString, int> contradictions;  // object key -> "Bouton"
    QStringList languages;
    std::vector<CommonName> commonNames;
    std::vector<qint16> weights;
    std::vector<qint16> matrix;  // species fastest
    // "TipText" of state NUM i in "Caracteres"; the column exists only when this is not empty.
    QStringList stateTips;

    void write();
    // Makes the base a key without a drawing (as an imported one): no drawing, no palette,
    // no variants. Call before write().
    void dropDrawing();
    // Runs SQL on the written database (to damage it).
    void exec(const QString& sql) const;
    void writeFile(const QString& name, const QByteArray& bytes) const;
    // Writes, after write(), the pictures the window shows: every "File" of the button rows
    // and every "Popup" of the questions, as PNGs in the data folder. A picture of choices is
    // a grid of "Lignes" x "Colonnes" cells in distinct greys, 60 x 40 pixels each.
    void writePictures() const;

    QString dataDir() const { return dir_.path() + QLatin1Char('/'); }
    QString databaseName() const { return QStringLiteral("kb.sqlite"); }
    QString databasePath() const { return dataDir() + databaseName(); }
    kb::LoadOptions options() const;
    // Writes the installation keys of this base (every folder its data folder) and English.
    void install(platform::Settings& settings) const;

private:
    QTemporaryDir dir_;
};

// English texts for the tree roots, as the string table gives them.
std::optional<QString> englishText(int k);

}  // namespace testing_support
