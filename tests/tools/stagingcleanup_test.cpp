#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

using testing_support::writeFile;

namespace {

// A DELTA dataset large enough that its import spends seconds writing: many items on many
// characters.
void writeLargeDelta(const QString& folder) {
    const int characters = 40, items = 2500;
    QByteArray chars = "*CHARACTER LIST\n";
    for (int c = 1; c <= characters; ++c) {
        chars += "#" + QByteArray::number(c) + ". feature " + QByteArray::number(c) + "/\n";
        for (int s = 1; s <= 4; ++s)
            chars += "  " + QByteArray::number(s) + ". state " + QByteArray::number(s) + "/\n";
    }
    QByteArray body = "*ITEM DESCRIPTIONS\n";
    for (int i = 0; i < items; ++i) {
        body += "# Genus" + QByteArray::number(i % 97) + " species" + QByteArray::number(i) + "/";
        for (int c = 1; c <= characters; ++c)
            body += " " + QByteArray::number(c) + "," + QByteArray::number(1 + (i * c) % 4);
        body += "\n";
    }
    writeFile(folder + "/specs", "*NUMBER OF CHARACTERS " + QByteArray::number(characters) +
                                     "\n*NUMBERS OF STATES 1-" + QByteArray::number(characters) +
                                     ",4\n");
    writeFile(folder + "/chars", chars);
    writeFile(folder + "/items", body);
}

QStringList stagingFolders(const QString& parent, const QString& out) {
    return QDir(parent).entryList({"." + out + ".building-*"},
                                  QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray firstLine(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed() : QByteArray();
}

QByteArray hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? QByteArray(name) : QByteArray();
}

// A staging folder whose owner file names a process: `pid` with the start time given.
void writeStaging(const QString& folder, qint64 pid, const QByteArray& start) {
    ASSERT_TRUE(QDir().mkpath(folder + "/documents"));
    writeFile(folder + "/vireka.db", "half written");
    writeFile(folder + "/.staging-owner",
              "pid " + QByteArray::number(pid) + "\nstart " + start + "\nboot " +
                  firstLine("/proc/sys/kernel/random/boot_id") + "\nhost " + hostName() + "\n");
}

QByteArray ownStartTime() {
    QFile f("/proc/self/stat");
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray stat = f.readAll();
    return stat.mid(stat.lastIndexOf(')') + 2).split(' ').value(19);
}

class StagingCleanup : public ::testing::Test {
protected:
    void SetUp() override {
        writeLargeDelta(dir.filePath("large"));
        testing_support::writeDeltaGrasses(dir.filePath("small"));
    }
    // Starts an import of the large dataset into OUT and returns once its staging folder
    // holds files, or fails.
    void startImport(QProcess& p) {
        p.start(QStringLiteral(VIREKA_KB_PATH),
                {"import", "delta", dir.filePath("large"), dir.filePath("out")});
        ASSERT_TRUE(p.waitForStarted());
        QDeadlineTimer deadline(120000);
        while (!deadline.hasExpired() && p.state() == QProcess::Running) {
            const QStringList s = stagingFolders(dir.path(), "out");
            if (!s.isEmpty() && QFileInfo::exists(dir.filePath(s.first() + "/source/kb.txt")))
                return;
            QThread::msleep(5);
        }
        FAIL() << "the import ended or stalled before its staging folder was filled: "
               << p.readAllStandardError().toStdString();
    }

    QTemporaryDir dir;
};

}  // namespace

// Asked to stop, an import removes the folder it was writing and ends by the signal.
TEST_F(StagingCleanup, AStoppedImportRemovesItsStagingFolder) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QProcess p;
        startImport(p);
        ASSERT_FALSE(HasFatalFailure());
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({"large", "small"}));
    }
}

// A killed import leaves its folder; the next run into the same OUT removes it, and only
// it: a folder whose writer still runs, and one nobody can be shown to own, stay.
TEST_F(StagingCleanup, TheNextRunRemovesOnlyProvablyAbandonedFolders) {
    QProcess p;
    startImport(p);
    ASSERT_FALSE(HasFatalFailure());
    ::kill(pid_t(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList killed = stagingFolders(dir.path(), "out");
    ASSERT_EQ(killed.size(), 1);

    const QString live = dir.filePath(".out.building-live01");
    writeStaging(live, ::getpid(), ownStartTime());
    // The same id with another start time: the id was given to a new process since.
    const QString reused = dir.filePath(".out.building-reused");
    writeStaging(reused, ::getpid(), ownStartTime() + "0");
    const QString unowned = dir.filePath(".out.building-nomark");
    ASSERT_TRUE(QDir().mkpath(unowned));
    const QString otherOut = dir.filePath(".other.building-abcdef");
    writeStaging(otherOut, 999999999, "1");

    const testing_support::ToolRun r =
        testing_support::runTool(QStringLiteral(VIREKA_KB_PATH),
                                 {"import", "delta", dir.filePath("small"), dir.filePath("out")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(killed.first())));
    EXPECT_FALSE(QFileInfo::exists(reused));
    EXPECT_TRUE(QFileInfo::exists(live + "/vireka.db"));
    EXPECT_TRUE(QFileInfo::exists(unowned));
    EXPECT_TRUE(QFileInfo::exists(otherOut));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out/.staging-owner")));
}

// A build stopped while it writes leaves nothing beside its output either.
TEST_F(StagingCleanup, AStoppedBuildRemovesItsStagingFolder) {
    QProcess p;
    p.start(QStringLiteral(VIREKA_KB_PATH),
            {"build", QStringLiteral(VIREKA_DEMO_SOURCE), dir.filePath("kb")});
    ASSERT_TRUE(p.waitForStarted());
    QDeadlineTimer deadline(120000);
    bool seen = false;
    while (!seen && !deadline.hasExpired() && p.state() == QProcess::Running) {
        const QStringList s = stagingFolders(dir.path(), "kb");
        seen = !s.isEmpty() && QFileInfo::exists(dir.filePath(s.first() + "/.staging-owner"));
        if (!seen) QThread::msleep(2);
    }
    ASSERT_TRUE(seen) << "the build ended before its staging folder was seen";
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(stagingFolders(dir.path(), "kb").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("kb")));
}
