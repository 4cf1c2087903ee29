#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <QRandomGenerator>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

class TestAtomicFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replacesWholeFileWithPrivateMode();
    void failedWriteKeepsOldFile();
    void failureNamesTheReason_data();
    void failureNamesTheReason();
    void writesThroughSymbolicLink();
    void killDuringWritesLeavesWholeFile();
};

static int fileMode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestAtomicFile::replacesWholeFileWithPrivateMode()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.json"));
    QCOMPARE(AtomicFile::write(path, QByteArray(100'000, 'a')), QString());
    QCOMPARE(fileMode(path), 0600);

    // A shorter replacement leaves nothing of the longer file behind, and a
    // file that was readable by others becomes private.
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
    QCOMPARE(AtomicFile::write(path, "[\n\n]"), QString());
    QCOMPARE(readAll(path), QByteArray("[\n\n]"));
    QCOMPARE(fileMode(path), 0600);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("history.json")});
}

// A write that runs out of room (here: the file-size limit) must leave the
// previous file whole and no temporary file behind.
void TestAtomicFile::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.json"));
    QCOMPARE(AtomicFile::write(path, "old history"), QString());

    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    const QString error = AtomicFile::write(path, QByteArray(100'000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY2(error.contains(QStringLiteral("File too large")), qPrintable(error));
    QCOMPARE(readAll(path), QByteArray("old history"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("history.json")});
}

void TestAtomicFile::failureNamesTheReason_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing directory")
        << QStringLiteral("missing/file.json") << QStringLiteral("No such file or directory");
    QTest::newRow("directory is a file")
        << QStringLiteral("plain/file.json") << QStringLiteral("Not a directory");
    QTest::newRow("target is a directory")
        << QStringLiteral("folder") << QStringLiteral("Is a directory");
}

void TestAtomicFile::failureNamesTheReason()
{
    QFETCH(QString, relativePath);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    const QString error = AtomicFile::write(dir.filePath(relativePath), "data");
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.contains(dir.path()), qPrintable(error));
}

void TestAtomicFile::writesThroughSymbolicLink()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("real.json"));
    const QString link = dir.filePath(QStringLiteral("link.json"));
    QCOMPARE(AtomicFile::write(target, "one"), QString());
    QVERIFY(QFile::link(target, link));
    QCOMPARE(AtomicFile::write(link, "two"), QString());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(target), QByteArray("two"));
}

// A process killed at any moment while saving leaves either the old or the
// new file, never a mix or an empty one; its leftovers can be cleaned up.
void TestAtomicFile::killDuringWritesLeavesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.json"));
    const QByteArray first(2 << 20, 'a');
    const QByteArray second(2 << 20, 'b');
    QCOMPARE(AtomicFile::write(path, first), QString());

    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                (void)AtomicFile::write(path, i % 2 ? first : second);
        }
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(2'000, 60'000)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray now = readAll(path);
        QVERIFY2(now == first || now == second, qPrintable(QString::number(now.size())));
    }

    AtomicFile::removeLeftovers(path);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("history.json")});
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_AtomicFile.moc"
