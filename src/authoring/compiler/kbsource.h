#pragma once

#include "kb/measures.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QStringList>

// The knowledge base as its author wrote it, before it is compiled into tables, data files
// and pictures. Every item remembers the source line it came from, so that the checks made
// after parsing can still point at the right place.
namespace authoring {

struct SourcePlace {
    QString file;
    int line = 0;
    QString where() const { return file + QLatin1Char(':') + QString::number(line); }
};

struct Language {
    QString id;    // short tag used in the source: en, fr, es
    QString name;  // the "Langue" shown in the species tree
    SourcePlace place;
};

struct PaletteEntry {
    QString name;  // how figures of the source refer to the colour
    QString code;  // "Code_Couleur": the question asked by a click on it; empty: none
    QColor colour;
    SourcePlace place;
};

// One figure of a drawing, in the 2400 x 1800 units of the drawing area.
struct Shape {
    enum Kind { Polygon, Ellipse, Rectangle, Polyline };
    Kind kind = Polygon;
    QString fill;     // palette code; empty for a polyline
    QString outline;  // palette code of the pen; empty: no outline
    int penWidth = 0;
    QList<QPoint> points;   // polygon/polyline vertices; two corners for ellipse and rectangle
    bool mirrored = false;  // drawn once more reflected about the picture's axis
};

// A point where the stacked drawing must show the given palette colour.
struct Probe {
    QString code;
    QPoint point;
    SourcePlace place;
};

struct Figure {
    QString path;  // relative to the drawing folder: "00/BODY_A.WMF", "CONTRA/EYES_A.WMF"
    int axis = 1200;
    QList<Shape> shapes;
    QList<Probe> probes;
    SourcePlace place;
};

struct LayerVariant {
    QString name;            // "Nom"
    QStringList conditions;  // state codes that must all be chosen
    SourcePlace place;
};

struct Layer {
    int number = 0;
    QList<LayerVariant> variants;
    SourcePlace place;
};

struct Zone {
    QString question;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int frame = -1;        // frame the zone lies in; -1 outside every frame
    bool isFrame = false;  // the row that stands for the frame itself
    QStringList conditions;
    SourcePlace place;
};

// How a state is pictured in its question's picture of choices.
struct StatePicture {
    QList<QColor> swatch;  // colour bands, left to right
    QString figure;        // name of a vignette figure
    QString image;         // picture file under the source's pictures/ folder
};

struct State {
    QString id;     // "ID_CARAC"
    QString label;  // caption under its picture
    QString tip;    // "TipText"; the label when not given
    int weight = 0;
    bool ownWeight = false;  // false: the question's weight is taken
    StatePicture picture;
    std::optional<kb::MeasureRange> range;  // the values it holds, in a measured question
    SourcePlace place;
};

struct Question {
    QString key;  // "Objet"
    QString tip;  // "TipText"
    int rows = 0, columns = 0;
    int frame = -1;
    bool proposable = true;
    int weight = 1;
    QString group;           // heading it is listed under in the questions panel; empty: none
    QStringList conditions;  // parent states: the question is cleared when they are
    bool measured = false;   // answered by typing a number; each state has a range
    QString unit;
    QList<State> states;
    SourcePlace place;
};

struct Species {
    QString code;  // five characters
    QString name;
    QString family;
    QString legend;
    QMap<QString, QString> commonNames;  // language id -> name
    QStringList shows;                   // state codes with matrix value 1
    // Questions the species was never described for: every state shows, and the base
    // records them so that a match on them is not taken for a described one.
    QStringList uncoded;
    QMap<QString, QString> descriptions;  // document language -> paragraph(s)
    SourcePlace place;
};

struct Button {
    QString caption;
    QString tip;
    QString key;   // object key, "Search" or "Results"; empty on the question toolbar
    QString icon;  // vignette figure or symbol drawn on the button picture
    QColor colour;
    SourcePlace place;
};

struct Contradiction {
    QString question;
    int button = -1;  // -1: shown as a drawing layer
    QString popup;    // name stem under CONTRA/
    SourcePlace place;
};

// A small figure for pictures of choices and buttons, in a 200 x 200 box.
struct Vignette {
    QString name;
    QList<Shape> shapes;
    QMap<QString, QColor> colours;  // colours local to the vignette
    SourcePlace place;
};

// A text of the base in another language, from a "texts LANG" block. The key names what it
// translates: a question key, a state code, a group's heading, a character-toolbar button's
// key, a question-toolbar button's number; empty for the title.
struct Translation {
    enum Kind { Title, Question, State, Group, DeterButton, QuestionButton };
    QString language;
    Kind kind = Title;
    QString key;
    QString text;  // the question, the state's label, the heading, the caption
    QString tip;   // a state's or button's tip; empty: not given
    SourcePlace place;
};

struct KbSource {
    QString title;
    QString folder;  // the source folder
    QStringList documentLanguages{QStringLiteral("en"), QStringLiteral("fr")};
    QList<Language> languages;
    QList<PaletteEntry> palette;
    QList<Question> questions;
    QList<Species> species;
    QList<Layer> layers;
    QList<Figure> figures;
    QList<Zone> zones;
    QList<Button> deterButtons;
    QList<Button> questionButtons;
    QList<Contradiction> contradictions;
    QList<Vignette> vignettes;
    QList<Translation> translations;

    int stateCount() const {
        int n = 0;
        for (const Question& q : questions) n += int(q.states.size());
        return n;
    }
};

}  // namespace authoring
