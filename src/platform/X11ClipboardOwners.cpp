// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11ClipboardOwners.h"

void X11ClipboardOwners::taken(quint32 window, Kind kind, bool windowManagers)
{
    if (window == 0) {
        left();
        return;
    }
    Owner next{++m_serial, window, kind};
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
