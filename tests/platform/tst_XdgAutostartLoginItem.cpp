// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestXdgAutostartLoginItem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    }

    void registerWritesEntryForTheBinaryAndUnregisterRemovesIt()
    {
        XdgAutostartLoginItem item(XdgAutostartLoginItem::defaultDesktopFilePath(),
                                   QStringLiteral("/opt/quill mark/bin/quillmark"));
        QCOMPARE(item.desktopFilePath(), m_config->path() + "/autostart/quillmark.desktop");
        QCOMPARE(item.registerItem(), QString());

        QFile file(item.desktopFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.first(), "[Desktop Entry]");
        QVERIFY(lines.contains("Exec=\"/opt/quill mark/bin/quillmark\""));
        QVERIFY(lines.contains("TryExec=/opt/quill mark/bin/quillmark"));
        QCOMPARE(file.permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        // Registering again (every start re-applies the setting) replaces it.
        QCOMPARE(item.registerItem(), QString());
        QCOMPARE(QDir(m_config->path() + "/autostart").entryList(QDir::Files).size(), 1);

        // Unregistering removes it; an entry already absent is no failure.
        QCOMPARE(item.unregisterItem(), QString());
        QVERIFY(!QFile::exists(item.desktopFilePath()));
        QCOMPARE(item.unregisterItem(), QString());
    }

    void execIsQuoted_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("exec");
        QTest::addColumn<QByteArray>("tryExec");
        QTest::newRow("dollar and quote") << R"(/home/a/$HOME/"q"/quillmark)"
                                          << QByteArray(R"("/home/a/\\$HOME/\\"q\\"/quillmark")")
                                          << QByteArray(R"(/home/a/$HOME/"q"/quillmark)");
        QTest::newRow("backslash and backtick")
            << R"(/x\y/`z`/quillmark)" << QByteArray(R"("/x\\\\y/\\`z\\`/quillmark")")
            << QByteArray(R"(/x\\y/`z`/quillmark)");
        QTest::newRow("percent is not a field code")
            << "/tmp/100%/quillmark" << QByteArray(R"("/tmp/100%%/quillmark")")
            << QByteArray("/tmp/100%/quillmark");
    }
    void execIsQuoted()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, exec);
        QFETCH(QByteArray, tryExec);
        const QList<QByteArray> lines = XdgAutostartLoginItem::desktopEntry(path).split('\n');
        QVERIFY2(lines.contains("Exec=" + exec), XdgAutostartLoginItem::desktopEntry(path));
        QVERIFY2(lines.contains("TryExec=" + tryExec), XdgAutostartLoginItem::desktopEntry(path));
    }

    void failuresAreDescribed()
    {
        // A regular file where the autostart folder should be: nothing can
        // be written under it (even as root), and nothing is registered.
        QFile blocker(m_config->path() + "/autostart");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        XdgAutostartLoginItem item(XdgAutostartLoginItem::defaultDesktopFilePath(),
                                   QStringLiteral("/usr/bin/quillmark"));
        const QString error = item.registerItem();
        QVERIFY(!error.isEmpty());
        QVERIFY2(error.contains(m_config->path()), qPrintable(error));
        QCOMPARE(item.unregisterItem(), QString());

        // A non-empty directory in the entry's place cannot be removed.
        QVERIFY(QFile::remove(blocker.fileName()));
        QVERIFY(QDir().mkpath(item.desktopFilePath() + "/inside"));
        QVERIFY(!item.unregisterItem().isEmpty());
        QVERIFY(!item.registerItem().isEmpty());

        XdgAutostartLoginItem relative(item.desktopFilePath(), QStringLiteral("quillmark"));
        QVERIFY(!relative.registerItem().isEmpty());
        // A line break of either kind would end the Exec line early.
        for (const QString &path :
             {QStringLiteral("/opt/a\nb/quillmark"), QStringLiteral("/opt/a\rb/quillmark")}) {
            XdgAutostartLoginItem broken(item.desktopFilePath(), path);
            QVERIFY2(broken.registerItem().contains(u"line break"), qPrintable(path));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

QTEST_GUILESS_MAIN(TestXdgAutostartLoginItem)
#include "tst_XdgAutostartLoginItem.moc"
