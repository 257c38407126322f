#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/deltatext.h"

#include <QSet>
#include <QString>
#include <functional>

namespace authoring {

// Reads a DELTA dataset folder: "specs", "chars" and "items", the optional "cimages",
// "timages", "tokey" and "key", and the translation files ("toint", "tonat") with
// the files they pull in with INPUT FILE; then every other file of the folder that holds
// directives, for what those did not give (headings and notes often have files of their
// own). Directives are applied in dependency order
// whatever file holds them. A fault that makes the data unreadable stops the reading with
// "file:line: message"; a value that cannot be used is noted and left out.
class DeltaReader {
public:
    bool read(const QString& folder, Dataset& out);
    QString errorString() const { return m_error; }

private:
    static constexpr int kMaxNotes = 1000;  // a summary longer than that says nothing more

    bool readFile(const QString& path, int depth);
    bool apply(const deltatext::Directive& d);
    bool characterList(const deltatext::Directive& d);
    bool itemDescriptions(const deltatext::Directive& d);
    bool item(const deltatext::Directive& d, qsizetype from, qsizetype end, qsizetype to);
    void attribute(const deltatext::Directive& d, qsizetype at, const QString& token, Item& it);
    void multistate(const Character& c, const QString& values, Attribute& a,
                    const std::function<QString()>& where);
    void numeric(const QString& values, Attribute& a, const std::function<QString()>& where);
    void eachValue(const QString& values, Attribute& a,
                   const std::function<void(const QString&)>& value);
    bool perCharacter(const deltatext::Directive& d);
    bool dependencies(const deltatext::Directive& d);
    bool keyStates(const deltatext::Directive& d);
    bool headings(const deltatext::Directive& d);
    bool subheadings(const deltatext::Directive& d);
    bool characterNotes(const deltatext::Directive& d);
    void groupBySubheadings();
    void readOtherFiles();
    bool keywords(const deltatext::Directive& d);
    void groupByKeywords();
    bool characterImages(const deltatext::Directive& d);
    bool taxonImages(const deltatext::Directive& d);
    void resolveDependencies();

    Character* character(int number);
    void note(const QString& where, const QString& message);
    bool fail(const deltatext::Directive& d, qsizetype pos, const QString& message);

    struct RawDependency {
        int controller;
        QList<int> states;
        QList<int> dependants;
        bool applicable;
    };
    Dataset* m_out = nullptr;
    QString m_folder;
    QList<deltatext::Directive> m_directives;
    QSet<QString> m_readFiles;
    QList<RawDependency> m_rawDependencies;
    QList<QPair<QString, QList<int>>> m_keywordSets;  // keyword -> character numbers
    QList<QPair<int, QString>> m_subheadings;         // character number -> subheading
    QString m_error;
};

}  // namespace authoring
