// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11TaskbarPresence.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// _NET_WM_STATE client message actions.
constexpr std::uint32_t netWmStateRemove = 0;
constexpr std::uint32_t netWmStateAdd = 1;
constexpr std::uint32_t sourceApplication = 1;

} // namespace

X11TaskbarPresence::X11TaskbarPresence(xcb_connection_t *connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    m_root = xcb_setup_roots_iterator(setup).data->root;
    m_netWmState = internAtom("_NET_WM_STATE");
    m_skipTaskbar = internAtom("_NET_WM_STATE_SKIP_TASKBAR");
    m_skipPager = internAtom("_NET_WM_STATE_SKIP_PAGER");
    m_supportingWmCheck = internAtom("_NET_SUPPORTING_WM_CHECK");
    QCoreApplication::instance()->installEventFilter(this);
}

X11TaskbarPresence::~X11TaskbarPresence()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

std::uint32_t X11TaskbarPresence::internAtom(const char *name) const
{
    const auto cookie =
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    const std::uint32_t atom = reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

bool X11TaskbarPresence::isManagedWindow(const QWindow *window)
{
    if (!window || !window->isTopLevel())
        return false;
    switch (window->type()) {
    case Qt::Window:
    case Qt::Dialog:
        return true;
    default:
        // Popups, tool tips and the like never appear in a taskbar.
        return false;
    }
}

void X11TaskbarPresence::setShownInTaskbar(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow *window : windows) {
        if (!isManagedWindow(window) || !window->handle())
            continue;
        if (window->isVisible())
            applyToMapped(static_cast<std::uint32_t>(window->winId()));
        else
            applyToUnmapped(static_cast<std::uint32_t>(window->winId()));
    }
    xcb_flush(m_connection);
}

bool X11TaskbarPresence::eventFilter(QObject *watched, QEvent *event)
{
    // QWindow sends itself Show just before the native window is mapped:
    // the last moment the property is still ours to write.
    if (event->type() == QEvent::Show && watched->isWindowType()) {
        auto *window = static_cast<QWindow *>(watched);
        if (isManagedWindow(window) && window->handle()) {
            applyToUnmapped(static_cast<std::uint32_t>(window->winId()));
            xcb_flush(m_connection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void X11TaskbarPresence::applyToUnmapped(std::uint32_t window)
{
    const auto cookie =
        xcb_get_property(m_connection, 0, window, m_netWmState, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookie, nullptr);
    std::vector<std::uint32_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *data = static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);

    std::erase(atoms, m_skipTaskbar);
    std::erase(atoms, m_skipPager);
    if (!m_shown) {
        atoms.push_back(m_skipTaskbar);
        atoms.push_back(m_skipPager);
    }
    if (atoms.empty())
        xcb_delete_property(m_connection, window, m_netWmState);
    else
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmState,
                            XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(atoms.size()),
                            atoms.data());
}

void X11TaskbarPresence::applyToMapped(std::uint32_t window)
{
    if (!windowManagerRunning()) {
        // Nobody manages the property; keep it truthful for pagers that
        // read it directly.
        applyToUnmapped(window);
        return;
    }
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_netWmState;
    message.data.data32[0] = m_shown ? netWmStateRemove : netWmStateAdd;
    message.data.data32[1] = m_skipTaskbar;
    message.data.data32[2] = m_skipPager;
    message.data.data32[3] = sourceApplication;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
}

bool X11TaskbarPresence::windowManagerRunning() const
{
    const auto cookie =
        xcb_get_property(m_connection, 0, m_root, m_supportingWmCheck, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookie, nullptr);
    const bool running = reply && xcb_get_property_value_length(reply) >= 4;
    std::free(reply);
    return running;
}
