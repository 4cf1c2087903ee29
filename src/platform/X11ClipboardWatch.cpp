// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11ClipboardWatch.h"

#include "ClipboardFormats.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

uint32_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const uint32_t atom = reply != nullptr ? reply->atom : uint32_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// How long an owner may take to tell whether its copy is a secret.
constexpr int hintAnswerMs = 2000;

} // namespace

std::unique_ptr<X11ClipboardWatch> X11ClipboardWatch::watch(const QByteArray &display)
{
    if (display.isEmpty())
        return nullptr;
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(display.constData(), &screenNumber);
    std::unique_ptr<X11ClipboardWatch> watch(new X11ClipboardWatch(connection));
    if (xcb_connection_has_error(connection) != 0)
        return nullptr;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (xfixes == nullptr || xfixes->present == 0)
        return nullptr;
    xcb_xfixes_query_version_reply_t *version = xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, 1, 0), nullptr);
    if (version == nullptr)
        return nullptr;
    std::free(version);
    watch->m_clipboard = internAtom(connection, "CLIPBOARD");
    watch->m_hintTarget = internAtom(connection, ClipboardFormats::secretHint);
    watch->m_property = internAtom(connection, "QUILLMARK_SECRET_HINT");
    if (watch->m_clipboard == XCB_ATOM_NONE || watch->m_hintTarget == XCB_ATOM_NONE ||
        watch->m_property == XCB_ATOM_NONE)
        return nullptr;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    // The window the owner's answers come to; never shown.
    watch->m_window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, watch->m_window, it.data->root, 0, 0, 1, 1,
                      0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_xfixes_select_selection_input(connection, it.data->root, watch->m_clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection);
    watch->m_selectionEvent = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
    watch->m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection),
                                            QSocketNotifier::Read, watch.get());
    connect(watch->m_notifier, &QSocketNotifier::activated, watch.get(),
            &X11ClipboardWatch::takeEvents);
    watch->m_answerTimeout = new QTimer(watch.get());
    watch->m_answerTimeout->setSingleShot(true);
    watch->m_answerTimeout->setInterval(hintAnswerMs);
    connect(watch->m_answerTimeout, &QTimer::timeout, watch.get(),
            [self = watch.get()] { self->answer(QByteArray()); });
    return watch;
}

X11ClipboardWatch::X11ClipboardWatch(xcb_connection_t *connection) : m_connection(connection) {}

X11ClipboardWatch::~X11ClipboardWatch()
{
    delete m_notifier;
    xcb_disconnect(m_connection);
}

void X11ClipboardWatch::askSecretHint(std::function<void(const std::optional<QByteArray> &)> answer)
{
    m_answer = std::move(answer);
    xcb_convert_selection(m_connection, m_window, m_clipboard, m_hintTarget, m_property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    m_answerTimeout->start();
    // Sending may have read events (even the answer) off the socket, which
    // then wakes nobody: they are taken once this call is over.
    QMetaObject::invokeMethod(this, &X11ClipboardWatch::takeEvents, Qt::QueuedConnection);
}

void X11ClipboardWatch::answer(const std::optional<QByteArray> &value)
{
    m_answerTimeout->stop();
    if (auto answer = std::exchange(m_answer, nullptr))
        answer(value);
}

void X11ClipboardWatch::takeEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == m_selectionEvent) {
            const auto subtype =
                reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event)->subtype;
            if (subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER) {
                Q_EMIT ownerChanged();
            } else {
                // Whoever asked learns first that no answer will come.
                answer(std::nullopt);
                Q_EMIT ownerQuit();
            }
        } else if (type == XCB_SELECTION_NOTIFY && m_answer) {
            const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
            QByteArray value;
            if (notify->property != XCB_ATOM_NONE) {
                xcb_get_property_reply_t *reply =
                    xcb_get_property_reply(m_connection,
                                           xcb_get_property(m_connection, 1, m_window, m_property,
                                                            XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                                           nullptr);
                if (reply != nullptr) {
                    value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                                       xcb_get_property_value_length(reply));
                    std::free(reply);
                }
            }
            answer(value);
        }
        std::free(event);
    }
    // XWayland gone: the Wayland side tells the rest.
    if (xcb_connection_has_error(m_connection) != 0)
        m_notifier->setEnabled(false);
}
