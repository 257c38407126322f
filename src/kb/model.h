#pragma once

#include "kb/database.h"
#include "kb/datavalues.h"
#include "kb/speciestree.h"
#include "platform/int16.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace kb {

using platform::i16;

struct Bgr {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    bool operator==(const Bgr&) const = default;
};

// The knowledge base in memory, built once by the loader and kept for the whole run. The
// counts, palette, names, weights, matrix and loaded "Joker" flags are read-only after
// loading; the kept cursors are shared, and each user sets the index and row it needs.
class Model {
public:
    // Counts from "Parametres"; 0 until read.
    i16 ColourCount = 0;
    i16 SpeciesCount = 0;
    i16 StateCount = 0;
    i16 FrameCount = 0;
    i16 DrawingCount = 0;
    i16 CharButtonCount = 0;
    i16 DeterButtonCount = 0;
    i16 QuestionButtonCount = 0;
    i16 ConstraintCount = 0;

    // Drawing colour palette; entry i is cell i of the palette picture.
    std::vector<std::uint32_t> PaletteColour;  // 0x00BBGGRR
    std::vector<Bgr> PaletteBGR;
    std::vector<QString> PaletteCode;  // "Code_Couleur" of "Couleurs" row i+1

    std::vector<QString> SpeciesName;  // by species index ("Flore" order)
    std::vector<i16> StateWeight;      // by state, from POIDS.DAT
    // Species-by-state values from MATRICE.DAT, species index varying fastest; mapped from
    // the file where the platform allows.
    DataValues Matrix;
    // "Joker" of each "Objets_Fic" row, indexed by its "Desc_Num", as loaded.
    std::vector<bool> JokerFlag;
    int ObjectCount = 0;  // rows of "Objets_Fic"

    // What start-up shows before the first ranking: the species list, one line per species
    // ("100% - " and the name, made when the line is shown), and the species tree.
    int speciesListLineCount() const { return int(SpeciesName.size()); }
    QString speciesListLine(int line) const {
        if (line < 0 || line >= speciesListLineCount()) return QString();
        return QStringLiteral("100% - ") + SpeciesName[size_t(line)];
    }
    SpeciesTree Tree;

    Database KnowledgeBase;
    Table WorkTable;            // "Parametres"; later reused for the toolbar tables
    Table HierarchyTable;       // "Hierarchie"
    Table ClickZoneTable;       // "Clic_Zone"
    Table CharacterTable;       // "Caracteres"
    Table FloraTable;           // "Flore"
    Table ObjectTable;          // "Objets_Fic", index "Objet"
    Table CommonLanguageTable;  // "Communs_Langues", index "Langue"

    i16 matrix(int species, int state) const {
        return Matrix[size_t(species) + size_t(SpeciesCount) * size_t(state)];
    }
    // The column of one state: SpeciesCount values, one per species.
    const i16* stateColumn(int state) const {
        return Matrix.data() + size_t(SpeciesCount) * size_t(state);
    }
};

}  // namespace kb
