#pragma once

#include <QStringView>

namespace platform {

// Compares two texts ignoring case exactly as QString::compare(..., Qt::CaseInsensitive)
// does (each UTF-16 unit folded, then the lengths), but walks plain ASCII without calling
// into the general folding: index orders and tree siblings compare tens of thousands of
// codes and names at start-up, nearly all of them ASCII. Returns <0, 0 or >0.
int compareIgnoringCase(QStringView a, QStringView b);

}  // namespace platform
