#pragma once

#include "authoring/sddexport/sddsourcebase.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace authoring {

struct SddStatePicture {
    int state = 0;     // state number
    QString fileName;  // inside the folder of pictures
    QByteArray png;
};

// The picture of each state: its cell of its question's picture of choices, cut out. A
// question without a readable picture, and a cell of one flat colour, give none.
QList<SddStatePicture> cutStatePictures(const SddSourceBase& base);

}  // namespace authoring
