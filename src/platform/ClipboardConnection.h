// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <optional>

// One way of reaching the system clipboard: X11, or a Wayland compositor's
// data-control protocol. A connection reads each foreign copy as soon as its
// owner takes the clipboard, without ever blocking the UI thread on that
// owner, and reports what it found. Quillmark's own copies are never
// reported back as foreign ones.
class ClipboardConnection : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Quillmark takes the clipboard with exactly `text`.
    virtual void setText(const QString &text) = 0;
    // Quillmark empties the clipboard.
    virtual void clear() = 0;
    // Quillmark takes the clipboard, offering nothing: what the desktop
    // kept of a departed secret can be pasted no more, in any app.
    virtual void withdraw() { clear(); }

Q_SIGNALS:
    // Another app took the clipboard and its offer has been read: its text,
    // or nothing when it offers none; `secret` when the owner marked the copy
    // as one (then the text was not even asked for); `refusedBytes` the size
    // of a text above the capture limit, which was not read. `handedOn` when
    // the owner before went away and the desktop itself took the clipboard
    // over, offering what that owner offered (GNOME keeps the clipboard of
    // a quitting app as Quillmark does): the same copy, not a new one.
    void foreignCopy(const std::optional<QString> &text, bool secret, qint64 refusedBytes,
                     bool handedOn);
    // The clipboard became empty: the app that owned it went away.
    void emptied();
    // The connection is gone for good; nothing more comes from it.
    void lost();
};
