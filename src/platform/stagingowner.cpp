#include "platform/stagingowner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace platform::stagingowner {

namespace {

const char* const kOwnerFile = ".staging-owner";

QByteArray firstLine(const char* path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.readLine(256).trimmed() : QByteArray();
}

QByteArray hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? QByteArray(name) : QByteArray();
}

// Field 22 of /proc/PID/stat: when the process started, in ticks since the boot. The
// command name before it may hold spaces and parentheses, so fields count from the last ')'.
QByteArray startTime(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray stat = f.read(4096);
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return {};
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields[19] : QByteArray();
}

QHash<QByteArray, QByteArray> readOwner(const QString& folder) {
    QHash<QByteArray, QByteArray> fields;
    const QByteArray path =
        QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(kOwnerFile));
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fields;
    struct stat st {};
    char buffer[1024] = {};
    ssize_t n = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    for (const QByteArray& line : QByteArray(buffer, n > 0 ? n : 0).split('\n'))
        if (const qsizetype space = line.indexOf(' '); space > 0)
            fields.insert(line.left(space), line.mid(space + 1));
    return fields;
}

}  // namespace

bool mark(const QString& folder) {
    const qint64 pid = ::getpid();
    QFile f(folder + QLatin1Char('/') + QLatin1String(kOwnerFile));
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
    const QByteArray text = "pid " + QByteArray::number(pid) + "\nstart " + startTime(pid) +
                            "\nboot " + firstLine("/proc/sys/kernel/random/boot_id") + "\nhost " +
                            hostName() + "\n";
    return f.write(text) == text.size() && f.flush();
}

void unmark(const QString& folder) {
    QFile::remove(folder + QLatin1Char('/') + QLatin1String(kOwnerFile));
}

bool isAbandoned(const QString& folder) {
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::getuid())
        return false;
    const auto owner = readOwner(folder);
    bool ok = false;
    const qint64 pid = owner.value("pid").toLongLong(&ok);
    // A folder written on another machine sharing the disk cannot be judged from here.
    if (!ok || pid <= 0 || owner.value("host") != hostName() || !owner.contains("start"))
        return false;
    if (owner.value("boot") != firstLine("/proc/sys/kernel/random/boot_id")) return true;
    if (pid == ::getpid()) return false;
    const QByteArray now = startTime(pid);
    return now.isEmpty() || now != owner.value("start");
}

void removeAbandoned(const QString& out) {
    const QFileInfo info(out);
    const QDir parent(info.absolutePath());
    const QString prefix = QLatin1Char('.') + info.fileName() + QStringLiteral(".building-");
    const QStringList names =
        parent.entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        if (const QString folder = parent.filePath(name);
            name.startsWith(prefix) && isAbandoned(folder))
            QDir(folder).removeRecursively();
}

}  // namespace platform::stagingowner
