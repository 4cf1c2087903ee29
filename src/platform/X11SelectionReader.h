// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "X11ClipboardOwners.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

class QSocketNotifier;
struct xcb_connection_t;

// Reads the X11 CLIPBOARD on a display connection of its own, meant to live
// on a worker thread: asking another app for its data is a round trip to
// that app, which may be slow (a text of many megabytes) or never answer.
// The UI thread only asks and later hears the outcome; a newer request makes
// a read still waiting on its owner give up. A text above the capture limit
// is refused from its announced size before it is fetched (or as soon as a
// transfer in pieces grows past it), so it never enters memory.
//
// It follows every change of owner itself (XFixes), on its own thread: a
// copy is classified (secret or not) as soon as its owner takes the
// clipboard, even when the UI asks too late, after that owner quit.
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
    // Connects and starts following the clipboard's owners.
    void start();
    void read(quint64 request);

Q_SIGNALS:
    void finished(quint64 request, const X11SelectionReader::Result &result);

private:
    // An owner change the X server announced, not yet taken into m_owners.
    struct OwnerEvent {
        quint8 subtype = 0;
        quint32 owner = 0;
    };

    [[nodiscard]] Result readClipboard(quint64 request);
    [[nodiscard]] bool connectDisplay();
    // Notes an owner change from `event` (an xcb_generic_event_t); other
    // events are dropped.
    void keepEvent(const void *event);
    // Takes every owner change received so far into m_owners.
    void takeEvents();
    // Takes the owner changes, and classifies the current owner's copy
    // unless that is known already.
    void settle();
    [[nodiscard]] X11ClipboardOwners::Kind kindOf(quint32 window) const;
    [[nodiscard]] bool isWindowManagers(quint32 window) const;

    QByteArray m_display;
    xcb_connection_t *m_connection = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    quint32 m_root = 0;
    quint32 m_ownClient;
    quint32 m_clipboardAtom = 0;
    quint32 m_wmCheckAtom = 0;
    quint8 m_selectionEvent = 0; // XFixes' selection event code; 0 without XFixes
    X11ClipboardOwners m_owners;
    QList<OwnerEvent> m_pending;
    quint64 m_classified = 0; // the last ownership a read asked about
    std::atomic<quint64> m_latest{0};
};
