// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "quillmark.platform.instance")

namespace {

constexpr int replyTimeoutMs = 3000;
// The first instance holds the lock while it is still starting up and not
// yet listening (a big history takes a moment to load); keep trying for
// this long before giving up.
constexpr int connectPatienceMs = 10000;
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
// No request is longer than this.
constexpr qint64 maxRequestBytes = 4096;
// Connections the kernel holds for us while we serve others.
constexpr int listenBacklog = 64;
// After accept() found no descriptor free, the next try comes this late.
constexpr int outOfDescriptorsPauseMs = 250;

} // namespace

SingleInstance::SingleInstance(QString directory, QObject *parent)
    : QObject(parent), m_directory(std::move(directory))
{
}

SingleInstance::~SingleInstance()
{
    stopServing();
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
    if (m_listener < 0)
        return;
    delete std::exchange(m_notifier, nullptr);
    ::close(std::exchange(m_listener, -1));
    ::unlink(QFile::encodeName(socketPath()).constData());
}

void SingleInstance::serve()
{
    Q_ASSERT(m_lock && m_listener < 0);
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) {
        qCWarning(lcInstance) << "cannot listen on" << socketPath() << "(the path is too long)";
        return;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // We hold the lock, so a socket file left behind belongs to a dead
    // instance. The directory is the user's alone; the socket is too.
    ::unlink(path.constData());
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, listenBacklog) != 0) {
        qCWarning(lcInstance) << "cannot listen on" << socketPath() << std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listener = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
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

void SingleInstance::acceptConnections()
{
    while (m_clients < maxClients) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            auto *socket = new QLocalSocket(this);
            if (socket->setSocketDescriptor(fd)) {
                serveClient(socket);
            } else {
                delete socket;
                ::close(fd);
            }
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        // Out of descriptors (or kernel memory): the connection stays
        // queued. Try again a little later rather than spin on a listener
        // that stays readable; it is never given up.
        qCWarning(lcInstance) << "cannot accept a connection:" << std::strerror(errno);
        m_outOfDescriptors = true;
        QTimer::singleShot(outOfDescriptorsPauseMs, this, [this] {
            m_outOfDescriptors = false;
            resumeAccepting();
        });
        break;
    }
    if (m_notifier)
        m_notifier->setEnabled(m_clients < maxClients && !m_outOfDescriptors);
}

void SingleInstance::resumeAccepting()
{
    if (m_notifier && m_clients < maxClients && !m_outOfDescriptors && !m_notifier->isEnabled()) {
        m_notifier->setEnabled(true);
        // Connections that queued meanwhile are taken now, not at the next.
        acceptConnections();
    }
}

void SingleInstance::serveClient(QLocalSocket *socket)
{
    ++m_clients;
    connect(socket, &QObject::destroyed, this, [this] {
        --m_clients;
        resumeAccepting();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    // A client that keeps its connection open without a request would
    // hold its place for good.
    QTimer::singleShot(clientPatienceMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
}

void SingleInstance::readRequest(QLocalSocket *socket)
{
    // One request per connection: what follows it is not read.
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > maxRequestBytes)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(maxRequestBytes);
    const std::optional<AppRequest> request = AppRequest::decode(line);
    socket->write(request ? acknowledgement : QByteArrayLiteral("unknown\n"));
    socket->flush();
    socket->disconnectFromServer();
    if (request)
        Q_EMIT requestReceived(*request);
    else
        qCWarning(lcInstance) << "ignored request" << line.left(80);
}
