// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppDelegate.h"
#include "AppIcon.h"
#include "AppRequest.h"
#include "Appearance.h"
#include "ClipboardStore.h"
#include "CommandLine.h"
#include "CommandLineHistory.h"
#include "DisplaySession.h"
#include "HistoryLock.h"
#include "RuntimeDirectory.h"
#include "SingleInstance.h"
#include "TerminationSignals.h"
#include "UserDirectories.h"
#include "WindowActivation.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    // --help, --version and mistakes are answered without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    CommandLine commandLine = CommandLine::parse(arguments);
    // Every per-user path follows from HOME and the XDG variables: put them
    // right while this is the only thread. Only --help, --version and
    // mistakes are answered without a home.
    if (const QString why = UserDirectories::settle();
        !why.isEmpty() && commandLine.outcome != CommandLine::Outcome::print &&
        commandLine.outcome != CommandLine::Outcome::fail) {
        std::fputs(qPrintable(why + QLatin1Char('\n')), stderr);
        return 1;
    }
    // The history as the file holds it, running Quillmark or not; --copy
    // refuses here a number that names no item.
    const CommandLineHistory history(ClipboardStore::defaultHistoryFilePath());
    switch (commandLine.outcome) {
    case CommandLine::Outcome::run:
        if (commandLine.request.action == AppRequest::Action::copyItem)
            if (const int status = history.check(commandLine.item, stderr); status != 0)
                return status;
        break;
    case CommandLine::Outcome::print:
    case CommandLine::Outcome::fail: {
        const QByteArray text = commandLine.message.toLocal8Bit();
        std::fputs(text.constData(),
                   commandLine.outcome == CommandLine::Outcome::print ? stdout : stderr);
        return commandLine.exitCode;
    }
    case CommandLine::Outcome::listHistory:
        return history.list(stdout, stderr);
    case CommandLine::Outcome::printItem:
        return history.print(commandLine.item, stdout, stderr);
    }

    // Taken before Qt starts, which would use it up for its own first window.
    commandLine.request.activationToken = WindowActivation::takeTokenFromEnvironment();

    // Before Qt picks its platform: X11 (through XWayland on Wayland), or a
    // clear message when there is no display at all.
    DisplaySession displaySession;
    if (!displaySession.prepare())
        return 1;

    // A file-size limit must make a save fail (and say so), not kill the
    // process with everything the user copied since the last good save.
    std::signal(SIGXFSZ, SIG_IGN);
    // From here on, an end request waits for the event loop (handled once the
    // delegate runs) instead of killing a half-started Quillmark.
    TerminationSignals::catchEarly();

    QApplication::setApplicationName(QStringLiteral("quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QApplication app(argc, argv);
    // Quillmark lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // One Quillmark per session: a later launch hands its request to the
    // running one and leaves. The lock and socket that decide this live in a
    // directory nobody else can write to.
    const RuntimeDirectory::Result runtimeDirectory = RuntimeDirectory::resolve();
    if (runtimeDirectory.path.isEmpty()) {
        std::fputs(qPrintable(runtimeDirectory.error + QLatin1Char('\n')), stderr);
        return 1;
    }
    SingleInstance instance(runtimeDirectory.path);
    switch (instance.claim(commandLine.request)) {
    case SingleInstance::Role::primary:
        if (commandLine.request.action == AppRequest::Action::quit) {
            std::fputs("Quillmark is not running.\n", stderr);
            return 1;
        }
        displaySession.printNotice();
        break;
    case SingleInstance::Role::secondary:
        return 0;
    case SingleInstance::Role::unreachable:
        std::fputs("Quillmark is already running but does not answer.\n", stderr);
        return 1;
    }

    // One writer per history file, whatever session or display the other
    // writer runs in. Held until the process ends.
    HistoryLock historyLock(ClipboardStore::defaultHistoryFilePath());
    if (const QString why = historyLock.acquire(); !why.isEmpty()) {
        if (historyLock.isHeldElsewhere()) {
            std::fputs(
                qPrintable(QStringLiteral("Quillmark cannot start: ") + why + QLatin1Char('\n')),
                stderr);
            return 1;
        }
        // No lock can be made there (a read-only or missing folder): the
        // saves will fail and say so too, but capture and the windows work.
        std::fputs(qPrintable(QStringLiteral("Cannot lock the clipboard history: ") + why +
                              QLatin1Char('\n')),
                   stderr);
    }

    Appearance::installApplicationStyle();
    // The desktop matches the windows to quillmark.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark"));
    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::requestReceived, &delegate,
                     &AppDelegate::handleRequest);
    delegate.applicationDidFinishLaunching();
    // Up: later launches are answered from here on.
    instance.serve();
    // Every window, dialogs included, shows Quillmark's icon (windows made
    // so far take it too). Drawn once the termination signals are handled,
    // as it takes a moment.
    QApplication::setWindowIcon(AppIcon::icon());
    // A command given to the first launch is carried out once it runs; a
    // plain start opens no window.
    if (commandLine.request.action != AppRequest::Action::reopen)
        QMetaObject::invokeMethod(
            &delegate,
            [&delegate, request = commandLine.request] { delegate.handleRequest(request); },
            Qt::QueuedConnection);
    const int status = QApplication::exec();
    instance.stopServing();
    // A copy that never reached the disk is not a clean end: the store has
    // said what is lost, and the session hears it from the status.
    if (!delegate.shared().store.finishSaving())
        return 1;
    return status;
}
