#pragma once

#include "engine/keytables.h"
#include "kb/basetexts.h"
#include "kb/model.h"
#include "platform/settings.h"
#include "platform/stringtable.h"

#include <QSet>
#include <QString>
#include <optional>

namespace vkb {

// A knowledge base folder opened for a command that reads it whole: its folders planned as
// the installer plans them, the checker's faults refusing it (its findings printed on
// standard error, warnings let through), then loaded as the program loads it.
class CheckedBase {
public:
    // False with errorString() when the folder is not a usable knowledge base.
    bool open(const QString& kbDir);
    QString errorString() const { return error_; }

    kb::Model& model() { return model_; }
    const engine::KeyTables& tables() const { return tables_; }
    const platform::Settings::Installation& installation() const { return at_; }
    // The base's texts in `language` where its "Textes" table gives them, else its own, as
    // `rank --language` shows them; a malformed table is said on standard error and changes
    // nothing. Call after open(), before the tables are read.
    void useLanguage(const QString& language);
    // A text of the base in the language chosen, else `fallback`.
    QString baseText(kb::BaseTexts::Kind kind, const QString& key, const QString& fallback) const {
        return texts_.text(language_, kind, key, fallback);
    }
    std::optional<QString> text(int key, int language = 0) const {
        return strings_.text(key, language);
    }

private:
    kb::Model model_;
    engine::KeyTables tables_;
    kb::BaseTexts texts_;
    QString language_;
    platform::Settings::Installation at_;
    platform::StringTable strings_;
    QString error_;
};

// Takes "--language xx" at args[*i] (moving *i past it) into *language, lower case. False for
// any other argument; true with *bad set when the language is missing or empty.
bool takeLanguageOption(const QStringList& args, int* i, QString* language, bool* bad);

// Writes a file whole or not at all: the old file survives a failure (error says why).
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error);

// The folders of the knowledge base in kbDir as the installer plans them; nothing, with why in
// error, when it holds no base.
std::optional<platform::Settings::Installation> plannedBase(const QString& kbDir, QString* error);

// Runs the checker over a planned base, its findings printed on standard error. False when the
// checker cannot read the base (why in error) or finds a fault (error left empty); warnings let
// it through. With pictures, the drawing and the pictures of choices are checked too.
// The pictures it read whole and found sound go into *picturesShown when asked.
bool passesCheck(const platform::Settings::Installation& at, bool pictures, QString* error,
                 QSet<QString>* picturesShown = nullptr);

// Prints "vireka-kb COMMAND: MESSAGE" on standard error and returns code.
int failCommand(const QString& command, const QString& message, int code);

}  // namespace vkb
