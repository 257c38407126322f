#include "inspectsession.h"

#include "engine/identificationfile.h"
#include "engine/measureanswer.h"
#include "kb/loader.h"
#include "platform/boundedfile.h"

#include <QTextStream>

namespace vkb {

QString InspectSession::language() const {
    return option(QStringLiteral("language")).trimmed().toLower();
}

std::optional<QString> InspectSession::text(int key) const {
    // The interface's own messages follow the language too where the program has it.
    const QString l = language();
    const int code = l == QLatin1String("es") ? 1 : l == QLatin1String("fr") ? 2 : 0;
    return strings_.text(key, code);
}

int InspectSession::fail(const QString& command, const QString& message) {
    QTextStream(stderr) << "vireka-kb " << command << ": " << message << "\n";
    return 2;
}

bool InspectSession::parse(const QStringList& args, const QStringList& valueOptions,
                           const QStringList& flags) {
    for (int i = 0; i < args.size(); ++i) {
        const QString name = args[i].startsWith(QLatin1String("--")) ? args[i].mid(2) : QString();
        if (name == QLatin1String("measure") && i + 1 < args.size()) {
            measures_ << args[++i];
        } else if (flags.contains(name)) {
            options_.insert(name, QString());
        } else if (valueOptions.contains(name) && i + 1 < args.size()) {
            options_.insert(name, args[++i]);
        } else {
            error_ = valueOptions.contains(name)
                         ? QStringLiteral("option %1 needs a value").arg(args[i])
                         : QStringLiteral("unknown argument '%1'").arg(args[i]);
            return false;
        }
    }
    for (const char* required : {"data", "base"}) {
        if (!options_.contains(QLatin1String(required))) {
            error_ = QStringLiteral("--%1 is required").arg(QLatin1String(required));
            return false;
        }
    }
    if (has(QStringLiteral("language")) && language().isEmpty()) {
        error_ = QStringLiteral("--language needs a language such as fr");
        return false;
    }
    if (has(QStringLiteral("threshold"))) {
        bool ok = false;
        option(QStringLiteral("threshold")).toInt(&ok);
        if (!ok) {
            error_ = QStringLiteral("--threshold needs a whole number");
            return false;
        }
    }
    return true;
}

bool InspectSession::load() {
    strings_.loadBuiltIn();
    kb::LoadOptions options;
    options.dataDir = option(QStringLiteral("data"));
    if (!options.dataDir.endsWith(QLatin1Char('/'))) options.dataDir += QLatin1Char('/');
    options.databaseName = option(QStringLiteral("base"));
    options.text = [this](int k) { return text(k); };
    const kb::LoadResult result = kb::loadKnowledgeBase(model_, options);
    if (!result.ok()) {
        QString message = result.message;
        if (result.stringId != 0) message = text(result.stringId).value_or(message);
        // The program names the weights file at that checkpoint whatever failed before it;
        // here what failed is said first.
        if (result.failedAt == kb::Checkpoint::WeightsOpen && !result.detail.isEmpty()) {
            error_ = QStringLiteral("cannot load the knowledge base: ") + result.detail;
            return false;
        }
        error_ = QStringLiteral("cannot load the knowledge base: ") + message +
                 (result.detail.isEmpty() ? QString() : QStringLiteral(" (") + result.detail + ')');
        return false;
    }
    engine::EngineSettings settings;
    settings.DataDir = options.dataDir;
    settings.ListThreshold =
        has(QStringLiteral("threshold")) ? option(QStringLiteral("threshold")).toInt() : -1;
    engine_ = std::make_unique<engine::Engine>(
        model_, engine::KeyTables::fromModel(model_), dialogs_, [this](int k) { return text(k); },
        settings);
    if (has(QStringLiteral("language"))) {
        QString textsError;
        baseTexts_ = kb::BaseTexts::load(model_.KnowledgeBase, &textsError);
        if (!textsError.isEmpty()) QTextStream(stderr) << "warning: " << textsError << "\n";
        engine_->setTextLanguage(baseTexts_, language());
    }
    return true;
}

bool InspectSession::identify() {
    engine_->Nettoye();
    engine_->Actualise_Identification();
    const bool file = has(QStringLiteral("qnt"));
    if (!file && measures_.isEmpty()) return true;
    if (file && !readIdentificationFile(option(QStringLiteral("qnt")))) return false;
    if (!answerMeasures()) return false;
    engine_->Actualise_Identification();
    return true;
}

// Each --measure KEY=VALUE answers its question as the field of its picture of choices does,
// in the order given, after the identification file.
bool InspectSession::answerMeasures() {
    using Outcome = engine::MeasureChoice::Outcome;
    for (const QString& m : measures_) {
        const qsizetype equals = m.indexOf(QLatin1Char('='));
        const QString key = m.left(equals), value = m.mid(equals + 1);
        const Outcome outcome =
            equals < 0 ? Outcome::NotMeasured : engine::answerMeasure(*engine_, key, value).outcome;
        if (outcome == Outcome::Chosen) continue;
        if (outcome == Outcome::NotMeasured)
            error_ =
                QStringLiteral("--measure %1: no question %2 is answered by a number").arg(m, key);
        else
            error_ = QStringLiteral("--measure %1: ").arg(m) +
                     text(outcome == Outcome::NotANumber ? 1861 : 1862)
                         .value_or(QStringLiteral("%1"))
                         .arg(value);
        return false;
    }
    return true;
}

bool InspectSession::identifyEach(
    const std::function<void(const QString&)>& print,
    const std::function<void(const QString&, const QString&)>& failed) {
    QByteArray list;
    const QString listPath = option(QStringLiteral("qnt-list"));
    if (!platform::BoundedFile::read(listPath, 64 << 20, &list).ok()) {
        error_ = QStringLiteral("cannot read ") + listPath;
        return false;
    }
    for (const QByteArray& line : list.split('\n')) {
        const QString path = QString::fromUtf8(line).trimmed();
        if (path.isEmpty()) continue;
        engine_->Nettoye();
        engine_->Actualise_Identification();
        if (!readIdentificationFile(path) || !answerMeasures()) {
            failed(path, error_);
            error_.clear();
            continue;
        }
        engine_->Actualise_Identification();
        print(path);
    }
    return true;
}

// The file is read as the program opens it: what the program refuses is refused here with
// the same message, and a file of another length is read with its warning.
bool InspectSession::readIdentificationFile(const QString& path) {
    using engine::IdentificationFile;
    auto& state = engine_->state();
    const auto check =
        IdentificationFile::inspect(path, state.StateChoice.size(), state.FrameState.size());
    if (check.status == IdentificationFile::Status::CannotOpen) {
        error_ = path + text(1074).value_or(QString()) + QStringLiteral(" (") + check.errorString +
                 QLatin1Char(')');
        return false;
    }
    if (check.status == IdentificationFile::Status::Foreign) {
        error_ = text(1601).value_or(QStringLiteral("%1")).arg(path);
        return false;
    }
    if (check.lengthDiffers)
        QTextStream(stderr) << text(1600).value_or(QStringLiteral("%1")).arg(path) << "\n";
    IdentificationFile::read(path, state.StateChoice, state.FrameState);
    return true;
}

int InspectSession::run(const QString& command, const QStringList& args, const QStringList& flags,
                        const QString& usage,
                        const std::function<void(InspectSession&, QTextStream&)>& print) {
    if (args.contains(QLatin1String("--help"))) {
        QTextStream(stdout) << usage;
        return 0;
    }
    InspectSession session;
    if (!session.parse(args, {"data", "base", "threshold", "qnt", "qnt-list", "language"}, flags))
        return fail(command, session.errorString() + "\n" + usage);
    QTextStream out(stdout);
    if (session.hasBatch()) {
        if (!session.load() ||
            !session.identifyEach(
                [&](const QString& path) { print(session, out << "== " << path << "\n"); },
                [&](const QString& path, const QString& error) {
                    out << "== " << path << "\nerror: " << error << "\n";
                }))
            return fail(command, session.errorString());
        return 0;
    }
    if (!session.load() || !session.identify()) return fail(command, session.errorString());
    print(session, out);
    return 0;
}

}  // namespace vkb
