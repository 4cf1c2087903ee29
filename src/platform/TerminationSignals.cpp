// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TerminationSignals.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSockets[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // If the socket is full a request is already pending; dropping is fine.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

void installHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

void TerminationSignals::catchEarly()
{
    if (signalSockets[0] != -1)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) {
        qWarning("Cannot create the socket pair for termination signals");
        return;
    }
    installHandler(SIGINT, onSignal);
    installHandler(SIGTERM, onSignal);
}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    catchEarly();
    if (signalSockets[0] == -1)
        return;
    // A signal caught before now is already waiting in the socket: the
    // notifier reports it as soon as the event loop runs.
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
}

TerminationSignals::~TerminationSignals()
{
    if (signalSockets[0] == -1)
        return;
    installHandler(SIGINT, SIG_DFL);
    installHandler(SIGTERM, SIG_DFL);
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void TerminationSignals::readPending()
{
    unsigned char byte = 0;
    while (::read(signalSockets[1], &byte, 1) == 1)
        Q_EMIT received(byte);
}
