// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QThread>

#include <algorithm>

Q_LOGGING_CATEGORY(lcInstance, "quillmark.platform.instance")

namespace {

constexpr int replyTimeoutMs = 3000;
// The first instance holds the lock while it is still starting up and not
// yet listening (a big history takes a moment to load); keep trying for
// this long before giving up.
constexpr int connectPatienceMs = 10000;
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");

} // namespace

SingleInstance::SingleInstance(QString directory, QObject *parent)
    : QObject(parent), m_directory(std::move(directory))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::socketPath() const
{
    return QDir(m_directory).filePath(QStringLiteral("quillmark.socket"));
}

QString SingleInstance::lockPath() const
{
    return QDir(m_directory).filePath(QStringLiteral("quillmark.lock"));
}

SingleInstance::Role SingleInstance::claim(const AppRequest &request)
{
    QDir().mkpath(m_directory);
    // The lock and the delivery are tried in turn until one works: the
    // instance that holds the lock may be on its way out (quitting, or killed
    // a moment ago), and then this launch must become the first one itself
    // rather than give up on a socket that nobody answers any more.
    const QDeadlineTimer patience(connectPatienceMs);
    while (true) {
        m_lock = std::make_unique<QLockFile>(lockPath());
        // Only a dead owner makes the lock stale, never its age: the first
        // instance may run for weeks.
        m_lock->setStaleLockTime(0);
        if (m_lock->tryLock(0))
            return Role::primary;
        m_lock.reset();
        if (deliver(request, patience))
            return Role::secondary;
        if (patience.hasExpired())
            return Role::unreachable;
        QThread::msleep(100);
    }
}

void SingleInstance::stopServing()
{
    // Later launches are refused at once instead of waiting in the queue of
    // a process that will never read them; the lock stays until we are gone.
    if (m_server)
        m_server->close();
}

void SingleInstance::serve()
{
    Q_ASSERT(m_lock && !m_server);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left behind belongs to a dead
    // instance.
    QLocalServer::removeServer(socketPath());
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (!m_server->listen(socketPath()))
        qCWarning(lcInstance) << "cannot listen on" << socketPath() << m_server->errorString();
}

bool SingleInstance::deliver(const AppRequest &request, const QDeadlineTimer &patience) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(replyTimeoutMs))
        return false;
    socket.write(request.encode());
    if (!socket.waitForBytesWritten(replyTimeoutMs))
        return false;
    // Once the first instance has our request, wait for its answer as long
    // as we are patient at all: a busy first instance (still starting, or
    // saving a big history) answers late, and asking again on a new
    // connection would have it carry out the request twice (a toggle would
    // undo itself). Only a closed connection means it went away unread.
    QByteArray reply;
    while (!reply.contains('\n') && socket.state() == QLocalSocket::ConnectedState) {
        const qint64 remaining = std::max<qint64>(patience.remainingTime(), replyTimeoutMs);
        if (!socket.waitForReadyRead(int(remaining)) &&
            socket.state() == QLocalSocket::ConnectedState)
            break;
        reply += socket.readAll();
    }
    return reply == acknowledgement;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 4096)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(4096);
            const std::optional<AppRequest> request = AppRequest::decode(line);
            socket->write(request ? acknowledgement : QByteArrayLiteral("unknown\n"));
            socket->flush();
            socket->disconnectFromServer();
            if (request)
                Q_EMIT requestReceived(*request);
            else
                qCWarning(lcInstance) << "ignored request" << line.left(80);
        });
    }
}
