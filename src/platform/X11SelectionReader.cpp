#include "X11SelectionReader.h"

#include <QDeadlineTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <poll.h>

namespace {

template <typename T> struct FreeDeleter {
    void operator()(T *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter<T>>;

constexpr quint32 kNone = 0;

// The next event of the kind `wanted` accepts, or null at the deadline.
template <typename Wanted>
Reply<xcb_generic_event_t> waitFor(xcb_connection_t *connection, const QDeadlineTimer &deadline,
                                   Wanted wanted)
{
    while (true) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            Reply<xcb_generic_event_t> owned(event);
            if (wanted(owned.get()))
                return owned;
        }
        if (xcb_connection_has_error(connection) || deadline.hasExpired())
            return nullptr;
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        const int rc = ::poll(&descriptor, 1, int(deadline.remainingTime()));
        if (rc < 0 && errno != EINTR)
            return nullptr;
    }
}

} // namespace

std::unique_ptr<X11SelectionReader> X11SelectionReader::open()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11SelectionReader>(new X11SelectionReader(connection));
}

X11SelectionReader::X11SelectionReader(xcb_connection_t *connection) : m_connection(connection)
{
    m_clipboard = atom("CLIPBOARD");
    m_property = atom("QUILLMARK_SELECTION");
    m_incr = atom("INCR");
    makeWindow();
}

X11SelectionReader::~X11SelectionReader()
{
    xcb_disconnect(m_connection);
}

quint32 X11SelectionReader::atom(const QByteArray &name) const
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData()),
        nullptr));
    return reply ? reply->atom : kNone;
}

// A fresh window per abandoned transfer: an owner still sending to the old
// one gets an error and gives up, and nothing of it reaches the new one.
void X11SelectionReader::makeWindow()
{
    if (m_window != 0)
        xcb_destroy_window(m_connection, m_window);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_window = xcb_generate_id(m_connection);
    const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_flush(m_connection);
}

X11SelectionReader::Result X11SelectionReader::read(const QByteArrayList &targets, qint64 limit,
                                                    int timeoutMs)
{
    Result result;
    result.outcome = Outcome::refused;
    for (const QByteArray &name : targets) {
        const quint32 target = atom(name);
        if (target == kNone)
            continue;
        result = readTarget(target, limit, timeoutMs);
        result.target = name;
        if (result.outcome != Outcome::refused)
            break;
    }
    return result;
}

X11SelectionReader::Result X11SelectionReader::readTarget(quint32 target, qint64 limit,
                                                          int timeoutMs)
{
    Result result;
    if (xcb_connection_has_error(m_connection))
        return result;
    // Each wait has the whole timeout: a big transfer on a busy machine may
    // take longer in all, but an owner that stops answering is left soon.
    QDeadlineTimer deadline(timeoutMs);
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);

    const auto notify = waitFor(m_connection, deadline, [&](xcb_generic_event_t *event) {
        if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
            return false;
        const auto *n = reinterpret_cast<xcb_selection_notify_event_t *>(event);
        return n->requestor == m_window && n->selection == m_clipboard;
    });
    if (!notify) {
        makeWindow();
        return result;
    }
    if (reinterpret_cast<xcb_selection_notify_event_t *>(notify.get())->property == kNone) {
        result.outcome = Outcome::refused;
        return result;
    }

    // The length first, without the data.
    Reply<xcb_get_property_reply_t> head(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1),
        nullptr));
    if (!head)
        return result;

    if (head->type != m_incr) {
        result.size = qint64(head->bytes_after) + xcb_get_property_value_length(head.get());
        if (result.size > limit) {
            xcb_delete_property(m_connection, m_window, m_property);
            xcb_flush(m_connection);
            result.outcome = Outcome::tooLarge;
            return result;
        }
        Reply<xcb_get_property_reply_t> whole(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             quint32((result.size + 3) / 4)),
            nullptr));
        if (!whole)
            return result;
        result.bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(whole.get())),
                                  xcb_get_property_value_length(whole.get()));
        result.outcome = Outcome::text;
        return result;
    }

    // INCR: the owner announces a lower bound of the size, then sends pieces,
    // each after we delete the previous one; an empty piece ends it.
    if (xcb_get_property_value_length(head.get()) >= 4)
        result.size = *static_cast<const quint32 *>(xcb_get_property_value(head.get()));
    if (result.size > limit) {
        makeWindow();
        result.outcome = Outcome::tooLarge;
        return result;
    }
    // Past the limit the pieces are still taken, only counted: the owner
    // learns we are done and the printed size is the real one.
    QByteArray bytes;
    bytes.reserve(result.size);
    qint64 total = 0;
    bool over = false;
    constexpr qint64 kCountAtMost = qint64(1) << 36;
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_flush(m_connection);
    while (true) {
        deadline.setRemainingTime(timeoutMs);
        const auto changed = waitFor(m_connection, deadline, [&](xcb_generic_event_t *event) {
            if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                return false;
            const auto *p = reinterpret_cast<xcb_property_notify_event_t *>(event);
            return p->window == m_window && p->atom == m_property &&
                   p->state == XCB_PROPERTY_NEW_VALUE;
        });
        if (!changed) {
            makeWindow();
            if (over) {
                result.size = std::max(result.size, total);
                result.outcome = Outcome::tooLarge;
            }
            return result;
        }
        const quint32 units = over ? quint32(1) << 24 : quint32((limit - total) / 4 + 1);
        Reply<xcb_get_property_reply_t> piece(
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, 1, m_window, m_property,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, units),
                                   nullptr));
        if (!piece) {
            makeWindow();
            return result;
        }
        const int length = xcb_get_property_value_length(piece.get());
        if (length == 0 && piece->bytes_after == 0)
            break;
        const qint64 size = length + qint64(piece->bytes_after);
        if (piece->bytes_after > 0) // not deleted by the read: the owner waits for that
            xcb_delete_property(m_connection, m_window, m_property);
        xcb_flush(m_connection);
        total += size;
        if (!over && total > limit) {
            over = true;
            bytes = QByteArray();
        }
        if (over && total > kCountAtMost) {
            makeWindow();
            break;
        }
        if (!over)
            bytes.append(static_cast<const char *>(xcb_get_property_value(piece.get())), length);
    }
    if (over) {
        result.size = std::max(result.size, total);
        result.outcome = Outcome::tooLarge;
        return result;
    }
    result.size = bytes.size();
    result.bytes = std::move(bytes);
    result.outcome = Outcome::text;
    return result;
}
