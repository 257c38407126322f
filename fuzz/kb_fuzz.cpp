// Feeds arbitrary bytes to the loader as a knowledge-base file and its two data files. The
// input is split in three at its first two occurrences of the separator "\xff\xfe\xfd".
#include "kb/loader.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "kb_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    static QTemporaryDir dir;

    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray sep("\xff\xfe\xfd", 3);
    QList<QByteArray> parts;
    qsizetype from = 0;
    for (int i = 0; i < 2; ++i) {
        const qsizetype at = input.indexOf(sep, from);
        if (at < 0) break;
        parts << input.mid(from, at - from);
        from = at + sep.size();
    }
    parts << input.mid(from);
    while (parts.size() < 3) parts << QByteArray();

    writeFile(dir.filePath("kb.sqlite"), parts[0]);
    writeFile(dir.filePath("POIDS.DAT"), parts[1]);
    writeFile(dir.filePath("MATRICE.DAT"), parts[2]);
    kb::Model model;
    kb::LoadOptions options;
    options.dataDir = dir.path() + QLatin1Char('/');
    options.databaseName = QStringLiteral("kb.sqlite");
    options.paletteBox = QImage(8, 8, QImage::Format_RGB32);
    options.text = [](int) { return std::optional<QString>(QStringLiteral("root")); };
    kb::loadKnowledgeBase(model, options);
    return 0;
}
