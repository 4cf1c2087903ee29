// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11SelectionReader.h"

#include "ClipboardFormats.h"
#include "Pasteboard.h"

#include <QHash>
#include <QSocketNotifier>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <utility>

#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

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
// after a read gave up goes to a window nobody waits on any more. A read
// gives up when `giveUp` says so; events that are not its own go to `other`.
class ReadSession {
public:
    ReadSession(xcb_connection_t *connection, xcb_window_t root, std::function<bool()> giveUp,
                std::function<void(const xcb_generic_event_t *)> other)
        : m_connection(connection), m_giveUp(std::move(giveUp)), m_other(std::move(other))
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

    // While set, what the X server sent is wiped once taken (a secret).
    void setSensitive(bool sensitive) { m_sensitive = sensitive; }

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
        void *value = xcb_get_property_value(reply.get());
        const int length = xcb_get_property_value_length(reply.get());
        data.bytes = QByteArray(static_cast<const char *>(value), length);
        if (m_sensitive)
            std::memset(value, 0, size_t(length));
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
                if ((event->response_type & 0x7f) != type) {
                    m_other(raw);
                } else if (type == XCB_SELECTION_NOTIFY) {
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
            if (xcb_connection_has_error(m_connection) != 0 || m_giveUp() ||
                std::chrono::steady_clock::now() >= deadline)
                return nullptr;
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&fd, 1, checkIntervalMs);
        }
    }

    xcb_connection_t *m_connection;
    std::function<bool()> m_giveUp;
    std::function<void(const xcb_generic_event_t *)> m_other;
    xcb_window_t m_window = 0;
    QHash<QByteArray, xcb_atom_t> m_atoms;
    bool m_sensitive = false;
};

using Secrecy = X11ClipboardOwners::Secrecy;

struct Offer {
    QList<QByteArray> targets;
    Secrecy secrecy = Secrecy::unknown;
};

// The owner's targets and, when it offers the hint, whether its copy is a
// secret. The hint comes first, so that a secret is never converted at all.
std::optional<Offer> readOffer(ReadSession &session)
{
    const std::optional<Data> targets = session.convert("TARGETS");
    if (!targets)
        return std::nullopt;
    Offer offer;
    offer.targets =
        session.atomNames(reinterpret_cast<const xcb_atom_t *>(targets->bytes.constData()),
                          int(targets->bytes.size() / sizeof(xcb_atom_t)));
    if (!offer.targets.contains(ClipboardFormats::secretHint)) {
        offer.secrecy = Secrecy::plain;
        return offer;
    }
    if (const std::optional<Data> hint = session.convert(ClipboardFormats::secretHint))
        offer.secrecy =
            ClipboardFormats::marksSecret(hint->bytes) ? Secrecy::secret : Secrecy::plain;
    return offer;
}

void wipe(std::optional<Data> &data)
{
    if (data)
        std::fill(data->bytes.begin(), data->bytes.end(), '\0');
    data.reset();
}

// Takes what `offer` tells of `owner`'s copy into `owners`. A secret of the
// window manager's window is read too, for its salted digest, and so is that
// window's next copy, to compare; neither text is kept. False when a read
// failed.
bool learn(X11ClipboardOwners &owners, ReadSession &session, const X11ClipboardOwners::Owner &owner,
           const Offer &offer)
{
    const bool secret = offer.secrecy == Secrecy::secret;
    // A secret stays one whatever comes of reading its text.
    if (secret || !owner.windowManagers || !owner.maybeSecret)
        owners.classify(owner.serial, offer.secrecy);
    if (!owner.windowManagers || (secret ? !owner.digest.isEmpty() : !owner.maybeSecret))
        return true;
    std::optional<Data> text = Data{}; // no text at all: an empty one
    if (const std::optional<QByteArray> type = ClipboardFormats::preferredTextType(offer.targets)) {
        session.setSensitive(true);
        text = session.convert(type->constData(), kMaximumCapturedTextBytes);
        session.setSensitive(false);
    }
    if (!text)
        return secret;
    if (!secret) {
        owners.compare(owner.serial, text->bytes);
        owners.classify(owner.serial, offer.secrecy);
    } else if (text->refusedBytes == 0) {
        owners.remember(owner.serial, text->bytes);
    }
    wipe(text);
    return true;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, qstrlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

X11SelectionReader::X11SelectionReader(QByteArray display, quint32 ownClient, QObject *parent)
    : QObject(parent), m_display(std::move(display)), m_ownClient(ownClient)
{
    qRegisterMetaType<X11SelectionReader::Result>();
}

X11SelectionReader::~X11SelectionReader()
{
    delete m_notifier;
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

bool X11SelectionReader::connectDisplay()
{
    if (m_connection != nullptr && xcb_connection_has_error(m_connection) == 0)
        return true;
    delete std::exchange(m_notifier, nullptr);
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
    int screenNumber = 0;
    m_connection =
        xcb_connect(m_display.isEmpty() ? nullptr : m_display.constData(), &screenNumber);
    m_owners = X11ClipboardOwners();
    m_pending.clear();
    m_classified = 0;
    m_selectionEvent = 0;
    if (xcb_connection_has_error(m_connection) != 0)
        return false;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    m_clipboardAtom = internAtom(m_connection, "CLIPBOARD");
    m_wmCheckAtom = internAtom(m_connection, "_NET_SUPPORTING_WM_CHECK");

    // Every change of owner from here on, then the owner as it is now.
    const xcb_query_extension_reply_t *xfixes =
        xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (xfixes != nullptr && xfixes->present != 0) {
        Reply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
            m_connection, xcb_xfixes_query_version(m_connection, 1, 0), nullptr));
        if (version) {
            m_selectionEvent = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
            xcb_xfixes_select_selection_input(
                m_connection, m_root, m_clipboardAtom,
                XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        }
    }
    Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_clipboardAtom), nullptr));
    if (owner)
        m_owners.taken(owner->owner, kindOf(owner->owner), false);

    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11SelectionReader::settle);
    return true;
}

X11ClipboardOwners::Kind X11SelectionReader::kindOf(quint32 window) const
{
    if (window == XCB_WINDOW_NONE)
        return X11ClipboardOwners::Kind::none;
    const quint32 client = ~xcb_get_setup(m_connection)->resource_id_mask;
    return m_ownClient != 0 && (window & client) == m_ownClient ? X11ClipboardOwners::Kind::own
                                                                : X11ClipboardOwners::Kind::foreign;
}

// Whether `window` was made by the window manager's own connection (on
// Wayland: the compositor's, which bridges its clipboard to X11).
bool X11SelectionReader::isWindowManagers(quint32 window) const
{
    const auto cookie =
        xcb_get_property(m_connection, 0, m_root, m_wmCheckAtom, XCB_ATOM_WINDOW, 0, 1);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < int(sizeof(xcb_window_t)))
        return false;
    xcb_window_t check = 0;
    std::memcpy(&check, xcb_get_property_value(reply.get()), sizeof check);
    // The bits outside the mask name the client that made the window.
    const quint32 client = ~xcb_get_setup(m_connection)->resource_id_mask;
    return check != XCB_WINDOW_NONE && (check & client) == (window & client);
}

void X11SelectionReader::keepEvent(const void *raw)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(raw);
    if (m_selectionEvent == 0 || (event->response_type & 0x7f) != m_selectionEvent)
        return;
    const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
    if (notify->selection == m_clipboardAtom)
        m_pending.append({notify->subtype, notify->owner});
}

void X11SelectionReader::takeEvents()
{
    for (;;) {
        while (xcb_generic_event_t *raw = xcb_poll_for_event(m_connection)) {
            keepEvent(raw);
            std::free(raw);
        }
        if (m_pending.isEmpty())
            return;
        // Telling the window manager's window may wait for a reply, during
        // which more events come: the loop takes them too.
        for (const OwnerEvent &event : std::exchange(m_pending, {})) {
            if (event.subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER) {
                const X11ClipboardOwners::Kind kind = kindOf(event.owner);
                m_owners.taken(event.owner, kind,
                               kind == X11ClipboardOwners::Kind::foreign &&
                                   isWindowManagers(event.owner));
            } else {
                m_owners.left();
            }
        }
    }
}

void X11SelectionReader::settle()
{
    if (m_connection == nullptr)
        return;
    if (xcb_connection_has_error(m_connection) != 0) {
        // The next read connects again; until then the socket says nothing.
        delete std::exchange(m_notifier, nullptr);
        return;
    }
    for (;;) {
        takeEvents();
        const X11ClipboardOwners::Owner owner = m_owners.current();
        if (owner.kind != X11ClipboardOwners::Kind::foreign || owner.secrecy != Secrecy::unknown ||
            owner.serial == m_classified)
            return;
        m_classified = owner.serial;
        // Only as long as it still owns the clipboard, and the app stays.
        ReadSession session(
            m_connection, m_root,
            [this] {
                return !m_pending.isEmpty() ||
                       m_latest.load() == std::numeric_limits<quint64>::max();
            },
            [this](const xcb_generic_event_t *event) { keepEvent(event); });
        if (const std::optional<Offer> offer = readOffer(session))
            learn(m_owners, session, owner, *offer);
    }
}

void X11SelectionReader::start()
{
    if (connectDisplay())
        settle();
}

void X11SelectionReader::read(quint64 request)
{
    if (m_latest.load() != request)
        return; // a newer request is queued behind this one
    const Result result = readClipboard(request);
    Q_EMIT finished(request, result);
    // Owners that came meanwhile are classified before they can quit.
    settle();
}

X11SelectionReader::Result X11SelectionReader::readClipboard(quint64 request)
{
    Result result;
    if (!connectDisplay())
        return result;
    // A change of owner ends it too: the UI asks again, and the new owner
    // is classified at once.
    ReadSession session(
        m_connection, m_root,
        [this, request] { return m_latest.load() != request || !m_pending.isEmpty(); },
        [this](const xcb_generic_event_t *event) { keepEvent(event); });

    // A round trip: every change of owner announced before it is in hand.
    Reply<xcb_get_selection_owner_reply_t> serverOwner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_clipboardAtom), nullptr));
    if (!serverOwner)
        return result;
    if (m_selectionEvent != 0)
        takeEvents();
    else // no news of changes: the owner found counts as a new one
        m_owners.taken(serverOwner->owner, kindOf(serverOwner->owner), false);
    const X11ClipboardOwners::Owner owner = m_owners.current();
    switch (owner.kind) {
    case X11ClipboardOwners::Kind::none:
        result.outcome = Outcome::empty;
        return result;
    case X11ClipboardOwners::Kind::own:
        result.outcome = Outcome::own;
        return result;
    case X11ClipboardOwners::Kind::foreign:
        break;
    }
    result.handedOn = owner.handedOn;
    if (owner.secrecy == Secrecy::secret) {
        result.outcome = Outcome::read;
        result.secret = true;
        return result;
    }

    const std::optional<Offer> offer = readOffer(session);
    if (!offer || !learn(m_owners, session, owner, *offer))
        return result;
    result.outcome = Outcome::read;
    result.handedOn = m_owners.current().handedOn;
    if (m_owners.current().secrecy == Secrecy::secret) {
        result.secret = true;
        return result;
    }
    const std::optional<QByteArray> type = ClipboardFormats::preferredTextType(offer->targets);
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
