// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11SelectionReader.h"

#include "ClipboardFormats.h"
#include "Pasteboard.h"

#include <QHash>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include <poll.h>
#include <xcb/xcb.h>

namespace {

using namespace std::chrono_literals;

// How long one step of a read (the answer to a request, or one piece of an
// INCR transfer) may take before the owner counts as not answering.
constexpr auto stepTimeout = 30s;
// How often a waiting read checks whether a newer request came.
constexpr int checkIntervalMs = 50;

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

struct Data {
    QByteArray type;
    QByteArray bytes;
    qint64 refusedBytes = 0; // above the limit: its size as far as known, bytes empty
};

// One read's atoms and its own requestor window: an answer that arrives
// after a read gave up goes to a window nobody waits on any more.
class ReadSession {
public:
    ReadSession(xcb_connection_t *connection, xcb_window_t root, const std::atomic<quint64> &latest,
                quint64 request)
        : m_connection(connection), m_latest(latest), m_request(request)
    {
        m_window = xcb_generate_id(m_connection);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
    }
    ~ReadSession()
    {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    ReadSession(const ReadSession &) = delete;
    ReadSession &operator=(const ReadSession &) = delete;

    xcb_atom_t atom(const char *name)
    {
        auto it = m_atoms.constFind(name);
        if (it != m_atoms.constEnd())
            return *it;
        const auto cookie = xcb_intern_atom(m_connection, 0, qstrlen(name), name);
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        m_atoms.insert(name, value);
        return value;
    }

    QList<QByteArray> atomNames(const xcb_atom_t *atoms, int count)
    {
        QList<xcb_get_atom_name_cookie_t> cookies;
        for (int i = 0; i < count; ++i)
            cookies.append(xcb_get_atom_name(m_connection, atoms[i]));
        QList<QByteArray> names;
        for (const auto &cookie : cookies) {
            Reply<xcb_get_atom_name_reply_t> reply(
                xcb_get_atom_name_reply(m_connection, cookie, nullptr));
            if (reply) {
                names.append(QByteArray(xcb_get_atom_name_name(reply.get()),
                                        xcb_get_atom_name_name_length(reply.get())));
            }
        }
        return names;
    }

    // `limit`: the most bytes taken; a larger answer is refused unread.
    std::optional<Data> convert(const char *targetName,
                                qint64 limit = std::numeric_limits<qint64>::max())
    {
        const xcb_atom_t target = atom(targetName);
        const xcb_atom_t property = atom("QUILLMARK_CLIPBOARD");
        xcb_convert_selection(m_connection, m_window, atom("CLIPBOARD"), target, property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        Reply<xcb_generic_event_t> event = waitFor(XCB_SELECTION_NOTIFY);
        if (!event)
            return std::nullopt;
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event.get());
        if (notify->property == XCB_ATOM_NONE)
            return std::nullopt; // the owner refused this target

        // The size first: the property's length, or the size an INCR
        // transfer announces (a lower bound).
        const std::optional<std::pair<xcb_atom_t, qint64>> head = propertySize(property);
        if (!head)
            return std::nullopt;
        const bool incremental = head->first == atom("INCR");
        if (head->second > limit) {
            Data refused;
            refused.refusedBytes = head->second;
            return refused;
        }
        std::optional<Data> data = takeProperty(property);
        if (!data || !incremental)
            return data;

        // INCR: the owner sends the data in pieces, each put on the property
        // after we deleted the one before; an empty piece ends it. Past the
        // limit the pieces are only counted, so that the owner finishes and
        // the refusal tells the real size.
        Data whole;
        qint64 total = 0;
        for (;;) {
            Reply<xcb_generic_event_t> next = waitFor(XCB_PROPERTY_NOTIFY, property);
            if (!next)
                return std::nullopt;
            std::optional<Data> piece = takeProperty(property);
            if (!piece)
                return std::nullopt;
            if (piece->bytes.isEmpty())
                break;
            total += piece->bytes.size();
            if (total > limit) {
                whole.bytes = QByteArray();
                continue;
            }
            whole.type = piece->type;
            whole.bytes.append(piece->bytes);
        }
        if (total > limit) {
            Data refused;
            refused.refusedBytes = total;
            return refused;
        }
        return whole;
    }

    [[nodiscard]] bool windowExists(xcb_window_t window)
    {
        xcb_generic_error_t *error = nullptr;
        Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), &error));
        std::free(error);
        return reply != nullptr;
    }

    // Whether `window` was made by the window manager's own connection (on
    // Wayland: the compositor's, which bridges its clipboard to X11).
    [[nodiscard]] bool isWindowManagers(xcb_window_t window, xcb_window_t root)
    {
        const auto cookie = xcb_get_property(
            m_connection, 0, root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1);
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) < int(sizeof(xcb_window_t)))
            return false;
        xcb_window_t check = 0;
        std::memcpy(&check, xcb_get_property_value(reply.get()), sizeof check);
        // The bits outside the mask name the client that made the window.
        const quint32 client = ~xcb_get_setup(m_connection)->resource_id_mask;
        return check != XCB_WINDOW_NONE && (check & client) == (window & client);
    }

private:
    // The property's type and size in bytes (for INCR: the announced size),
    // without taking it.
    std::optional<std::pair<xcb_atom_t, qint64>> propertySize(xcb_atom_t property)
    {
        const auto cookie =
            xcb_get_property(m_connection, 0, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1);
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr));
        if (!reply)
            return std::nullopt;
        if (reply->type == atom("INCR") && xcb_get_property_value_length(reply.get()) >= 4) {
            quint32 announced = 0;
            std::memcpy(&announced, xcb_get_property_value(reply.get()), sizeof announced);
            return std::make_pair(reply->type, qint64(announced));
        }
        const qint64 unit = reply->format / 8;
        return std::make_pair(reply->type, qint64(reply->bytes_after) +
                                               qint64(reply->value_len) * qMax<qint64>(unit, 1));
    }

    std::optional<Data> takeProperty(xcb_atom_t property)
    {
        const auto cookie = xcb_get_property(m_connection, 1, m_window, property,
                                             XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff);
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr));
        if (!reply)
            return std::nullopt;
        Data data;
        if (reply->type != XCB_ATOM_NONE) {
            const QList<QByteArray> names = atomNames(&reply->type, 1);
            data.type = names.value(0);
        }
        data.bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                xcb_get_property_value_length(reply.get()));
        return data;
    }

    // The next event of `type` for this read's window (for property
    // notifications: a new value of `property`); nothing on timeout, on a
    // newer request, or when the display connection broke.
    Reply<xcb_generic_event_t> waitFor(uint8_t type, xcb_atom_t property = XCB_ATOM_NONE)
    {
        const auto deadline = std::chrono::steady_clock::now() + stepTimeout;
        for (;;) {
            while (xcb_generic_event_t *raw = xcb_poll_for_event(m_connection)) {
                Reply<xcb_generic_event_t> event(raw);
                if ((event->response_type & 0x7f) != type)
                    continue;
                if (type == XCB_SELECTION_NOTIFY) {
                    const auto *notify =
                        reinterpret_cast<const xcb_selection_notify_event_t *>(raw);
                    if (notify->requestor == m_window)
                        return event;
                } else {
                    const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(raw);
                    if (notify->window == m_window && notify->atom == property &&
                        notify->state == XCB_PROPERTY_NEW_VALUE)
                        return event;
                }
            }
            if (xcb_connection_has_error(m_connection) != 0 || m_latest.load() != m_request ||
                std::chrono::steady_clock::now() >= deadline)
                return nullptr;
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&fd, 1, checkIntervalMs);
        }
    }

    xcb_connection_t *m_connection;
    const std::atomic<quint64> &m_latest;
    quint64 m_request;
    xcb_window_t m_window = 0;
    QHash<QByteArray, xcb_atom_t> m_atoms;
};

} // namespace

X11SelectionReader::X11SelectionReader(QByteArray display, quint32 ownClient, QObject *parent)
    : QObject(parent), m_display(std::move(display)), m_ownClient(ownClient)
{
    qRegisterMetaType<X11SelectionReader::Result>();
}

X11SelectionReader::~X11SelectionReader()
{
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

bool X11SelectionReader::connectDisplay()
{
    if (m_connection != nullptr && xcb_connection_has_error(m_connection) == 0)
        return true;
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
    int screenNumber = 0;
    m_connection =
        xcb_connect(m_display.isEmpty() ? nullptr : m_display.constData(), &screenNumber);
    m_lastOwner = XCB_WINDOW_NONE;
    m_lastSecrecy = Secrecy::unknown;
    if (xcb_connection_has_error(m_connection) != 0)
        return false;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    return true;
}

void X11SelectionReader::read(quint64 request)
{
    if (m_latest.load() != request)
        return; // a newer request is queued behind this one
    const quint32 lastOwner = m_lastOwner;
    const Secrecy lastSecrecy = m_lastSecrecy;
    const Result result = readClipboard(request);
    if (result.handedOn && m_latest.load() != request) {
        // Given up before it was told: the next read hands on in its place.
        m_lastOwner = lastOwner;
        m_lastSecrecy = lastSecrecy;
    }
    Q_EMIT finished(request, result);
}

X11SelectionReader::Result X11SelectionReader::readClipboard(quint64 request)
{
    Result result;
    if (!connectDisplay())
        return result;
    ReadSession session(m_connection, m_root, m_latest, request);

    const auto ownerCookie = xcb_get_selection_owner(m_connection, session.atom("CLIPBOARD"));
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(m_connection, ownerCookie, nullptr));
    if (!owner)
        return result;
    if (owner->owner == XCB_WINDOW_NONE) {
        result.outcome = Outcome::empty;
        return result;
    }
    const quint32 client = ~xcb_get_setup(m_connection)->resource_id_mask;
    if (m_ownClient != 0 && (owner->owner & client) == m_ownClient) {
        result.outcome = Outcome::own;
        return result;
    }
    // GNOME's compositor keeps the clipboard of an owner that quits as
    // Quillmark does, racing it: its window then offers that owner's text,
    // without the secret mark. When that owner left before Quillmark learnt
    // whether its copy was a secret, it counts as one.
    const xcb_window_t previous = std::exchange(m_lastOwner, owner->owner);
    const Secrecy previousSecrecy = std::exchange(m_lastSecrecy, Secrecy::unknown);
    result.handedOn = previous != XCB_WINDOW_NONE && previous != owner->owner &&
                      !session.windowExists(previous) &&
                      session.isWindowManagers(owner->owner, m_root);
    if (result.handedOn && previousSecrecy != Secrecy::plain) {
        m_lastSecrecy = Secrecy::secret;
        result.outcome = Outcome::read;
        result.secret = true;
        return result;
    }

    const std::optional<Data> targets = session.convert("TARGETS");
    if (!targets)
        return result;
    const QList<QByteArray> offered =
        session.atomNames(reinterpret_cast<const xcb_atom_t *>(targets->bytes.constData()),
                          int(targets->bytes.size() / sizeof(xcb_atom_t)));

    result.outcome = Outcome::read;
    // The hint first, so that a secret is never converted at all.
    if (offered.contains(ClipboardFormats::secretHint)) {
        const std::optional<Data> hint = session.convert(ClipboardFormats::secretHint);
        if (hint && ClipboardFormats::marksSecret(hint->bytes)) {
            m_lastSecrecy = Secrecy::secret;
            result.secret = true;
            return result;
        }
        if (hint)
            m_lastSecrecy = Secrecy::plain;
    } else {
        m_lastSecrecy = Secrecy::plain;
    }
    const std::optional<QByteArray> type = ClipboardFormats::preferredTextType(offered);
    if (!type)
        return result;
    const std::optional<Data> text = session.convert(type->constData(), kMaximumCapturedTextBytes);
    if (!text) {
        result.outcome = Outcome::failed;
        return result;
    }
    if (text->refusedBytes > 0) {
        result.refusedBytes = text->refusedBytes;
        return result;
    }
    result.text = ClipboardFormats::decode(text->type, text->bytes);
    return result;
}
