// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <optional>

// The owners of the X11 CLIPBOARD in the order the X server announced them,
// and what is known of each one's copy.
//
// GNOME's compositor keeps the clipboard of an X11 app that quits, as
// Quillmark does, and races it: its window then offers that app's text, but
// without the secret mark. So when the window manager's window takes the
// clipboard from an owner that left, it carries that owner's copy: the same
// copy, recorded or not as that one was. An owner that left before anybody
// learnt whether its copy was a secret counts as a secret, so that a
// password manager that quits at once never leaves its copy in the history.
// Quillmark's own ownership (keeping a text, a copy-back) leaves the foreign
// owner before it as it was.
//
// A Wayland app's copy reaches X11 through that same window, and when the
// app quits, the window takes the clipboard again at once (no owner leaves
// in between), offering the text under one type and without the mark. So
// for a secret the window offers, a salted digest of its text is kept while
// that secret owns the clipboard; the window's next ownership, if its text
// has the same digest, is that secret handed on (and so is any text when
// the secret's could not be read in time).
class X11ClipboardOwners {
public:
    enum class Kind { none, own, foreign };
    enum class Secrecy { unknown, plain, secret };
    struct Owner {
        quint64 serial = 0; // one per ownership, also when a window takes the clipboard again
        quint32 window = 0;
        Kind kind = Kind::none;
        Secrecy secrecy = Secrecy::unknown;
        // The window manager's window, taking over from the owner that left.
        bool handedOn = false;
        bool windowManagers = false;
        // A secret of the window manager's window: a salted digest of its
        // text (empty while unread).
        QByteArray digest;
        // The window manager's window again, right after it offered a
        // secret: that secret's digest, until this copy's text is compared.
        std::optional<QByteArray> maybeSecret;
    };

    // `window` took the clipboard (0: the owner let go of it).
    void taken(quint32 window, Kind kind, bool windowManagers);
    // The owner's window was destroyed, or its client closed.
    void left();
    // What a read learnt of ownership `serial`'s copy.
    void classify(quint64 serial, Secrecy secrecy);
    // The text of ownership `serial`, a secret of the window manager's
    // window: only a salted digest of it is kept.
    void remember(quint64 serial, const QByteArray &text);
    // Ownership `serial`'s text, compared with the secret before it: the
    // same text makes it that secret, handed on.
    void compare(quint64 serial, const QByteArray &text);

    [[nodiscard]] const Owner &current() const { return m_current; }

private:
    Owner m_current;
    Owner m_foreign; // the latest foreign owner, current or not
    bool m_foreignLeft = false;
    quint64 m_serial = 0;
};
