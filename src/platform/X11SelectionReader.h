// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

struct xcb_connection_t;

// Reads the X11 CLIPBOARD on a display connection of its own, meant to live
// on a worker thread: asking another app for its data is a round trip to
// that app, which may be slow (a text of many megabytes) or never answer.
// The UI thread only asks and later hears the outcome; a newer request makes
// a read still waiting on its owner give up. A text above the capture limit
// is refused from its announced size before it is fetched (or as soon as a
// transfer in pieces grows past it), so it never enters memory.
class X11SelectionReader final : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        read,   // the owner answered: see text and secret
        empty,  // nobody owns the clipboard
        own,    // Quillmark does
        failed, // the owner did not answer, or a newer request came first
    };
    struct Result {
        Outcome outcome = Outcome::failed;
        std::optional<QString> text;
        bool secret = false;
        qint64 refusedBytes = 0; // a text above the capture limit: its size, unread
        // The owner read before has gone, and the window manager took the
        // clipboard over: it hands on that owner's offer, it made no copy.
        bool handedOn = false;
    };

    // `ownClient`: the client bits of the windows of Quillmark's own display
    // connection (0: unknown).
    X11SelectionReader(QByteArray display, quint32 ownClient, QObject *parent = nullptr);
    ~X11SelectionReader() override;

    // Any thread: requests older than `request` give up as soon as they can.
    void supersede(quint64 request) { m_latest.store(request); }

public Q_SLOTS:
    void read(quint64 request);

Q_SIGNALS:
    void finished(quint64 request, const X11SelectionReader::Result &result);

private:
    [[nodiscard]] Result readClipboard(quint64 request);
    [[nodiscard]] bool connectDisplay();
    QByteArray m_display;
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    quint32 m_ownClient;
    // The clipboard's owner at the last read, and what that read learnt of
    // its copy (even when the owner quit before giving the text).
    enum class Secrecy { unknown, plain, secret };
    quint32 m_lastOwner = 0;
    Secrecy m_lastSecrecy = Secrecy::unknown;
    std::atomic<quint64> m_latest{0};
};
