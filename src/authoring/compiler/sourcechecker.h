#pragma once

#include "authoring/compiler/kblayout.h"
#include "authoring/compiler/kbsource.h"

#include <QString>

namespace authoring {

// Checks that a parsed source makes a consistent knowledge base (every reference resolves,
// the counts fit the program's 16-bit arithmetic, every picture that may be loaded is
// drawn) and numbers its items. The first problem is kept as "file:line: message".
class SourceChecker {
public:
    bool check(KbSource& kb, KbLayout& layout);
    QString errorString() const { return m_error; }

private:
    bool checkPalette();
    bool checkQuestions();
    bool checkDependencies();
    bool checkSpecies();
    bool checkDrawings();
    bool checkZones();
    bool checkButtons();
    bool checkTranslations();
    bool checkFileNames();
    bool checkStatePictures();
    bool knownStates(const QStringList& codes, const SourcePlace& place);
    bool hasVignette(const QString& name) const;
    SourcePlace mainPlace() const;
    bool fail(const SourcePlace& place, const QString& message);

    KbSource* m_kb = nullptr;
    KbLayout* m_layout = nullptr;
    QString m_error;
};

}  // namespace authoring
