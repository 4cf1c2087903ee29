// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandLine.h"
#include "CommandLineHistory.h"

#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        using Action = AppRequest::Action;
        QTest::newRow("nothing") << QStringList{} << int(Action::reopen);
        QTest::newRow("single dash") << QStringList{"-toggle"} << int(Action::togglePopover);
        QTest::newRow("repeated") << QStringList{"--show", "--show"} << int(Action::showHistory);
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        arguments.prepend(QStringLiteral("/usr/bin/quillmark"));
        const CommandLine result = CommandLine::parse(arguments);
        QCOMPARE(result.outcome, CommandLine::Outcome::run);
        QCOMPARE(int(result.request.action), action);
    }

    void mistakes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        // An unknown option is echoed as typed, dashes and all.
        QTest::newRow("positional") << QStringList{"notes.txt"} << "notes.txt";
        QTest::newRow("two commands") << QStringList{"--toggle", "--quit"} << "cannot be combined";
        QTest::newRow("value to a flag") << QStringList{"--show=yes"} << "show";
    }

    void mistakes()
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

    // A --list line handed to --copy, and the item number it carries to the
    // running instance, are test_cli's.
    void itemNumbers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<qint64>("item");
        QTest::addColumn<int>("exitCode");
        using Outcome = CommandLine::Outcome;
        QTest::newRow("print=") << QStringList{"--print=007"} << int(Outcome::printItem) << 7ll
                                << 0;
        QTest::newRow("copy empty") << QStringList{"--copy", ""} << int(Outcome::fail) << 0ll << 1;
        QTest::newRow("negative") << QStringList{"--copy", "-1"} << int(Outcome::fail) << 0ll << 1;
        QTest::newRow("list and print")
            << QStringList{"--list", "--print", "2"} << int(Outcome::fail) << 0ll << 2;
    }

    void itemNumbers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, outcome);
        QFETCH(qint64, item);
        QFETCH(int, exitCode);
        arguments.prepend(QStringLiteral("quillmark"));
        const CommandLine result = CommandLine::parse(arguments);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(result.exitCode, exitCode);
        if (exitCode == 1) // one line for a script's log
            QCOMPARE(result.message.count(u'\n'), 1);
        if (result.outcome != CommandLine::Outcome::fail)
            QCOMPARE(result.item, item);
    }

    void previewLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("preview");
        const QString face = QStringLiteral("\U0001F600");
        QTest::newRow("breaks and tabs") << "a\nb\r\nc\td\re  f\n\n"
                                         << "a b c d e  f  ";
        QTest::newRow("controls") << "\x1b[1mx\u0085y\u2028z\u00a0"
                                  << " [1mx y z\u00a0";
        QTest::newRow("201 four-byte characters")
            << face.repeated(201) << face.repeated(200) + u'\u2026';
    }

    void previewLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, preview);
        QCOMPARE(QString::fromUtf8(CommandLineHistory::previewLine(ItemText(text))), preview);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
