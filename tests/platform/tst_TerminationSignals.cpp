// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TestTerminationSignals : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A SIGTERM that arrives while Quillmark is still starting (before
    // anything can handle it) must neither kill the process nor be lost:
    // it is delivered once the handler exists and the event loop runs.
    void signalDuringStartIsDeliveredLater()
    {
        TerminationSignals::catchEarly();
        QVERIFY(::raise(SIGTERM) == 0);
        QVERIFY(::raise(SIGINT) == 0);

        TerminationSignals signals_;
        QSignalSpy received(&signals_, &TerminationSignals::received);
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.at(0).at(0).toInt(), SIGTERM);
        QCOMPARE(received.at(1).at(0).toInt(), SIGINT);
    }
};

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_TerminationSignals.moc"
