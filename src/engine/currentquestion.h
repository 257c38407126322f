#pragma once

#include <QString>

namespace engine {

// The question that is open: written by whoever opens it (the search, a toolbar button, a
// click on the drawing), read by validation and by the picture of choices.
struct CurrentQuestion {
    QString CurrentObject;     // "Objet"
    int ObjectRows = 0;        // "Lignes"
    int ObjectColumns = 0;     // "Colonnes"
    int ObjectFirstState = 0;  // "Index_Car"
    int ObjectStateCount = 0;  // "Nb_Car"
    int ObjectFrame = -1;      // "Cadre"; -1: the object opens no frame
    int ObjectDescriptor = 0;  // "Desc_Num"
    QString ObjectTipText;     // "TipText"
    QString ObjectPicture;     // "Popup", relative to the descriptor folder
    int SelectedChoice = -1;   // highlighted cell among the object's states; -1: none
};

}  // namespace engine
