#pragma once

#include <QString>
#include <QStringList>

namespace documents {

// The browser engine behind the document view is a second program (Chromium's) with rules of
// its own: it refuses to run as root with its sandbox on, and it stops the whole process when
// its helper program or its resources are missing. These checks run before it starts, so the
// user reads why instead of seeing the program vanish.

// To be called before the application object exists. For a root user who gave no sandbox
// setting of their own, turns the engine's sandbox off (it would refuse to start otherwise)
// and returns the sentence to tell the user; returns an empty text when nothing was changed.
QString prepareDocumentEngine(const QStringList& arguments);

// Why the engine cannot start on this machine, with the file at fault.
struct EngineProblem {
    enum Kind { None, HelperMissing, ResourcesMissing };
    Kind kind = None;
    QString path;
};
EngineProblem documentEngineProblem();

// To be called before the engine draws its first page. The engine's pages are drawn by Qt
// Quick; drawn into a graphics texture, they would make every later flush of the window that
// holds them a composited one, paid by every repaint of the window even while no document is
// shown. Drawn in software, the pages are plain pictures and the window keeps its raster
// flushes. Documents are static pages without scripts, which software draws well. A backend
// the user chose through Qt's own environment variables is left alone.
void drawDocumentsInSoftware();

}  // namespace documents
