// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "XdgAutostartLoginItem.h"

#include "AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// One Exec argument, quoted in whole: inside double quotes `"`, `` ` ``,
// `$` and `\` take a backslash. Then the value as a whole follows the
// string escaping of desktop files (a backslash doubles again), and `%`
// becomes `%%` so it is not read as a field code.
QString quotedExecArgument(const QString &argument)
{
    QString quoted;
    quoted.reserve(argument.size() + 2);
    quoted += u'"';
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';

    QString escaped;
    escaped.reserve(quoted.size());
    for (const QChar c : quoted) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'%')
            escaped += QStringLiteral("%%");
        else
            escaped += c;
    }
    return escaped;
}

// A plain string value of a desktop file: only the backslash is special.
QString escapedString(const QString &value)
{
    QString escaped = value;
    return escaped.replace(u'\\', QStringLiteral("\\\\"));
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem()
    : XdgAutostartLoginItem(defaultDesktopFilePath(), QCoreApplication::applicationFilePath())
{
}

XdgAutostartLoginItem::XdgAutostartLoginItem(QString desktopFilePath, QString executablePath)
    : m_desktopFilePath(std::move(desktopFilePath)), m_executablePath(std::move(executablePath))
{
}

QString XdgAutostartLoginItem::defaultDesktopFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/quillmark.desktop");
}

QByteArray XdgAutostartLoginItem::desktopEntry(const QString &executablePath)
{
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Quillmark\n"
                                   "Comment=Searchable clipboard history in the system tray\n"
                                   "TryExec=%1\n"
                                   "Exec=%2\n"
                                   "Icon=quillmark\n"
                                   "Terminal=false\n"
                                   "Categories=Utility;\n"
                                   "X-GNOME-Autostart-enabled=true\n")
                        .arg(escapedString(executablePath), quotedExecArgument(executablePath));
    return entry.toUtf8();
}

QString XdgAutostartLoginItem::registerItem()
{
    if (m_executablePath.isEmpty() || QFileInfo(m_executablePath).isRelative())
        return QStringLiteral("the path of the running program is unknown");
    if (m_executablePath.contains(u'\n') || m_executablePath.contains(u'\r'))
        return QStringLiteral("the path of the program contains a line break: %1")
            .arg(m_executablePath);

    const QString directory = QFileInfo(m_desktopFilePath).absolutePath();
    if (!QDir().mkpath(directory))
        return QStringLiteral("cannot create the folder %1").arg(directory);

    // Written aside and renamed into place, mode 0600 like every file of ours:
    // a session starting meanwhile sees the old entry or the new one.
    const QString error = AtomicFile::write(m_desktopFilePath, desktopEntry(m_executablePath));
    if (!error.isEmpty())
        return QStringLiteral("cannot write %1: %2").arg(m_desktopFilePath, error);
    return {};
}

QString XdgAutostartLoginItem::unregisterItem()
{
    const QFileInfo info(m_desktopFilePath);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(m_desktopFilePath);
    if (!file.remove())
        return QStringLiteral("cannot remove %1: %2").arg(m_desktopFilePath, file.errorString());
    return {};
}

bool XdgAutostartLoginItem::isRegistered() const
{
    const QFileInfo info(m_desktopFilePath);
    return info.exists() || info.isSymLink();
}
