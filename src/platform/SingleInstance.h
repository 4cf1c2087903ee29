// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppRequest.h"

#include <QObject>
#include <QString>

#include <memory>

class QDeadlineTimer;
class QLocalServer;
class QLockFile;

// Keeps Quillmark to one process per user session. Two instances would
// both capture every copy and both rewrite the one history file, each
// losing the other's changes. The first process holds a lock file in
// XDG_RUNTIME_DIR and listens on a local socket beside it; a later one
// finds the lock taken, hands its request to the first over the socket
// and exits. The first one listens only once it is up (history loaded,
// clipboard watched), so a socket that answers means a Quillmark that is
// ready; a launch that comes sooner waits for it. The directory must be
// private to the user (RuntimeDirectory).
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

Q_SIGNALS:
    void requestReceived(const AppRequest &request);

private:
    [[nodiscard]] bool deliver(const AppRequest &request, const QDeadlineTimer &patience) const;
    void acceptConnection();

    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
