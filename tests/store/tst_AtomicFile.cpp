// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AtomicFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The system calls whose failure must reach the caller: this program's own
// fsync and rename come before the C library's, and fail with the error set
// here (0: they pass the call on).
namespace {
int g_fsyncError = 0;
int g_renameError = 0;
template <typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int fsync(int fd)
{
    if (g_fsyncError != 0) {
        errno = g_fsyncError;
        return -1;
    }
    static const auto real = next<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    if (g_renameError != 0) {
        errno = g_renameError;
        return -1;
    }
    static const auto real = next<int (*)(const char *, const char *)>("rename");
    return real(from, to);
}

class TestAtomicFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replacesWholeFilePrivatelyOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.json"));
        QCOMPARE(AtomicFile::write(path, QByteArray(100'000, 'a')), QString());
        QCOMPARE(fileMode(path), 0600);

        // A shorter replacement leaves nothing of the longer file behind, and a
        // file that was readable by others becomes private.
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        QCOMPARE(AtomicFile::write(path, "[\n\n]"), QString());
        QCOMPARE(fileContents(path), QByteArray("[\n\n]"));
        QCOMPARE(fileMode(path), 0600);

        // A write that runs out of room (here: the file-size limit) must leave
        // the previous file whole and no temporary file behind.
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
        QCOMPARE(fileContents(path), QByteArray("[\n\n]"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("history.json")});
    }

    // A refused or failed write says why and where, and leaves what was there
    // as it was with nothing beside it. Renaming over a pipe or a device would
    // replace what is not ours to replace (as root, even /dev/null); data not
    // known to be on disk, or not in place, is not saved.
    void failureNamesTheReason_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("special"); // what sits at the path
        QTest::addColumn<int>("fsyncError");
        QTest::addColumn<int>("renameError");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing directory")
            << "missing/file.json" << QString() << 0 << 0 << "No such file";
        QTest::newRow("directory is a file")
            << "plain/file.json" << QString() << 0 << 0 << "Not a directory";
        for (const char *kind : {"fifo", "directory", "null"})
            QTest::newRow(kind) << "plain" << kind << 0 << 0 << "not a regular file";
        QTest::newRow("fsync") << "plain" << QString() << EIO << 0 << "Cannot flush";
        QTest::newRow("rename") << "plain" << QString() << 0 << EXDEV << "Cannot replace";
    }

    void failureNamesTheReason()
    {
        QFETCH(QString, relativePath);
        QFETCH(QString, special);
        QFETCH(int, fsyncError);
        QFETCH(int, renameError);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(relativePath);
        if (special.isEmpty())
            QVERIFY(writeFileContents(dir.filePath(QStringLiteral("plain")), "old"));
        else
            QVERIFY(makeSpecialFile(path, special));
        const QStringList before =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);

        g_fsyncError = fsyncError;
        g_renameError = renameError;
        const QString error = AtomicFile::write(path, "new");
        g_fsyncError = g_renameError = 0;
        QVERIFY2(error.contains(reason) && error.contains(dir.path()), qPrintable(error));
        if (fsyncError + renameError != 0)
            QVERIFY2(error.contains(std::strerror(fsyncError + renameError)), qPrintable(error));
        if (special.isEmpty())
            QCOMPARE(fileContents(dir.filePath(QStringLiteral("plain"))), QByteArray("old"));
        QCOMPARE(
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
            before);
    }

    void writesThroughSymbolicLink_data()
    {
        // The links between the path written and the file at the end.
        QTest::addColumn<int>("links");
        QTest::newRow("one link") << 1;
        QTest::newRow("relative links, three deep") << 3;
    }

    void writesThroughSymbolicLink()
    {
        QFETCH(int, links);
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("shared"))));
        const QString target = dir.filePath(QStringLiteral("shared/history.json"));
        QCOMPARE(AtomicFile::write(target, "one"), QString());
        // The user shares the file with a group on purpose.
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);
        QString next = QStringLiteral("shared/history.json");
        QString path;
        for (int i = links; i >= 1; --i) {
            path = dir.filePath(QStringLiteral("link%1").arg(i));
            QVERIFY(QFile::link(links == 3 ? next : dir.filePath(next), path));
            next = QStringLiteral("link%1").arg(i);
        }

        QCOMPARE(AtomicFile::write(path, "two"), QString());
        QCOMPARE(fileContents(target), QByteArray("two"));
        for (int i = 1; i <= links; ++i)
            QVERIFY(QFileInfo(dir.filePath(QStringLiteral("link%1").arg(i))).isSymLink());
        QCOMPARE(fileMode(target), 0640);
    }

    void leftoversOfOthersAreKept()
    {
        // Only what our own interrupted writes leave is removed: in a shared
        // directory a file of the same shape but another mode or owner stays.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.json"));
        const QString ours = dir.filePath(QStringLiteral(".history.json.Ab12Cd"));
        const QString stray = dir.filePath(QStringLiteral(".history.json.Zz99Yy"));
        for (const QString &file : {ours, stray})
            QVERIFY(writeFileContents(file, {}));
        QVERIFY(::chmod(QFile::encodeName(ours).constData(), 0600) == 0);
        QVERIFY(::chmod(QFile::encodeName(stray).constData(), 0664) == 0);
        AtomicFile::removeLeftovers(path);
        QVERIFY(!QFileInfo::exists(ours));
        QVERIFY(QFileInfo::exists(stray));
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_AtomicFile.moc"
