// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryLock.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// One writer per history file: a second lock on the same history, reached
// by whatever path, is refused until the first is released.
class TestHistoryLock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondWriterIsRefused_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("same path") << false;
        QTest::newRow("through a linked directory") << true;
    }

    void secondWriterIsRefused()
    {
        QFETCH(bool, throughLink);
        QTemporaryDir root;
        const QString history =
            root.filePath(QStringLiteral("data/ClipboardHistory/clipboard-history.json"));
        QString other = history;
        if (throughLink) {
            QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("data/ClipboardHistory"))));
            QVERIFY(QFile::link(root.filePath(QStringLiteral("data/ClipboardHistory")),
                                root.filePath(QStringLiteral("alias"))));
            other = root.filePath(QStringLiteral("alias/clipboard-history.json"));
        }

        {
            HistoryLock first(history);
            QCOMPARE(first.acquire(), QString());
            if (!throughLink) {
                // Made by the lock, so private to the user.
                QCOMPARE(fileMode(QFileInfo(history).absolutePath()), 0700);
            }

            HistoryLock second(other);
            const QString refused = second.acquire();
            QVERIFY2(refused.contains(QLatin1String("another Quillmark")), qPrintable(refused));
            QVERIFY(second.isHeldElsewhere());
        }
        // Released with its owner.
        HistoryLock third(other);
        QCOMPARE(third.acquire(), QString());
    }

    void specialFileAtTheLockPathIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a pipe") << "fifo";
        QTest::newRow("a link to someone's file") << "link";
    }

    void specialFileAtTheLockPathIsRefused()
    {
        QFETCH(QString, kind);
        QTemporaryDir root;
        const QString history = root.filePath(QStringLiteral("clipboard-history.json"));
        HistoryLock lock(history);
        if (kind == QLatin1String("link")) {
            const QString target = root.filePath(QStringLiteral("theirs"));
            QVERIFY(writeFileContents(target, {}));
            QVERIFY(QFile::link(target, lock.lockFilePath()));
        } else {
            QVERIFY(makeSpecialFile(lock.lockFilePath(), kind));
        }
        // Refused at once rather than blocking on the pipe or locking what the
        // link leads to, and not taken for another Quillmark.
        QVERIFY(!lock.acquire().isEmpty());
        QVERIFY(!lock.isHeldElsewhere());
    }
};

QTEST_GUILESS_MAIN(TestHistoryLock)
#include "tst_HistoryLock.moc"
