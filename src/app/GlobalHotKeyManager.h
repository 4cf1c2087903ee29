// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "HotKeyRegistrar.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Folds up to the first four bytes of the UTF-8 form of `text` into 32 bits,
// the first byte most significant ("QMHK" -> 0x514D484B).
[[nodiscard]] quint32 fourCharCode(const QString &text);

// Alt+Shift+V, pressed in any application, does what a left click on the
// tray icon does: it opens the popover, or closes it when it is open. The
// shortcut is fixed, registered once at launch and kept until the process
// ends; when the platform refuses it, one line is printed and Quillmark
// carries on without it (the tray icon still works).
class GlobalHotKeyManager : public QObject {
    Q_OBJECT
public:
    static constexpr Qt::Key key = Qt::Key_V;
    static constexpr Qt::KeyboardModifiers modifiers{Qt::ShiftModifier | Qt::AltModifier};
    static constexpr quint32 hotKeyIdentifier = 1;

    // Registers at once. `onPressed` (the popover toggle) is posted to the
    // event loop for each press.
    GlobalHotKeyManager(std::unique_ptr<HotKeyRegistrar> registrar, std::function<void()> onPressed,
                        QObject *parent = nullptr);
    ~GlobalHotKeyManager() override;

    // fourCharCode("QMHK"): the signature that marks our registration.
    [[nodiscard]] static quint32 hotKeySignature();

    // (Re)registers the shortcut; failures are printed, never thrown.
    void registerHotKey();
    // Lets go of the shortcut, when something else now delivers its presses.
    void releaseHotKey();
    [[nodiscard]] bool isActive() const { return m_hotKeyRegistered && m_handlerInstalled; }

private:
    void handleHotKeyEvent(HotKeyId id);

    std::unique_ptr<HotKeyRegistrar> m_registrar;
    std::function<void()> m_onPressed;
    bool m_hotKeyRegistered = false;
    bool m_handlerInstalled = false;
};
