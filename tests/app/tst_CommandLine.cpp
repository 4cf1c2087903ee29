// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandLine.h"

#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commands_data();
    void commands();
    void mistakes_data();
    void mistakes();
    void helpNamesTheProgramAndEveryCommand();
};

void TestCommandLine::commands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    using Action = AppRequest::Action;
    QTest::newRow("nothing") << QStringList{} << int(Action::reopen);
    QTest::newRow("toggle") << QStringList{"--toggle"} << int(Action::togglePopover);
    QTest::newRow("show") << QStringList{"--show"} << int(Action::showHistory);
    QTest::newRow("settings") << QStringList{"--settings"} << int(Action::openSettings);
    QTest::newRow("quit") << QStringList{"--quit"} << int(Action::quit);
    QTest::newRow("single dash") << QStringList{"-toggle"} << int(Action::togglePopover);
    QTest::newRow("repeated") << QStringList{"--show", "--show"} << int(Action::showHistory);
}

void TestCommandLine::commands()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    arguments.prepend(QStringLiteral("/usr/bin/quillmark"));
    const CommandLine result = CommandLine::parse(arguments);
    QCOMPARE(result.outcome, CommandLine::Outcome::run);
    QCOMPARE(int(result.request.action), action);
    // What reaches the running instance is the same request, whole.
    QCOMPARE(AppRequest::decode(result.request.encode()), result.request);
}

void TestCommandLine::mistakes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions");
    // An unknown option is echoed as typed, dashes and all.
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "'--frobnicate'";
    QTest::newRow("unknown, one dash") << QStringList{"-frobnicate=1"} << "'-frobnicate'";
    QTest::newRow("positional") << QStringList{"notes.txt"} << "notes.txt";
    QTest::newRow("two commands") << QStringList{"--toggle", "--quit"} << "cannot be combined";
    QTest::newRow("value to a flag") << QStringList{"--show=yes"} << "show";
}

void TestCommandLine::mistakes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mentions);
    arguments.prepend(QStringLiteral("quillmark"));
    const CommandLine result = CommandLine::parse(arguments);
    QCOMPARE(result.outcome, CommandLine::Outcome::fail);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.message.contains(mentions), qPrintable(result.message));
    QVERIFY(result.message.contains(QStringLiteral("--help")));
}

void TestCommandLine::helpNamesTheProgramAndEveryCommand()
{
    const CommandLine result =
        CommandLine::parse({QStringLiteral("/opt/x/bin/quillmark"), QStringLiteral("--help")});
    QCOMPARE(result.outcome, CommandLine::Outcome::print);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.message.startsWith(QStringLiteral("Usage: quillmark ")),
             qPrintable(result.message));
    for (const char *option : {"--toggle", "--show", "--settings", "--quit", "--version"})
        QVERIFY2(result.message.contains(QLatin1String(option)), option);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
