// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DisplaySession.h"

#include <QTest>

class TestDisplaySession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decide_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<bool>("useXcb");
        QTest::addColumn<bool>("notice");
        QTest::addColumn<bool>("error");

        // A plain X11 session is every X11 end-to-end suite's.
        QTest::newRow("Wayland by session type")
            << QStringList{"DISPLAY=:1", "XDG_SESSION_TYPE=wayland"} << true << true << false;
        QTest::newRow("Wayland, user's own platform kept")
            << QStringList{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0", "QT_QPA_PLATFORM=wayland"}
            << false << false << false;
        QTest::newRow("Wayland without XWayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-0"} << true << true << true;
        QTest::newRow("xcb asked, no display")
            << QStringList{"QT_QPA_PLATFORM=xcb"} << false << false << true;
        QTest::newRow("offscreen needs no display")
            << QStringList{"QT_QPA_PLATFORM=offscreen"} << false << false << false;
    }
    void decide()
    {
        QFETCH(QStringList, environment);
        QFETCH(bool, useXcb);
        QFETCH(bool, notice);
        QFETCH(bool, error);

        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        const DisplaySession::Decision decision = DisplaySession::decide(env);
        QCOMPARE(decision.useXcb, useXcb);
        QCOMPARE(!decision.notice.isEmpty(), notice);
        QCOMPARE(!decision.error.isEmpty(), error);
    }
};

QTEST_GUILESS_MAIN(TestDisplaySession)
#include "tst_DisplaySession.moc"
