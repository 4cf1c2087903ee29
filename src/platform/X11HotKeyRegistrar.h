// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "HotKeyRegistrar.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <cstdint>

struct xcb_connection_t;

// Global shortcut on X11: a passive grab of the key on every root window,
// once per combination of the two lock modifiers (NumLock and CapsLock), so
// the shortcut works whatever lock is on. Presses arrive as native events;
// while one of our popups holds the keyboard they are addressed to it rather
// than to the root window, so matching looks at the key and modifiers only.
class X11HotKeyRegistrar final : public HotKeyRegistrar, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // `connection` may be null (no X display): every call then fails.
    explicit X11HotKeyRegistrar(xcb_connection_t *connection, QObject *parent = nullptr);
    ~X11HotKeyRegistrar() override;

    [[nodiscard]] HotKeyStatus installEventHandler() override;
    void removeEventHandler() override;
    [[nodiscard]] HotKeyStatus registerHotKey(Qt::Key key, Qt::KeyboardModifiers modifiers,
                                              HotKeyId id) override;
    void unregisterHotKey() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab {
        std::uint32_t window;
        std::uint8_t keycode;
        std::uint16_t modifiers;
    };
    struct ModifierMasks {
        std::uint16_t alt = 0;
        std::uint16_t super = 0;
        std::uint16_t numLock = 0;
    };
    [[nodiscard]] ModifierMasks readModifierMasks() const;
    [[nodiscard]] QList<std::uint8_t> keycodesFor(std::uint32_t keysym) const;

    xcb_connection_t *m_connection;
    bool m_handlerInstalled = false;
    QList<Grab> m_grabs;
    QList<std::uint8_t> m_keycodes;
    std::uint16_t m_wantedState = 0;   // the combination's modifiers as X state bits
    std::uint16_t m_relevantState = 0; // Shift, Control, Alt, Super: the bits compared
    HotKeyId m_id;
    std::uint32_t m_lastReleaseTime = 0;
};
