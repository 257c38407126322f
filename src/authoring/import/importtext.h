#pragma once

#include <QString>

// Wording of what an import writes for people to read.
namespace authoring::importtext {

// The first letter in upper case: DELTA writes features in lower case, to be joined into
// sentences ("culms woody"), while a question stands on its own ("(Mature) culms").
inline QString capitalised(QString text) {
    for (QChar& c : text)
        if (c.isLetter()) {
            c = c.toUpper();
            break;
        }
    return text;
}

}  // namespace authoring::importtext
