// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandLine.h"

#include "BuildInfo.h"

#include <QCommandLineParser>

#include <array>

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
                       "first when needed (except --quit)."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Command &command : commands)
        parser.addOption(QCommandLineOption(QString::fromLatin1(command.name),
                                            QString::fromLatin1(command.description)));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print these options and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    if (!parser.parse(arguments)) {
        // The parser names an unknown option without its dashes; echo it as typed.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return failure(QStringLiteral("Unknown option '%1'.")
                               .arg(typedOption(arguments, unknown.constFirst())));
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

    const Command *chosen = nullptr;
    for (const Command &command : commands) {
        if (!parser.isSet(QString::fromLatin1(command.name)))
            continue;
        if (chosen)
            return failure(
                QStringLiteral("--%1 and --%2 cannot be combined.")
                    .arg(QString::fromLatin1(chosen->name), QString::fromLatin1(command.name)));
        chosen = &command;
    }
    result.request = AppRequest{chosen ? chosen->action : AppRequest::Action::reopen};
    return result;
}
