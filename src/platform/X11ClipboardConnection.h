// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardConnection.h"
#include "X11SelectionReader.h"

#include <QThread>

class QClipboard;

// The X11 CLIPBOARD selection. Qt tells of every new owner (it watches the
// selection with XFixes) and carries Quillmark's own copies; the offers of
// other apps are read by an X11SelectionReader on a thread of its own, so a
// slow or frozen owner never holds up the UI.
class X11ClipboardConnection final : public ClipboardConnection {
    Q_OBJECT
public:
    X11ClipboardConnection(QClipboard *clipboard, const QByteArray &display,
                           QObject *parent = nullptr);
    ~X11ClipboardConnection() override;

    void setText(const QString &text) override;
    void clear() override;
    // An empty offer, not an owner of None: GNOME goes on offering what its
    // own window held to Wayland apps when X11's owner becomes None, but
    // bridges an X11 owner's empty offer to them, and keeps nothing of it.
    void withdraw() override;

private:
    void onClipboardChanged();
    void onReadFinished(quint64 request, const X11SelectionReader::Result &result);
    // Makes every read still under way give up and its answer count for nothing.
    void supersede();

    QClipboard *m_clipboard;
    QThread m_thread;
    X11SelectionReader *m_reader; // lives on m_thread, which deletes it when it ends
    quint64 m_request = 0;
};
