// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RuntimeDirectory.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fallbackIn(const QTemporaryDir &base)
{
    return base.filePath(QStringLiteral("quillmark-%1").arg(::geteuid()));
}

// Makes `path` in the given shape: a directory of an octal mode, "link" (a
// symbolic link to a private directory beside it), "file" or "missing".
void make(const QString &path, const QString &shape)
{
    if (shape == QLatin1String("link")) {
        make(path + QStringLiteral(".real"), QStringLiteral("0700"));
        QVERIFY(QFile::link(path + QStringLiteral(".real"), path));
    } else if (shape == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (shape != QLatin1String("missing")) {
        QVERIFY(QDir().mkdir(path));
        QVERIFY(::chmod(QFile::encodeName(path), mode_t(shape.toUInt(nullptr, 8))) == 0);
    }
}

} // namespace

// The runtime directory decides who may answer our requests: only one that
// is the user's alone may be used, and a squatted fallback is refused.
class TestRuntimeDirectory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xdgRuntimeDirIsUsedOnlyWhenPrivate_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("used");
        QTest::newRow("private") << "0700" << true;
        QTest::newRow("group can read") << "0750" << false;
        QTest::newRow("symbolic link to a private directory") << "link" << false;
        QTest::newRow("unset") << "unset" << false;
        QTest::newRow("relative") << "relative" << false;
    }

    void xdgRuntimeDirIsUsedOnlyWhenPrivate()
    {
        QFETCH(QString, shape);
        QFETCH(bool, used);
        QTemporaryDir root;
        QTemporaryDir base;
        QString xdg = root.filePath(QStringLiteral("runtime"));
        if (shape == QLatin1String("unset"))
            xdg.clear();
        else if (shape == QLatin1String("relative"))
            xdg = QStringLiteral("runtime");
        else
            make(xdg, shape);

        const RuntimeDirectory::Result result = RuntimeDirectory::resolve(xdg, base.path());
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.path, used ? xdg : fallbackIn(base));
        if (!used) {
            QCOMPARE(fileMode(result.path), 0700);
            // Made once, then found again.
            QCOMPARE(RuntimeDirectory::resolve(xdg, base.path()).path, result.path);
        }
    }

    void squattedFallbackIsRefused_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("why");
        QTest::newRow("readable by the group") << "0750"
                                               << "other users can access it (mode 0750)";
        QTest::newRow("symbolic link to a private directory") << "link"
                                                              << "it is a symbolic link";
        QTest::newRow("a regular file") << "file"
                                        << "it is not a directory";
        QTest::newRow("owned by another user") << "other"
                                               << "it belongs to another user (uid 65534)";
    }

    void squattedFallbackIsRefused()
    {
        QFETCH(QString, shape);
        QFETCH(QString, why);
        QTemporaryDir base;
        const QString fallback = fallbackIn(base);
        if (shape == QLatin1String("other")) {
            if (::geteuid() != 0)
                QSKIP("making a directory of another user needs root");
            make(fallback, QStringLiteral("0700"));
            QVERIFY(::chown(QFile::encodeName(fallback), 65534, 65534) == 0);
        } else {
            make(fallback, shape);
        }
        const int before = fileMode(fallback);

        const RuntimeDirectory::Result result = RuntimeDirectory::resolve({}, base.path());
        QVERIFY(result.path.isEmpty());
        QCOMPARE(result.error,
                 QStringLiteral("Refusing to use the runtime directory %1: %2").arg(fallback, why));
        // Refused, not repaired.
        QCOMPARE(fileMode(fallback), before);
    }
};

QTEST_GUILESS_MAIN(TestRuntimeDirectory)
#include "tst_RuntimeDirectory.moc"
