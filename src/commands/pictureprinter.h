#pragma once

#include "commands/drawingprinter.h"

#include <QImage>

class QPrinter;

namespace commands {

// The page picture of a drawing sheet, scanned at 300 dots an inch: printed at its physical
// size from the top-left corner of the printable area (shrunk to fit), once per copy, each
// copy a job of its own (pages of one job when printing to a file).
PrintOutcome printPagePicture(QPrinter& printer, const QImage& picture, int copies);

// The picture of choices of the open question, whatever picture format the knowledge base
// uses: once on a landscape page, fitted and centred, however many copies were asked. The
// printer's orientation is put back afterwards. A picture that cannot be read prints nothing.
PrintOutcome printChoicePicture(QPrinter& printer, const QString& path);

}  // namespace commands
