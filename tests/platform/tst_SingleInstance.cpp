// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppRequest.h"
#include "SingleInstance.h"
#include "TestFiles.h"

#include <QHostInfo>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

namespace {

// Runs a second instance's claim on another thread, as a second process
// would; `meanwhile` runs here first, and then this thread serves the first
// instance until the claim is over.
SingleInstance::Role claimFromAnotherThread(
    const QString &dir, AppRequest::Action action = AppRequest::Action::reopen,
    const std::function<void()> &meanwhile = [] {})
{
    SingleInstance::Role role = SingleInstance::Role::unreachable;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        SingleInstance second(dir);
        role = second.claim(AppRequest{action});
    }));
    thread->start();
    meanwhile();
    if (!QTest::qWaitFor([&] { return thread->isFinished(); }, 20000))
        qFatal("second instance did not finish");
    thread->wait();
    return role;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // That only a request's name is taken, and that whatever a token holds
    // comes back as it went, on one line, is fuzz_app_request's check.
    void decodeRequest_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("token");
        QTest::newRow("without newline") << QByteArray("reopen") << QByteArray();
        QTest::newRow("with a token") << QByteArray("toggle abc-123\n") << QByteArray("abc-123");
        QTest::newRow("token with escapes")
            << QByteArray("show host%20x_TIME42%0A\n") << QByteArray("host x_TIME42\n");
    }

    void decodeRequest()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, token);
        const std::optional<AppRequest> request = AppRequest::decode(line);
        QVERIFY(request);
        QCOMPARE(request->activationToken, token);
    }

    // The requests a second instance hands over arrive in the tests below;
    // one the first does not know is answered as such and carried out never.
    void unknownRequestIsRefused()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.claim(AppRequest{}), SingleInstance::Role::primary);
        first.serve();
        QSignalSpy received(&first, &SingleInstance::requestReceived);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ignored request"));
        QLocalSocket client;
        client.connectToServer(first.socketPath());
        QVERIFY(client.waitForConnected(5000));
        client.write("shutdown\n");
        QByteArray reply;
        QTRY_VERIFY((reply += client.readAll()).contains('\n'));
        QCOMPARE(reply, QByteArray("unknown\n"));
        QCOMPARE(received.count(), 0);
    }

    void launchWhileTheFirstStartsWaitsForIt()
    {
        // The first instance holds the lock but is still loading its history:
        // a launch then must not give up, nor start a second Quillmark, but
        // hand its request over once the first is up.
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.claim(AppRequest{}), SingleInstance::Role::primary);
        QSignalSpy received(&first, &SingleInstance::requestReceived);
        QCOMPARE(claimFromAnotherThread(dir.path(), AppRequest::Action::showHistory,
                                        [&] {
                                            QThread::msleep(700);
                                            first.serve();
                                        }),
                 SingleInstance::Role::secondary);
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.first().first().value<AppRequest>().action,
                 AppRequest::Action::showHistory);
    }

    void lockOfADeadProcessIsTakenOver()
    {
        // A crashed instance leaves its lock and socket files behind.
        QTemporaryDir dir;
        SingleInstance probe(dir.path());
        // A PID above the kernel's maximum never runs.
        QVERIFY(writeFileContents(
            probe.lockPath(), "4194399\nquillmark\n" + QHostInfo::localHostName().toUtf8() + "\n"));
        QVERIFY(writeFileContents(probe.socketPath(), {}));

        SingleInstance instance(dir.path());
        QCOMPARE(instance.claim(AppRequest{}), SingleInstance::Role::primary);
        instance.serve();
        QCOMPARE(claimFromAnotherThread(dir.path()), SingleInstance::Role::secondary);
    }

    void launchDuringTheFirstOnesExitTakesOver()
    {
        // A launch that reaches the first instance as it ends (its event loop
        // over, the lock not yet released) must not be lost: it becomes the
        // first instance itself once the lock is free.
        QTemporaryDir dir;
        auto first = std::make_unique<SingleInstance>(dir.path());
        QCOMPARE(first->claim(AppRequest{}), SingleInstance::Role::primary);
        first->serve();
        first->stopServing();
        QCOMPARE(claimFromAnotherThread(dir.path(), AppRequest::Action::showHistory,
                                        [&] {
                                            QThread::msleep(500);
                                            first.reset();
                                        }),
                 SingleInstance::Role::primary);
    }

    void slowFirstInstanceCarriesOutTheRequestOnce()
    {
        // The first instance is busy for longer than a reply normally takes; the
        // second waits on its one connection instead of asking again, so a
        // toggle is not carried out twice (and undone).
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.claim(AppRequest{}), SingleInstance::Role::primary);
        first.serve();
        QSignalSpy received(&first, &SingleInstance::requestReceived);

        // Not serving for 4 s: no events processed here.
        QCOMPARE(claimFromAnotherThread(dir.path(), AppRequest::Action::togglePopover,
                                        [] { QThread::msleep(4000); }),
                 SingleInstance::Role::secondary);
        QTest::qWait(300);
        QCOMPARE(received.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_SingleInstance.moc"
