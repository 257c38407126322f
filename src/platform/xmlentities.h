#pragma once

#include <QByteArray>
#include <QString>

// Entities declared inside an XML file expand where they are used, and the parser hands
// over an element's text whole: a few kilobytes of entity used a hundred thousand times
// would fill memory before any of it could be looked at. The file's entity references are
// therefore counted before it is parsed, as browsers bound expansion: in number and in the
// total of text they produce.
namespace platform::xmlentities {

constexpr qint64 kMaxExpandedChars = 4 << 20;
constexpr qint64 kMaxExpansions = 1'000'000;

// False, with the reason in `error`, when expanding the file's entities would pass either
// limit (or an entity refers to itself).
bool withinBounds(const QByteArray& bytes, QString& error);

}  // namespace platform::xmlentities
