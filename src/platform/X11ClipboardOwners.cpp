// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11ClipboardOwners.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <utility>

namespace {

constexpr qsizetype saltBytes = 16;

// The salt followed by the SHA-256 of salt and text.
QByteArray saltedDigest(const QByteArray &salt, const QByteArray &text)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(text);
    return salt + hash.result();
}

} // namespace

void X11ClipboardOwners::taken(quint32 window, Kind kind, bool windowManagers)
{
    if (window == 0) {
        left();
        return;
    }
    Owner next;
    next.serial = ++m_serial;
    next.window = window;
    next.kind = kind;
    next.windowManagers = kind == Kind::foreign && windowManagers;
    if (next.windowManagers && m_current.windowManagers && m_current.secrecy == Secrecy::secret)
        next.maybeSecret = m_current.digest;
    if (kind == Kind::foreign) {
        if (windowManagers && m_foreign.serial != 0 && m_foreignLeft) {
            next.handedOn = true;
            next.secrecy = m_foreign.secrecy == Secrecy::plain ? Secrecy::plain : Secrecy::secret;
        }
        m_foreign = next;
        m_foreignLeft = false;
    }
    m_current = next;
}

void X11ClipboardOwners::left()
{
    if (m_current.kind == Kind::foreign)
        m_foreignLeft = true;
    m_current = Owner{};
}

void X11ClipboardOwners::classify(quint64 serial, Secrecy secrecy)
{
    // Once a copy counts as a secret it stays one: the window manager's
    // window offers a departed secret without its mark.
    const auto learn = [&](Owner &owner) {
        if (owner.serial == serial && owner.secrecy != Secrecy::secret &&
            secrecy != Secrecy::unknown)
            owner.secrecy = secrecy;
    };
    learn(m_current);
    learn(m_foreign);
}

void X11ClipboardOwners::remember(quint64 serial, const QByteArray &text)
{
    if (m_current.serial != serial || !m_current.windowManagers ||
        m_current.secrecy != Secrecy::secret)
        return;
    QByteArray salt(saltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    m_current.digest = saltedDigest(salt, text);
}

void X11ClipboardOwners::compare(quint64 serial, const QByteArray &text)
{
    for (Owner *owner : {&m_current, &m_foreign}) {
        if (owner->serial != serial || !owner->maybeSecret)
            continue;
        const QByteArray secret = *std::exchange(owner->maybeSecret, std::nullopt);
        if (secret.isEmpty() || saltedDigest(secret.left(saltBytes), text) == secret) {
            owner->secrecy = Secrecy::secret;
            owner->handedOn = true;
        }
    }
}
