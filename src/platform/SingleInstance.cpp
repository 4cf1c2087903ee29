#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

Q_LOGGING_CATEGORY(lcInstance, "quillmark.platform.instance")

namespace {

constexpr int replyTimeoutMs = 3000;
// The first instance may hold the lock while it is still starting up and
// not yet listening; keep trying for this long before giving up.
constexpr int connectPatienceMs = 5000;
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");

QString defaultDirectory()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

} // namespace

SingleInstance::SingleInstance(QString directory, QObject *parent)
    : QObject(parent), m_directory(directory.isEmpty() ? defaultDirectory() : std::move(directory))
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
    m_lock = std::make_unique<QLockFile>(lockPath());
    // Only a dead owner makes the lock stale, never its age: the first
    // instance may run for weeks.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        if (!listen())
            qCWarning(lcInstance) << "cannot listen on" << socketPath() << m_server->errorString();
        return Role::primary;
    }
    m_lock.reset();

    const QDeadlineTimer patience(connectPatienceMs);
    while (!patience.hasExpired()) {
        if (deliver(request))
            return Role::secondary;
        QThread::msleep(100);
    }
    return Role::unreachable;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left behind belongs to a dead
    // instance.
    QLocalServer::removeServer(socketPath());
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return m_server->listen(socketPath());
}

bool SingleInstance::deliver(const AppRequest &request) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(replyTimeoutMs))
        return false;
    socket.write(request.encode());
    if (!socket.waitForBytesWritten(replyTimeoutMs))
        return false;
    QByteArray reply;
    const QDeadlineTimer deadline(replyTimeoutMs);
    while (!reply.contains('\n') && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
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
