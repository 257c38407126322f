// Feeds arbitrary bytes to the readers of spreadsheet matrices: a csv file, an OpenDocument
// table (content.xml), an Office Open XML sheet with its shared strings, and two archives
// read whole as .xlsx and .ods. Each sheet read becomes a dataset; one that does is mapped and
// written as a source that must parse and check (importsourcecheck.h). Every refusal names
// the file it read.
#include "authoring/import/sheet.h"
#include "authoring/import/tabledataset.h"
#include "fuzzinput.h"
#include "importsourcecheck.h"

#include <QTemporaryDir>
#include <cstdlib>

namespace {

// Small limits: a huge sheet costs a fuzzer its speed, not its findings.
authoring::SheetLimits limits() {
    authoring::SheetLimits l;
    l.expandedBytes = 4 << 20;
    l.rows = 200;
    l.columns = 64;
    l.cellChars = 256;
    return l;
}

void asDataset(const authoring::Sheet& sheet, const QString& folder) {
    authoring::Dataset data;
    QString error;
    if (!authoring::tableDataset(sheet, {QStringLiteral("/;")}, data, &error)) {
        if (!error.startsWith(sheet.file + QLatin1Char(':'))) std::abort();
        return;
    }
    fuzz::importedSourceChecks(data, folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("table_fuzz");
    static QTemporaryDir root;
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 6);
    const QString source = root.filePath(QStringLiteral("source"));
    {
        authoring::SheetReader reader(limits());
        authoring::Sheet sheet{QStringLiteral("m.csv"), {}};
        if (reader.readDelimited(parts[0], QLatin1Char(','), sheet)) asDataset(sheet, source);
    }
    {
        authoring::SheetReader reader(limits());
        authoring::Sheet sheet{QStringLiteral("m.ods"), {}};
        if (reader.readOdsContent(parts[1], sheet)) asDataset(sheet, source);
    }
    {
        authoring::SheetReader reader(limits());
        authoring::Sheet sheet{QStringLiteral("m.xlsx"), {}};
        QStringList strings;
        if (reader.readSharedStrings(parts[2], strings) &&
            reader.readXlsxSheet(parts[3], strings, sheet))
            asDataset(sheet, source);
    }
    for (const auto& [part, name] : {std::pair{4, "book.xlsx"}, std::pair{5, "book.ods"}}) {
        const QString file = root.filePath(QLatin1String(name));
        fuzz::writeFile(file, parts[part]);
        authoring::SheetReader reader(limits());
        authoring::Sheet sheet;
        if (!reader.read(file, sheet)) {
            if (!reader.errorString().startsWith(file)) std::abort();
            continue;
        }
        asDataset(sheet, source);
    }
    return 0;
}
