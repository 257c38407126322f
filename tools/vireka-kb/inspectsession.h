#pragma once

#include "engine/engine.h"
#include "kb/basetexts.h"
#include "kb/model.h"
#include "platform/stringtable.h"
#include "stderrdialogs.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>

namespace vkb {

// What the inspection commands share: their options, the knowledge base loaded as the
// program loads it, and an engine over it with English texts.
class InspectSession {
public:
    // Parses "--name value" options and "--flag" switches; the names allowed are given.
    // Anything else, or a missing --data or --base, is an error.
    bool parse(const QStringList& args, const QStringList& valueOptions, const QStringList& flags);
    QString option(const QString& name) const { return options_.value(name); }
    bool has(const QString& name) const { return options_.contains(name); }

    // Loads the knowledge base; false with errorString() when it cannot be used.
    bool load();
    // Clears and ranks as start-up does, then reads the identification file if one was given
    // and ranks again; --threshold sets the list threshold.
    bool identify();
    // The same for each identification file named in --qnt-list (one path a line): calls
    // `print` after each, or `failed` with the message when a file cannot be used. Loading
    // the base once makes many descriptions cheap to compare with another engine.
    bool hasBatch() const { return has(QStringLiteral("qnt-list")); }
    bool identifyEach(const std::function<void(const QString& path)>& print,
                      const std::function<void(const QString& path, const QString& error)>& failed);

    kb::Model& model() { return model_; }
    engine::Engine& engine() { return *engine_; }
    // An interface text in the language of --language (English when it is not one of the
    // program's), and that language ("" without the option).
    std::optional<QString> text(int key) const;
    QString language() const;
    QString errorString() const { return error_; }

    // Runs an inspection command that prints what the engine shows: after the identification
    // file of --qnt (or none), or for each file of --qnt-list under a "== PATH" line, with
    // "error: MESSAGE" for a file that cannot be used. Returns the exit code.
    static int run(const QString& command, const QStringList& args, const QStringList& flags,
                   const QString& usage,
                   const std::function<void(InspectSession&, QTextStream&)>& print);

    // Prints a message on standard error and returns the exit code of bad arguments.
    static int fail(const QString& command, const QString& message);

private:
    bool readIdentificationFile(const QString& path);
    bool answerMeasures();

    QMap<QString, QString> options_;
    QStringList measures_;  // --measure KEY=VALUE, in the order given
    kb::Model model_;
    platform::StringTable strings_;
    StderrDialogs dialogs_;
    std::unique_ptr<engine::Engine> engine_;
    kb::BaseTexts baseTexts_;
    QString error_;
};

}  // namespace vkb
