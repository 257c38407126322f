#include "inspectsession.h"

#include "kb/loader.h"

#include <QFile>
#include <QTextStream>
#include <QtEndian>

namespace vkb {

int InspectSession::fail(const QString& command, const QString& message) {
    QTextStream(stderr) << "vireka-kb " << command << ": " << message << "\n";
    return 2;
}

bool InspectSession::parse(const QStringList& args, const QStringList& valueOptions,
                           const QStringList& flags) {
    for (int i = 0; i < args.size(); ++i) {
        const QString name = args[i].startsWith(QLatin1String("--")) ? args[i].mid(2) : QString();
        if (flags.contains(name)) {
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
    return true;
}

bool InspectSession::identify() {
    engine_->Nettoye();
    engine_->Actualise_Identification();
    if (!has(QStringLiteral("qnt"))) return true;
    if (!readIdentificationFile(option(QStringLiteral("qnt")))) return false;
    engine_->Actualise_Identification();
    return true;
}

// The description as saved: the state choices, then the frame states, 16-bit little-endian.
// A short file fills only the first entries; the choices are skipped when their byte count
// does not fit in 16 bits, as the program does.
bool InspectSession::readIdentificationFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    auto& state = engine_->state();
    const auto readInto = [&file](std::vector<platform::i16>& values) {
        const QByteArray bytes = file.read(qint64(values.size()) * 2);
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            values[size_t(i / 2)] = qFromLittleEndian<qint16>(bytes.constData() + i);
    };
    if (2 * qint64(state.StateChoice.size()) <= 32767) readInto(state.StateChoice);
    readInto(state.FrameState);
    return true;
}

}  // namespace vkb
