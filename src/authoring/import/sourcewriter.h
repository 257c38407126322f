#pragma once

#include "authoring/import/importplan.h"

#include <QImage>
#include <QString>

namespace authoring {

// Writes an imported key as a knowledge-base source that an author can read, edit and
// rebuild: "kb.txt" and the pictures of states under "pictures/".
class SourceWriter {
public:
    static constexpr int kToolbarQuestions = 10;  // questions with a toolbar button
    static constexpr int kPictureSide = 400;      // largest side of a state's picture

    bool write(const ImportPlan& plan, const QString& origin, const QString& folder);
    QString errorString() const { return m_error; }
    QStringList notes() const { return m_notes; }

    static QString quoted(const QString& text);
    static QString text(const ImportPlan& plan, const QString& origin, const QStringList& pictures);
    // The "texts LANG" blocks of the languages the dataset gives besides its own.
    static QString translations(const ImportPlan& plan);

private:
    QString statePicture(const PlannedState& s, const QString& folder);

    QString m_error;
    QStringList m_notes;
    QString m_pictureDecoded;  // the last picture decoded, with its result
    QImage m_picture;
    QString m_pictureError;
};

}  // namespace authoring
