#pragma once

// Shared by the fuzz targets: the Qt application they need, and the splitting of one input
// into the several files a knowledge base is made of.
#include "kb/loader.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QList>
#include <QTemporaryDir>
#include <cstdint>

namespace fuzz {

inline void ensureApplication(const char* name) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// The input cut at its first count - 1 occurrences of "\xff\xfe\xfd"; missing parts are empty.
inline QList<QByteArray> splitInput(const std::uint8_t* data, size_t size, int count) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray sep("\xff\xfe\xfd", 3);
    QList<QByteArray> parts;
    qsizetype from = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const qsizetype at = input.indexOf(sep, from);
        if (at < 0) break;
        parts << input.mid(from, at - from);
        from = at + sep.size();
    }
    parts << input.mid(from);
    while (parts.size() < count) parts << QByteArray();
    return parts;
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// Writes the first four parts as a knowledge base (database, POIDS.DAT, MATRICE.DAT,
// couleur.wmf) into one temporary folder and loads it as the program does.
inline kb::LoadResult loadFuzzedBase(const QList<QByteArray>& parts, kb::Model& model,
                                     QString* dataDir = nullptr) {
    static QTemporaryDir dir;
    const char* names[] = {"kb.sqlite", "POIDS.DAT", "MATRICE.DAT", "couleur.wmf"};
    for (int i = 0; i < 4; ++i) writeFile(dir.filePath(QLatin1String(names[i])), parts.value(i));
    kb::LoadOptions options;
    options.dataDir = dir.path() + QLatin1Char('/');
    options.databaseName = QStringLiteral("kb.sqlite");
    options.text = [](int) { return std::optional<QString>(QStringLiteral("root")); };
    if (dataDir) *dataDir = options.dataDir;
    return kb::loadKnowledgeBase(model, options);
}

}  // namespace fuzz
