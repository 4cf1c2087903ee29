// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

// The identity a registration carries and every press reports back: a
// four-character signature and a number, so the receiver can tell its own
// shortcut from anything else delivered to it.
struct HotKeyId {
    quint32 signature = 0;
    quint32 identifier = 0;

    friend bool operator==(const HotKeyId &, const HotKeyId &) = default;
};

// Outcome of a registrar call: code 0 is success; otherwise the platform's
// error code (an X error code for a refused grab), with an optional note.
struct HotKeyStatus {
    int code = 0;
    QString note;

    [[nodiscard]] bool ok() const { return code == 0; }
    // The code as a signed decimal, followed by the note in parentheses.
    [[nodiscard]] QString toString() const;
};

// One system-wide keyboard shortcut. Installing the event handler makes the
// registrar listen for presses at all; registering grabs the combination.
// Each press of a registered combination emits triggered() with the id it
// was registered under, on the GUI thread, while the native event is still
// being handled (receivers that act on it should post their work).
class HotKeyRegistrar : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual HotKeyStatus installEventHandler() = 0;
    virtual void removeEventHandler() = 0;

    // `key` is a letter or digit key; `modifiers` any of Shift, Control, Alt, Meta.
    [[nodiscard]] virtual HotKeyStatus registerHotKey(Qt::Key key, Qt::KeyboardModifiers modifiers,
                                                      HotKeyId id) = 0;
    virtual void unregisterHotKey() = 0;

Q_SIGNALS:
    void triggered(HotKeyId id);
};
