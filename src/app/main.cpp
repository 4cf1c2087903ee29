#include "AppDelegate.h"
#include "AppRequest.h"
#include "Appearance.h"
#include "DisplaySession.h"
#include "SingleInstance.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Before Qt picks its platform: X11 (through XWayland on Wayland), or a
    // clear message when there is no display at all.
    DisplaySession displaySession;
    if (!displaySession.prepare())
        return 1;

    QApplication::setApplicationName(QStringLiteral("quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QApplication app(argc, argv);
    // Quillmark lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // One Quillmark per session: a later launch hands its request to the
    // running one and leaves.
    SingleInstance instance;
    switch (instance.claim(AppRequest{AppRequest::Action::reopen})) {
    case SingleInstance::Role::primary:
        break;
    case SingleInstance::Role::secondary:
        return 0;
    case SingleInstance::Role::unreachable:
        std::fputs("Quillmark is already running but does not answer.\n", stderr);
        return 1;
    }

    Appearance::installApplicationStyle();
    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::requestReceived, &delegate,
                     &AppDelegate::handleRequest);
    delegate.applicationDidFinishLaunching();
    // "--show" opens the history window at start, as a reopen would.
    if (QApplication::arguments().contains(QStringLiteral("--show")))
        delegate.handleRequest(AppRequest{AppRequest::Action::reopen});
    return QApplication::exec();
}
