// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppRequest.h"

#include <QObject>
#include <QString>

#include <memory>

class QDeadlineTimer;
class QLocalSocket;
class QLockFile;
class QSocketNotifier;

// Keeps Quillmark to one process per user session. Two instances would
// both capture every copy and both rewrite the one history file, each
// losing the other's changes. The first process holds a lock file in
// XDG_RUNTIME_DIR and listens on a local socket beside it; a later one
// finds the lock taken, hands its request to the first over the socket
// and exits. The first one listens only once it is up (history loaded,
// clipboard watched), so a socket that answers means a Quillmark that is
// ready; a launch that comes sooner waits for it. The directory must be
// private to the user (RuntimeDirectory).
//
// Anything the user runs can connect, so the listener guards itself: a
// client has a few seconds to send its request, only so many are served
// at once (the rest wait in the kernel's queue), and running out of file
// descriptors pauses accepting instead of ending it.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        // We hold the lock and serve requests.
        primary,
        // Another instance runs and has acknowledged our request.
        secondary,
        // Another instance holds the lock but could not be reached.
        unreachable,
    };

    explicit SingleInstance(QString directory, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary instance, or delivers `request` to the running one.
    [[nodiscard]] Role claim(const AppRequest &request);
    // The primary is up: take requests from later launches from now on.
    void serve();
    // The primary's event loop has ended: stop taking requests.
    void stopServing();

    [[nodiscard]] QString socketPath() const;
    [[nodiscard]] QString lockPath() const;

    // A client that has not sent a whole request by then is dropped.
    static constexpr int clientPatienceMs = 2000;
    // Connections served at once.
    static constexpr int maxClients = 32;

Q_SIGNALS:
    void requestReceived(const AppRequest &request);

private:
    [[nodiscard]] bool deliver(const AppRequest &request, const QDeadlineTimer &patience) const;
    void acceptConnections();
    void serveClient(QLocalSocket *socket);
    void readRequest(QLocalSocket *socket);
    // Accepting stops while the clients are at their cap or descriptors
    // have run out; this starts it again when neither holds.
    void resumeAccepting();

    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    int m_listener = -1;
    QSocketNotifier *m_notifier = nullptr;
    int m_clients = 0;
    bool m_outOfDescriptors = false;
};
