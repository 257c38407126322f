#include "authoring/import/sheetarchive.h"

#include "platform/boundedfile.h"

#include <zip.h>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace authoring {

SheetArchive::~SheetArchive() {
    if (m_zip) zip_discard(m_zip);
}

bool SheetArchive::open(const QString& path) {
    const auto file = platform::BoundedFile::inspect(path);
    if (!file.ok()) return (m_error = file.errorString, false);
    if (file.size > m_limits.fileBytes)
        return (m_error = QStringLiteral("larger than %1 MB").arg(m_limits.fileBytes >> 20), false);
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!m_zip) return (m_error = QStringLiteral("not a spreadsheet (not a zip archive)"), false);
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count < 0 || count > m_limits.entries)
        return (
            m_error = QStringLiteral("an archive of more than %1 entries").arg(m_limits.entries),
            false);
    // Nothing is ever extracted, but a name that leads out of the archive is no spreadsheet
    // a program wrote.
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString n = name ? QString::fromUtf8(name) : QString();
        if (n.startsWith(QLatin1Char('/')) || n.startsWith(QLatin1Char('\\')) ||
            n.split(QRegularExpression(QStringLiteral("[/\\\\]"))).contains(QStringLiteral("..")))
            return (m_error = QStringLiteral("the archive holds an entry named outside it: %1")
                                  .arg(n.left(200)),
                    false);
    }
    m_budget = m_limits.expandedBytes;
    return true;
}

bool SheetArchive::has(const QString& name) const {
    return m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0;
}

bool SheetArchive::read(const QString& name, QByteArray& out) {
    out.clear();
    zip_file_t* f = m_zip ? zip_fopen(m_zip, name.toUtf8().constData(), 0) : nullptr;
    if (!f) return (m_error = QStringLiteral("the archive has no %1").arg(name), false);
    char chunk[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t n = zip_fread(f, chunk, sizeof chunk);
        if (n < 0) {
            m_error = QStringLiteral("%1 cannot be read from the archive").arg(name);
            ok = false;
            break;
        }
        if (n == 0) break;
        if (n > m_budget) {
            m_error = QStringLiteral("the archive expands to more than %1 MB")
                          .arg(m_limits.expandedBytes >> 20);
            ok = false;
            break;
        }
        m_budget -= n;
        out.append(chunk, qsizetype(n));
    }
    zip_fclose(f);
    return ok;
}

QString archivePath(const QString& base, const QString& target) {
    QString t = target;
    t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString joined = t.startsWith(QLatin1Char('/')) ? t.mid(1) : base + t;
    QStringList parts;
    for (const QString& p : joined.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (p == QLatin1String(".")) continue;
        if (p == QLatin1String("..")) {
            if (parts.isEmpty()) return {};
            parts.removeLast();
        } else {
            parts << p;
        }
    }
    return parts.join(QLatin1Char('/'));
}

}  // namespace authoring
