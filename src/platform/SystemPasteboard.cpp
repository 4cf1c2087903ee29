// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SystemPasteboard.h"

#include "ClipboardConnection.h"

#include <utility>

SystemPasteboard::SystemPasteboard(std::unique_ptr<ClipboardConnection> connection,
                                   Fallback fallback, QObject *parent)
    : QObject(parent), m_fallback(std::move(fallback))
{
    attach(std::move(connection));
}

SystemPasteboard::~SystemPasteboard() = default;

void SystemPasteboard::attach(std::unique_ptr<ClipboardConnection> connection)
{
    m_connection = std::move(connection);
    if (!m_connection)
        return;
    connect(m_connection.get(), &ClipboardConnection::foreignCopy, this,
            &SystemPasteboard::onForeignCopy);
    connect(m_connection.get(), &ClipboardConnection::emptied, this, &SystemPasteboard::onEmptied);
    // Queued: the lost connection is still inside its own code when it says so.
    connect(m_connection.get(), &ClipboardConnection::lost, this, &SystemPasteboard::onLost,
            Qt::QueuedConnection);
}

std::optional<QString> SystemPasteboard::stringForType()
{
    return m_text ? std::optional<QString>(m_text->toString()) : std::nullopt;
}

void SystemPasteboard::clearContents()
{
    m_keepText.reset();
    m_secret = false;
    m_text.reset();
    m_refusedBytes = 0;
    ++m_changeCount;
    announceChange();
    if (m_connection)
        m_connection->clear();
}

void SystemPasteboard::setString(const QString &text)
{
    m_keepText.reset();
    m_secret = false;
    m_text = text;
    m_refusedBytes = 0;
    ++m_changeCount;
    announceChange();
    if (m_connection)
        m_connection->setText(text);
}

void SystemPasteboard::onForeignCopy(const std::optional<QString> &text, bool secret,
                                     qint64 refusedBytes, bool handedOn)
{
    // The desktop keeps the departed owner's copy: no change. It ignores a
    // secret's mark, so a secret stays unrecorded and is taken off the
    // clipboard. Should the desktop let go of a text in turn, Quillmark
    // keeps it.
    if (handedOn && (secret || m_secret)) {
        m_secret = true;
        m_text.reset();
        m_keepText.reset();
        if (m_connection)
            m_connection->withdraw();
        return;
    }
    if (handedOn && text && m_text && ItemText(*text) == *m_text) {
        m_keepText = m_text;
        return;
    }
    m_secret = secret;
    m_text = secret || !text ? std::nullopt : std::optional<ItemText>(*text);
    m_refusedBytes = refusedBytes;
    m_keepText = m_text;
    ++m_changeCount;
    announceChange();
}

void SystemPasteboard::onEmptied()
{
    if (!m_keepText || !m_connection)
        return;
    // Not a change: the same text stays on the clipboard, now served by us.
    const ItemText text = *std::exchange(m_keepText, std::nullopt);
    m_connection->setText(text.toString());
}

void SystemPasteboard::onLost()
{
    // The old connection goes later: this may run inside one of its calls.
    if (m_connection) {
        m_connection->disconnect(this);
        m_connection.release()->deleteLater();
    }
    if (m_fallback)
        attach(m_fallback());
}
