// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11ClipboardOwners.h"

#include <QHash>
#include <QTest>

// The owners of the clipboard as the X server announces them, and what
// becomes of a copy that the window manager's window (GNOME's compositor)
// takes over: the departed owner's copy, secret unless a read found it
// was not, or its own secret offered again.
class TestX11ClipboardOwners : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void current_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected");

        // "take A": app A takes the clipboard; "wm M": the window manager's
        // window does; "own": Quillmark does; "leave": the owner's window or
        // client goes away; "plain A" / "secret A": a read of A's latest copy
        // learnt whether it is a secret; "secret-text M T": M's secret text
        // was read, T; "text M T": M's text was read to compare, T.
        QTest::newRow("a plain copy handed on after its owner quit")
            << QStringList{"take A", "plain A", "leave", "wm M"}
            << QStringLiteral("handed-on plain");
        QTest::newRow("an owner that quit before anybody asked: a secret")
            << QStringList{"take A", "plain A", "take B", "leave", "wm M"}
            << QStringLiteral("handed-on secret");
        QTest::newRow("the window manager's window offers no mark: a secret stays one")
            << QStringList{"take A", "secret A", "leave", "wm M", "plain M"}
            << QStringLiteral("handed-on secret");
        QTest::newRow("the window manager's window over a living owner: a new copy")
            << QStringList{"take A", "plain A", "wm M"} << QStringLiteral("foreign unknown");
        QTest::newRow("the same window taking the clipboard again: a new copy")
            << QStringList{"take A", "secret A", "take A"} << QStringLiteral("foreign unknown");
        QTest::newRow("Quillmark kept the text first, then lost the race")
            << QStringList{"take A", "plain A", "leave", "own", "wm M"}
            << QStringLiteral("handed-on plain");
        // A Wayland app's copy comes through the window manager's window,
        // which offers a secret again once the app quits.
        QTest::newRow("its secret offered again: handed on")
            << QStringList{"wm M", "secret M", "secret-text M pw", "wm M", "text M pw", "plain M"}
            << QStringLiteral("handed-on secret");
        QTest::newRow("... but another text is a new copy")
            << QStringList{"wm M", "secret M", "secret-text M pw", "wm M", "text M me", "plain M"}
            << QStringLiteral("foreign plain");
        QTest::newRow("... unless the secret's text was never read")
            << QStringList{"wm M", "secret M", "wm M", "text M me"}
            << QStringLiteral("handed-on secret");
        QTest::newRow("... as is one after another owner came between")
            << QStringList{"wm M", "secret M", "secret-text M pw", "own", "wm M"}
            << QStringLiteral("foreign unknown");
    }
    void current()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);

        X11ClipboardOwners owners;
        QHash<QString, quint64> serials; // each window's latest ownership
        const QHash<QString, quint32> windows{{"A", 0x200001}, {"B", 0x400001}, {"M", 0x600002}};
        using Kind = X11ClipboardOwners::Kind;
        using Secrecy = X11ClipboardOwners::Secrecy;
        for (const QString &step : steps) {
            const QString word = step.section(QLatin1Char(' '), 0, 0);
            const QString name = step.section(QLatin1Char(' '), 1, 1);
            const QByteArray text = step.section(QLatin1Char(' '), 2).toUtf8();
            if (word == QLatin1String("take") || word == QLatin1String("wm")) {
                owners.taken(windows.value(name), Kind::foreign, word == QLatin1String("wm"));
                serials.insert(name, owners.current().serial);
            } else if (word == QLatin1String("own")) {
                owners.taken(0x800001, Kind::own, false);
            } else if (word == QLatin1String("leave")) {
                owners.left();
            } else if (word == QLatin1String("secret-text")) {
                owners.remember(serials.value(name), text);
            } else if (word == QLatin1String("text")) {
                owners.compare(serials.value(name), text);
            } else if (word == QLatin1String("plain") || word == QLatin1String("secret")) {
                owners.classify(serials.value(name),
                                word == QLatin1String("plain") ? Secrecy::plain : Secrecy::secret);
            } else {
                QFAIL(qPrintable(step));
            }
        }

        const X11ClipboardOwners::Owner &owner = owners.current();
        QCOMPARE(owner.kind, Kind::foreign);
        QString actual = owner.handedOn ? QStringLiteral("handed-on ") : QStringLiteral("foreign ");
        actual += owner.secrecy == Secrecy::plain    ? QStringLiteral("plain")
                  : owner.secrecy == Secrecy::secret ? QStringLiteral("secret")
                                                     : QStringLiteral("unknown");
        if (owner.maybeSecret)
            actual += QStringLiteral(", to compare");
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestX11ClipboardOwners)
#include "tst_X11ClipboardOwners.moc"
