#pragma once

#include "kb/basetexts.h"
#include "kb/database.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace vkb {

// Looks through a compiled knowledge base for what the program takes for granted: the
// parameter rows, consistent keys between the tables, the data files' sizes, and the pictures
// and documents it will open. Scores are not bounded: both engines sum them exactly.
class KbCheck {
public:
    KbCheck(const QString& dataDir, const QString& base);
    // Optional folders of the drawings, the pictures of choices and the local documents.
    void setFolders(const QString& drawings, const QString& descriptors, const QString& documents);

    bool open();
    QString errorString() const { return error_; }
    // One line per finding, in the order the checks run; empty when all is well. Lines that
    // begin with "warning: " name something the program copes with.
    QStringList run();
    // The pictures run() read whole and found the program can show (canonical paths).
    QSet<QString> picturesShown() const;

    // The size of the page picture of a drawing sheet.
    static constexpr int PageWidth = 2200;
    static constexpr int PageHeight = 3300;

private:
    void checkParameters();
    void checkColoursAndFlora();
    void checkStates();
    void checkObjects();
    void checkConditions(const QString& table);
    void checkDependencies();
    void checkDependencyCycles(const std::vector<std::pair<QString, QString>>& rows);
    void checkContradictions();
    void checkMeasures();
    void checkButtons(const QString& table, int count, bool keyed);
    void checkDataFiles();
    void checkPictures();
    void checkDrawings();
    void checkContradictionPictures(const QString& dir, const QStringList& suffixes,
                                    const std::function<void(const QString&)>& need);
    void checkDocuments();
    void checkTexts();
    // What a "Textes" row of this kind and key fails to name ("state", ...); empty: it exists.
    QString unknownTextTarget(kb::BaseTexts::Kind kind, const QString& key);
    void checkPagePicture(const QString& code, const QString& name);
    QString fileProblem(const QString& folder, const QString& name, bool picture) const;
    bool pictureShown(const QString& path, QString* why) const;
    // A finding is said once, however many checks come upon it.
    void add(const QString& finding) {
        if (!said_.contains(finding)) findings_ << finding;
        said_.insert(finding);
    }

    QString dataDir_, base_, drawings_, descriptors_, documents_;
    kb::Database db_;
    QString error_;
    QStringList findings_;
    QSet<QString> said_;
    QHash<QString, int> counts_;
    QSet<QString> objectKeys_;                      // case-folded
    QSet<QString> stateCodes_;                      // case-folded
    QSet<QString> exactCodes_;                      // as written
    QHash<QString, QPair<int, int>> objectStates_;  // folded key -> first state, count
    QHash<int, QString> codeOfState_;
    QSet<QString> groups_;  // headings of "Groupes"
    // Pictures already decoded, by canonical path: many questions name one picture.
    struct PictureRead {
        QString path;  // the path it was read by, which a reason names
        bool shown = false;
        QString why;
    };
    mutable QHash<QString, PictureRead> picturesRead_;
};

}  // namespace vkb
