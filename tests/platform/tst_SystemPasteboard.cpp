// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardConnection.h"
#include "StoreHarness.h"
#include "SystemPasteboard.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The pasteboard over a clipboard connection, driven through the store's
// real poll: what a sequence of copies, owners leaving and copy-backs
// leaves in the history and on the clipboard. A text kept after its owner
// quits, and an image's owner quitting, are test_capture's, in every
// session.
namespace {

// A connection the test drives: "another app" copies and leaves; Quillmark's
// own writes are recorded.
class FakeConnection final : public ClipboardConnection {
public:
    void setText(const QString &text) override { held = text; }
    void clear() override { held.reset(); }
    void withdraw() override { held = QString(); } // an empty offer

    void copy(const std::optional<QString> &text, bool secret = false, bool handedOn = false)
    {
        held.reset();
        Q_EMIT foreignCopy(text, secret, 0, handedOn);
    }
    void refuse(qint64 bytes)
    {
        held.reset();
        Q_EMIT foreignCopy(std::nullopt, false, bytes, false);
    }
    void ownerQuits() { Q_EMIT emptied(); }

    // What Quillmark put on the clipboard last, if it holds it.
    std::optional<QString> held;
};

// The pasteboard over a FakeConnection, under a store that polls when the
// test says.
struct Rig {
    explicit Rig(const QString &captureMode = QStringLiteral("recordEveryCopy"))
        : backend({{QStringLiteral("startMonitoringImmediately"), false},
                   {QStringLiteral("captureMode"), captureMode}})
    {
    }
    FakeConnection *connection = new FakeConnection;
    SystemPasteboard pasteboard{std::unique_ptr<ClipboardConnection>(connection)};
    MemorySettingsBackend backend;
    FakeLoginItem login;
    AppSettings settings{backend, login};
    FixedClock clock;
    QTemporaryDir dir;
    ClipboardStore store{settings, pasteboard, clock, dir.filePath(QStringLiteral("h.json"))};
};

} // namespace

class TestSystemPasteboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sequence_data()
    {
        QTest::addColumn<QString>("captureMode");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<std::optional<QString>>("held");

        const QString suppress = QStringLiteral("suppressConsecutiveDuplicates");
        const QString every = QStringLiteral("recordEveryCopy");
        using Held = std::optional<QString>;

        QTest::newRow("two copies between ticks: the last one, and it is kept")
            << suppress << QStringList{"copy A", "copy B", "tick", "quit", "tick"}
            << QStringList{"B"} << Held("B");
        QTest::newRow("a secret's owner quits: nothing kept or recorded")
            << every << QStringList{"secret S", "tick", "quit", "tick"} << QStringList{} << Held();
        QTest::newRow("a secret after a text: the text is not brought back")
            << every << QStringList{"copy A", "tick", "secret S", "quit", "tick"}
            << QStringList{"A"} << Held();
        QTest::newRow("same text copied again after a takeover: recorded again")
            << every << QStringList{"copy A", "tick", "quit", "tick", "copy A", "tick"}
            << QStringList{"A", "A"} << Held();
        QTest::newRow("copy-back is recorded once; emptied later, nothing restored")
            << every << QStringList{"copy A", "tick", "back B", "tick", "quit", "tick"}
            << QStringList{"B", "A"} << Held("B");
        // "desktop T": the owner went away and the desktop took the
        // clipboard over, offering T (GNOME does, ignoring the secret mark).
        QTest::newRow("the desktop keeps the text: no second item")
            << every << QStringList{"copy A", "tick", "desktop A", "tick"} << QStringList{"A"}
            << Held();
        QTest::newRow("... also after Quillmark kept it for a moment")
            << every << QStringList{"copy A", "quit", "tick", "desktop A", "tick", "quit", "tick"}
            << QStringList{"A"} << Held("A");
        QTest::newRow("the desktop keeps a secret: not recorded, withdrawn")
            << every << QStringList{"copy A", "tick", "secret S", "tick", "desktop S", "tick"}
            << QStringList{"A"} << Held(QString());
        // "desktop-secret": the desktop took over from an owner whose copy
        // nobody could classify before it quit, so that copy counts as a secret.
        QTest::newRow("the desktop hands on a secret that was missed: not recorded, withdrawn")
            << every << QStringList{"copy A", "tick", "desktop-secret", "tick", "quit", "tick"}
            << QStringList{"A"} << Held(QString());
        // "huge": a text above the capture limit, refused unread.
        QTest::newRow("a huge text's owner quits: nothing kept")
            << every << QStringList{"copy A", "tick", "huge", "quit", "tick"} << QStringList{"A"}
            << Held();
        QTest::newRow("a copy after a huge text is recorded")
            << every << QStringList{"huge", "tick", "copy B", "tick"} << QStringList{"B"} << Held();
        QTest::newRow("the desktop hands on a copy that was missed: recorded")
            << every << QStringList{"copy A", "tick", "desktop B", "tick"} << QStringList{"B", "A"}
            << Held();
    }
    void sequence()
    {
        QFETCH(QString, captureMode);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, history);
        QFETCH(std::optional<QString>, held);

        Rig rig(captureMode);
        FakeConnection *connection = rig.connection;
        for (const QString &step : steps) {
            const QString word = step.section(QLatin1Char(' '), 0, 0);
            const QString text = step.section(QLatin1Char(' '), 1);
            if (word == QLatin1String("copy"))
                connection->copy(text);
            else if (word == QLatin1String("secret"))
                connection->copy(std::nullopt, true);
            else if (word == QLatin1String("desktop"))
                connection->copy(text, false, true);
            else if (word == QLatin1String("desktop-secret"))
                connection->copy(std::nullopt, true, true);
            else if (word == QLatin1String("huge"))
                connection->refuse(200 * 1024 * 1024);
            else if (word == QLatin1String("quit"))
                connection->ownerQuits();
            else if (word == QLatin1String("back"))
                rig.pasteboard.writeBack(text);
            else if (word == QLatin1String("tick"))
                rig.store.pollPasteboard();
            rig.clock.advance(1000);
        }
        QCOMPARE(contents(rig.store.items()), history);
        QCOMPARE(connection->held, held);
    }
};

QTEST_GUILESS_MAIN(TestSystemPasteboard)
#include "tst_SystemPasteboard.moc"
