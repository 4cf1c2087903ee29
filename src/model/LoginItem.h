// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Registration of Quillmark to start with the user's desktop session.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    // Each returns an empty string on success, else a human description of
    // what went wrong.
    [[nodiscard]] virtual QString registerItem() = 0;
    [[nodiscard]] virtual QString unregisterItem() = 0;
    // Whether Quillmark is registered now.
    [[nodiscard]] virtual bool isRegistered() const = 0;
};
