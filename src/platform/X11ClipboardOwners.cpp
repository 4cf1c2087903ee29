// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11ClipboardOwners.h"

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
    if (next.windowManagers) // only a secret of that window has a digest
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

void X11ClipboardOwners::remember(quint64 serial, const QByteArray &digest)
{
    if (m_current.serial == serial && m_current.windowManagers &&
        m_current.secrecy == Secrecy::secret)
        m_current.digest = digest;
}

void X11ClipboardOwners::compared(quint64 serial, bool same)
{
    for (Owner *owner : {&m_current, &m_foreign}) {
        if (owner->serial != serial)
            continue;
        owner->maybeSecret.clear();
        if (same) {
            owner->secrecy = Secrecy::secret;
            owner->handedOn = true;
        }
    }
}
