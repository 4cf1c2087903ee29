// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11ClipboardConnection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <limits>

#include <xcb/xcb.h>

namespace {

// The bits that every window of Qt's own display connection shares: the
// clipboard owner is Quillmark when its window has them.
quint32 qtClientBits()
{
    auto *x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return 0;
    xcb_connection_t *connection = x11->connection();
    return xcb_generate_id(connection) & ~xcb_get_setup(connection)->resource_id_mask;
}

} // namespace

X11ClipboardConnection::X11ClipboardConnection(QClipboard *clipboard, const QByteArray &display,
                                               QObject *parent)
    : ClipboardConnection(parent), m_clipboard(clipboard),
      m_reader(new X11SelectionReader(display, qtClientBits()))
{
    m_thread.setObjectName(QStringLiteral("clipboard reader"));
    m_reader->moveToThread(&m_thread);
    connect(m_reader, &X11SelectionReader::finished, this, &X11ClipboardConnection::onReadFinished,
            Qt::QueuedConnection);
    // The reader's socket notifier must go on its own thread.
    connect(&m_thread, &QThread::finished, m_reader, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(m_reader, &X11SelectionReader::start, Qt::QueuedConnection);
    // Qt emits this for every new owner, for its own writes (synchronously,
    // inside the call) and when the owner exits. Whether Quillmark owns the
    // clipboard is asked of the X server each time: Qt goes on believing it
    // does when its takeover lost a race (GNOME keeps the clipboard of an
    // app that quits too), and every later copy would be missed.
    connect(m_clipboard, &QClipboard::dataChanged, this,
            &X11ClipboardConnection::onClipboardChanged);
}

X11ClipboardConnection::~X11ClipboardConnection()
{
    m_reader->supersede(std::numeric_limits<quint64>::max());
    m_thread.quit();
    m_thread.wait();
}

void X11ClipboardConnection::supersede()
{
    m_reader->supersede(++m_request);
}

void X11ClipboardConnection::onClipboardChanged()
{
    supersede();
    // Whether a new owner or none: the reader asks the X server, then the owner.
    const quint64 request = m_request;
    QMetaObject::invokeMethod(
        m_reader, [reader = m_reader, request] { reader->read(request); }, Qt::QueuedConnection);
}

void X11ClipboardConnection::onReadFinished(quint64 request,
                                            const X11SelectionReader::Result &result)
{
    // A later change, or a copy of our own since, makes this answer stale.
    if (request != m_request)
        return;
    switch (result.outcome) {
    case X11SelectionReader::Outcome::read:
        Q_EMIT foreignCopy(result.text, result.secret, result.refusedBytes, result.handedOn);
        break;
    case X11SelectionReader::Outcome::empty:
        Q_EMIT emptied();
        break;
    case X11SelectionReader::Outcome::own:
    case X11SelectionReader::Outcome::failed:
        break;
    }
}

void X11ClipboardConnection::setText(const QString &text)
{
    m_clipboard->setText(text, QClipboard::Clipboard);
    supersede();
}

void X11ClipboardConnection::clear()
{
    m_clipboard->clear(QClipboard::Clipboard);
    supersede();
}

void X11ClipboardConnection::withdraw()
{
    m_clipboard->setMimeData(new QMimeData, QClipboard::Clipboard);
    supersede();
}
