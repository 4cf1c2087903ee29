#include "AppComposition.h"
#include "DisplaySession.h"

#include <QApplication>

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

    AppComposition composition;
    composition.launch();
    return QApplication::exec();
}
