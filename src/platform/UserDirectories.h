// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Where the history, the settings and the autostart entry go rests on HOME
// and the XDG base directory variables, which QStandardPaths reads each
// time a path is asked for. Left as they come, an unset HOME puts the
// history under /.local/share and a relative XDG_DATA_HOME under whatever
// directory Quillmark was started in. They are put right once, at start,
// before any thread runs: HOME from the password database when it is unset
// or relative, and a relative XDG_*_HOME dropped, so that its default
// applies (the base directory rules call such a path invalid).
class UserDirectories {
public:
    // Empty when done, otherwise why there is no home directory.
    [[nodiscard]] static QString settle();
    // The same with the password database's home for this user given.
    [[nodiscard]] static QString settle(const std::optional<QByteArray> &passwordHome);
    // This user's home in the password database, if it names an absolute one.
    [[nodiscard]] static std::optional<QByteArray> passwordHome();
};
