// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Presses keys in a GNOME (mutter) session through mutter's RemoteDesktop
// D-Bus interface, the way a remote-desktop server does: the compositor
// treats the presses as its own keyboard's, so the focused window receives
// them. The steps are those of virtual_keyboard:
//
//   remote_desktop_keyboard --stdin   steps one per line; "ok" or "failed"
//     key:COMBO    one combination, keysym names joined by "+", modifiers
//                  first: key:alt+shift+v, key:Return, key:Down
//     type:TEXT    the printable ASCII characters of TEXT, one key each
//     sleep:MS     a pause
//
// The session lives as long as this process's bus connection. mutter's
// headless seat has no keyboard until the first key arrives through here.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QHash>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");

// The keysyms the suites use by name; a single printable character is its
// own keysym.
quint32 keysymOf(const QString &name)
{
    static const QHash<QString, quint32> named = {
        {QStringLiteral("alt"), 0xffe9},    {QStringLiteral("shift"), 0xffe1},
        {QStringLiteral("ctrl"), 0xffe3},   {QStringLiteral("super"), 0xffeb},
        {QStringLiteral("Return"), 0xff0d}, {QStringLiteral("Escape"), 0xff1b},
        {QStringLiteral("Tab"), 0xff09},    {QStringLiteral("BackSpace"), 0xff08},
        {QStringLiteral("Delete"), 0xffff}, {QStringLiteral("Left"), 0xff51},
        {QStringLiteral("Up"), 0xff52},     {QStringLiteral("Right"), 0xff53},
        {QStringLiteral("Down"), 0xff54},   {QStringLiteral("space"), 0x20},
    };
    if (const auto it = named.constFind(name); it != named.constEnd())
        return *it;
    if (name.size() == 1 && name.at(0).unicode() > 0x20 && name.at(0).unicode() < 0x7f)
        return name.at(0).unicode();
    return 0;
}

class Keyboard {
public:
    explicit Keyboard(QDBusInterface &session) : m_session(session) {}

    bool press(quint32 keysym, bool down)
    {
        const QDBusMessage reply =
            m_session.call(QStringLiteral("NotifyKeyboardKeysym"), keysym, down);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            std::fprintf(stderr, "remote_desktop_keyboard: %s\n", qPrintable(reply.errorMessage()));
            return false;
        }
        QThread::msleep(15);
        return true;
    }

    // Presses the keys in order, then lets go of them in reverse order.
    bool combo(const QList<quint32> &keysyms)
    {
        bool ok = true;
        for (const quint32 keysym : keysyms)
            ok = press(keysym, true) && ok;
        for (auto it = keysyms.rbegin(); it != keysyms.rend(); ++it)
            ok = press(*it, false) && ok;
        return ok;
    }

private:
    QDBusInterface &m_session;
};

bool runStep(Keyboard &keyboard, const QString &step)
{
    const QString kind = step.section(QLatin1Char(':'), 0, 0);
    const QString arg = step.section(QLatin1Char(':'), 1);
    if (kind == QLatin1String("sleep")) {
        QThread::msleep(arg.toULong());
        return true;
    }
    if (kind == QLatin1String("key")) {
        QList<quint32> keysyms;
        const QStringList names = arg.split(QLatin1Char('+'));
        for (const QString &name : names) {
            const quint32 keysym = keysymOf(name);
            if (!keysym) {
                std::fprintf(stderr, "remote_desktop_keyboard: no key for \"%s\"\n",
                             qPrintable(name));
                return false;
            }
            keysyms.append(keysym);
        }
        return keyboard.combo(keysyms);
    }
    if (kind == QLatin1String("type")) {
        for (const QChar c : arg) {
            const quint32 keysym = keysymOf(QString(c));
            if (!keysym || !keyboard.combo({keysym}))
                return false;
            QThread::msleep(20);
        }
        return true;
    }
    std::fprintf(stderr, "remote_desktop_keyboard: unknown step \"%s\"\n", qPrintable(step));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2 || std::string(argv[1]) != "--stdin") {
        std::fprintf(stderr, "usage: remote_desktop_keyboard --stdin\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusInterface desktop(service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"),
                           QStringLiteral("org.gnome.Mutter.RemoteDesktop"), bus);
    const QDBusReply<QDBusObjectPath> created = desktop.call(QStringLiteral("CreateSession"));
    if (!created.isValid()) {
        std::fprintf(stderr, "remote_desktop_keyboard: CreateSession: %s\n",
                     qPrintable(created.error().message()));
        return 1;
    }
    QDBusInterface session(service, created.value().path(),
                           QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session"), bus);
    const QDBusMessage started = session.call(QStringLiteral("Start"));
    if (started.type() == QDBusMessage::ErrorMessage) {
        std::fprintf(stderr, "remote_desktop_keyboard: Start: %s\n",
                     qPrintable(started.errorMessage()));
        return 1;
    }

    Keyboard keyboard(session);
    for (std::string line; std::getline(std::cin, line);) {
        const bool ok = line.empty() || runStep(keyboard, QString::fromStdString(line));
        std::printf("%s\n", ok ? "ok" : "failed");
        std::fflush(stdout);
    }
    session.call(QStringLiteral("Stop"));
    return 0;
}
