// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandLine.h"

#include "BuildInfo.h"

#include <QCommandLineParser>

#include <algorithm>
#include <array>
#include <optional>

namespace {

struct Command {
    const char *name;
    const char *description;
    AppRequest::Action action;
};

constexpr std::array commands{
    Command{"toggle", "Open the popover, or close it when it is open.",
            AppRequest::Action::togglePopover},
    Command{"show", "Show the history window.", AppRequest::Action::showHistory},
    Command{"settings", "Open the settings window.", AppRequest::Action::openSettings},
    Command{"quit", "Quit the running Quillmark (asks first, as Ctrl+Q does).",
            AppRequest::Action::quit},
};

CommandLine failure(const QString &what)
{
    CommandLine result;
    result.outcome = CommandLine::Outcome::fail;
    result.exitCode = 2;
    result.message =
        QStringLiteral("quillmark: %1\nTry 'quillmark --help' for the options.\n").arg(what);
    return result;
}

// The argument that spelled option `name`: "-x", "--name" or "--name=value".
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments.sliced(1)) {
        if (argument == QLatin1String("--"))
            break;
        QStringView option(argument);
        if (!option.startsWith(u'-'))
            continue;
        option = option.sliced(option.startsWith(u"--") ? 2 : 1);
        if (option.left(option.indexOf(u'=')) == name)
            return argument.left(argument.size() - option.size() + name.size());
    }
    return name;
}

// A script's mistake in a number it passes on: one line, status 1.
CommandLine badItemNumber(const QString &option, const QString &value = {})
{
    CommandLine result;
    result.outcome = CommandLine::Outcome::fail;
    result.exitCode = 1;
    result.message =
        QStringLiteral("quillmark: --%1 needs an item number (1 is the newest)").arg(option);
    if (!value.isEmpty())
        result.message += QStringLiteral(", not '%1'").arg(value);
    result.message += QStringLiteral(".\n");
    return result;
}

// "3", or a whole --list line ("3<TAB>preview"), as a launcher hands it on.
std::optional<qint64> itemNumber(const QString &value)
{
    const QString number = value.left(value.indexOf(u'\t')).trimmed();
    if (number.isEmpty() || !std::all_of(number.cbegin(), number.cend(),
                                         [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 item = number.toLongLong(&ok);
    if (!ok || item < 1)
        return std::nullopt;
    return item;
}

} // namespace

QString CommandLine::versionText()
{
    const QString build = QStringLiteral(QUILLMARK_BUILD_NUMBER_STRING);
    QString text = QStringLiteral("Quillmark %1").arg(QStringLiteral(QUILLMARK_VERSION_STRING));
    if (!build.isEmpty())
        text += QStringLiteral(" (build %1)").arg(build);
    return text;
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillmark keeps a history of what you copy.\n"
                       "Without options it starts Quillmark, or brings the running one "
                       "forward. The options act on the running Quillmark and start one "
                       "first when needed (except --quit). --list and --print only read the "
                       "history file."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Command &command : commands)
        parser.addOption(QCommandLineOption(QString::fromLatin1(command.name),
                                            QString::fromLatin1(command.description)));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print these options and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and exit."));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Print the history, newest first: each item's number, a tab and its text "
                       "on one line. Works whether or not Quillmark runs."));
    const QCommandLineOption print(
        QStringLiteral("print"),
        QStringLiteral("Print the exact text of item N (1 is the newest), with no newline added."),
        QStringLiteral("N"));
    const QCommandLineOption copy(
        QStringLiteral("copy"),
        QStringLiteral("Put item N back on the clipboard, as a click in the popover does. "
                       "A whole --list line will do for N."),
        QStringLiteral("N"));
    parser.addOption(list);
    parser.addOption(print);
    parser.addOption(copy);
    parser.addOption(help);
    parser.addOption(version);

    if (!parser.parse(arguments)) {
        // The parser names an unknown option without its dashes; echo it as typed.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return failure(QStringLiteral("Unknown option '%1'.")
                               .arg(typedOption(arguments, unknown.constFirst())));
        // An option that takes N, last and without it.
        const QString last = arguments.size() > 1 ? arguments.constLast() : QString();
        for (const QCommandLineOption *numbered : {&print, &copy}) {
            const QString name = numbered->names().constFirst();
            if (last == QStringLiteral("--") + name || last == QStringLiteral("-") + name)
                return badItemNumber(name);
        }
        return failure(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("Unexpected argument '%1'.")
                           .arg(parser.positionalArguments().constFirst()));

    CommandLine result;
    if (parser.isSet(help) || parser.isSet(version)) {
        result.outcome = Outcome::print;
        if (parser.isSet(help)) {
            // The generated text names the binary as invoked; show its name.
            result.message = parser.helpText();
            const QString usage = QStringLiteral("Usage: ");
            const qsizetype lineEnd = result.message.indexOf(u' ', usage.size());
            if (result.message.startsWith(usage) && lineEnd > 0)
                result.message.replace(usage.size(), lineEnd - usage.size(),
                                       QStringLiteral("quillmark"));
        } else {
            result.message = versionText() + u'\n';
        }
        return result;
    }

    QStringList chosen;
    for (const Command &command : commands)
        if (parser.isSet(QString::fromLatin1(command.name)))
            chosen.append(QString::fromLatin1(command.name));
    for (const QCommandLineOption *option : {&list, &print, &copy})
        if (parser.isSet(*option))
            chosen.append(option->names().constFirst());
    if (chosen.size() > 1)
        return failure(
            QStringLiteral("--%1 and --%2 cannot be combined.").arg(chosen[0], chosen[1]));

    const QString command = chosen.value(0);
    if (command == QLatin1String("list")) {
        result.outcome = Outcome::listHistory;
        return result;
    }
    if (command == QLatin1String("print") || command == QLatin1String("copy")) {
        const QString value = parser.value(command);
        const std::optional<qint64> item = itemNumber(value);
        if (!item)
            return badItemNumber(command, value);
        result.item = *item;
        if (command == QLatin1String("print")) {
            result.outcome = Outcome::printItem;
            return result;
        }
        result.request = AppRequest{AppRequest::Action::copyItem, {}, *item};
        return result;
    }
    const auto flag = std::find_if(commands.cbegin(), commands.cend(), [&](const Command &c) {
        return command == QLatin1String(c.name);
    });
    result.request =
        AppRequest{flag != commands.cend() ? flag->action : AppRequest::Action::reopen};
    return result;
}
