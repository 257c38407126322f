#pragma once

#include "authoring/compiler/kblayout.h"
#include "authoring/compiler/kbsource.h"

#include <QHash>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace authoring {

class PlateRenderer;

// Writes the HTML documents: for every species "f/code/code_LANG.html", its drawing sheet
// "code_ds.html" with the page picture "code.gif", and its drawing pages
// "dessin_01_LANG.html" (only for a key with a drawing: without one there is no picture to
// show); and the error pages "error_LANG.html" of the data folder.
class DocumentWriter {
public:
    DocumentWriter(const KbSource& kb, const KbLayout& layout, const PlateRenderer& plates)
        : m_kb(kb), m_layout(layout), m_plates(plates) {}

    bool writeSpecies(const QString& documentFolder, bool pagePictures);
    bool writeErrorPages(const QString& dataFolder);
    QString errorString() const { return m_error; }

    static QString speciesFolder(const QString& code);

private:
    bool writeOne(const Species& s, const QString& folder, bool pagePictures);
    QString speciesPage(const Species& s, const QString& lang) const;
    QString drawingSheet(const Species& s) const;
    QString drawingPage(const Species& s, const QString& lang) const;
    bool writeText(const QString& path, const QString& html);

    // The characters table's words, escaped once for every page: each question's text and
    // its states' labels, and where each state code (in upper case) stands.
    struct CharacterWords {
        std::vector<QString> tips;
        std::vector<std::vector<QString>> labels;             // by question, by state
        QHash<QString, std::vector<std::pair<int, int>>> at;  // code -> (question, state)
    };
    const CharacterWords& characterWords() const;
    mutable std::optional<CharacterWords> m_words;  // made on first use

    const KbSource& m_kb;
    const KbLayout& m_layout;
    const PlateRenderer& m_plates;
    QString m_error;
};

}  // namespace authoring
