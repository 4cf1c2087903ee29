// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "LoginItem.h"

#include <QString>

// Launch at login on a freedesktop session: the state is whether
// $XDG_CONFIG_HOME/autostart/quillmark.desktop exists. The entry starts the
// binary that registered it, by absolute path.
class XdgAutostartLoginItem final : public LoginItem {
public:
    XdgAutostartLoginItem();
    XdgAutostartLoginItem(QString desktopFilePath, QString executablePath);

    [[nodiscard]] QString registerItem() override;
    [[nodiscard]] QString unregisterItem() override;
    [[nodiscard]] bool isRegistered() const override;

    [[nodiscard]] QString desktopFilePath() const { return m_desktopFilePath; }

    [[nodiscard]] static QString defaultDesktopFilePath();
    // The desktop entry for `executablePath`, with Exec quoted as the
    // desktop entry format requires.
    [[nodiscard]] static QByteArray desktopEntry(const QString &executablePath);

private:
    QString m_desktopFilePath;
    QString m_executablePath;
};
