// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WaylandClipboardConnection.h"

#include "ClipboardFormats.h"
#include "Pasteboard.h"
#include "X11ClipboardWatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace {

// Offered with Quillmark's own copies, so that its own offer, which the
// compositor announces back to it, is never taken for another app's copy.
constexpr char ownMarkerType[] = "application/x-quillmark-own-copy";

// How much one wake-up of the event loop reads or writes, so that a copy of
// many megabytes never holds up the UI for long at a time.
constexpr qsizetype bytesPerWakeUp = qsizetype(4) * 1024 * 1024;

// Both protocols have the same requests and events in the same order; only
// the interface names differ.
static_assert(EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE ==
                  ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE &&
              EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE ==
                  ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE &&
              EXT_DATA_CONTROL_MANAGER_V1_DESTROY == ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY &&
              EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION ==
                  ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION &&
              EXT_DATA_CONTROL_DEVICE_V1_DESTROY == ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY &&
              EXT_DATA_CONTROL_SOURCE_V1_OFFER == ZWLR_DATA_CONTROL_SOURCE_V1_OFFER &&
              EXT_DATA_CONTROL_SOURCE_V1_DESTROY == ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY &&
              EXT_DATA_CONTROL_OFFER_V1_RECEIVE == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE &&
              EXT_DATA_CONTROL_OFFER_V1_DESTROY == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);

void destroyWith(wl_proxy *proxy, uint32_t opcode)
{
    if (proxy != nullptr)
        wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy),
                               WL_MARSHAL_FLAG_DESTROY);
}

} // namespace

struct WaylandClipboardConnection::Protocol {
    const char *global;
    const char *name;
    uint32_t maxVersion;
    const wl_interface *manager;
    const wl_interface *device;
    const wl_interface *source;
};

namespace {

const WaylandClipboardConnection::Protocol *protocolTable();

} // namespace

// Reads an offer to its end through a non-blocking pipe.
class WaylandClipboardConnection::PipeReader : public QObject {
public:
    PipeReader(int fd, std::function<void(bool)> done, QObject *parent)
        : QObject(parent), m_fd(fd), m_done(std::move(done)),
          m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, &PipeReader::readSome);
    }
    ~PipeReader() override { ::close(m_fd); }

    [[nodiscard]] const QByteArray &data() const { return m_data; }

    // No more reading and no word of the end: the offer is no longer wanted.
    // The reader itself goes later, and its socket may still wake up before.
    void cancel()
    {
        m_notifier->setEnabled(false);
        m_done = nullptr;
    }

private:
    void readSome()
    {
        qsizetype readNow = 0;
        while (readNow < bytesPerWakeUp) {
            const qsizetype chunk = 256 * 1024;
            const qsizetype before = m_data.size();
            // A text above the capture limit is not read on: it never
            // enters memory whole.
            if (before > kMaximumCapturedTextBytes)
                return finish(false);
            m_data.resize(before + chunk);
            const ssize_t n = ::read(m_fd, m_data.data() + before, size_t(chunk));
            m_data.resize(before + qMax<qsizetype>(n, 0));
            if (n > 0) {
                readNow += n;
                continue;
            }
            if (n == 0)
                return finish(true);
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return finish(false);
            return;
        }
    }
    void finish(bool complete)
    {
        m_notifier->setEnabled(false);
        if (auto done = std::exchange(m_done, nullptr))
            done(complete); // may delete this
    }

    int m_fd;
    QByteArray m_data;
    std::function<void(bool)> m_done;
    QSocketNotifier *m_notifier;
};

// Serves Quillmark's own copy to one reader through its pipe, a piece per
// wake-up, and closes the pipe at the end or when the reader goes away.
class WaylandClipboardConnection::PipeWriter : public QObject {
public:
    PipeWriter(int fd, QByteArray data, QObject *parent)
        : QObject(parent), m_fd(fd), m_data(std::move(data)),
          m_notifier(new QSocketNotifier(fd, QSocketNotifier::Write, this))
    {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        connect(m_notifier, &QSocketNotifier::activated, this, &PipeWriter::writeSome);
    }
    ~PipeWriter() override { ::close(m_fd); }

private:
    void writeSome()
    {
        qsizetype writtenNow = 0;
        while (m_offset < m_data.size() && writtenNow < bytesPerWakeUp) {
            const ssize_t n =
                ::write(m_fd, m_data.constData() + m_offset, size_t(m_data.size() - m_offset));
            if (n > 0) {
                m_offset += n;
                writtenNow += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            } else {
                break; // the reader went away
            }
        }
        if (m_offset >= m_data.size() || writtenNow < bytesPerWakeUp) {
            m_notifier->setEnabled(false);
            deleteLater();
        }
    }

    int m_fd;
    QByteArray m_data;
    qsizetype m_offset = 0;
    QSocketNotifier *m_notifier;
};

struct WaylandClipboardConnection::Listeners {
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface,
                       uint32_t version)
    {
        static_cast<WaylandClipboardConnection *>(data)->onGlobal(
            reinterpret_cast<wl_proxy *>(registry), name, interface, version);
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}

    static void syncDone(void *data, wl_callback *callback, uint32_t)
    {
        static_cast<WaylandClipboardConnection *>(data)->onCompositorCaughtUp(
            reinterpret_cast<wl_proxy *>(callback));
    }

    static void dataOffer(void *data, ext_data_control_device_v1 *, ext_data_control_offer_v1 *id)
    {
        static_cast<WaylandClipboardConnection *>(data)->onDataOffer(
            reinterpret_cast<wl_proxy *>(id));
    }
    static void selection(void *data, ext_data_control_device_v1 *, ext_data_control_offer_v1 *id)
    {
        static_cast<WaylandClipboardConnection *>(data)->onSelection(
            reinterpret_cast<wl_proxy *>(id));
    }
    static void finished(void *data, ext_data_control_device_v1 *)
    {
        static_cast<WaylandClipboardConnection *>(data)->loseConnection();
    }
    static void primarySelection(void *data, ext_data_control_device_v1 *,
                                 ext_data_control_offer_v1 *id)
    {
        static_cast<WaylandClipboardConnection *>(data)->onPrimarySelection(
            reinterpret_cast<wl_proxy *>(id));
    }

    static void offer(void *data, ext_data_control_offer_v1 *offer, const char *type)
    {
        static_cast<WaylandClipboardConnection *>(data)->onOfferType(
            reinterpret_cast<wl_proxy *>(offer), type);
    }

    static void send(void *data, ext_data_control_source_v1 *source, const char *type, int32_t fd)
    {
        static_cast<WaylandClipboardConnection *>(data)->onSend(
            reinterpret_cast<wl_proxy *>(source), type, fd);
    }
    static void cancelled(void *data, ext_data_control_source_v1 *source)
    {
        static_cast<WaylandClipboardConnection *>(data)->onCancelled(
            reinterpret_cast<wl_proxy *>(source));
    }

    static constexpr wl_registry_listener registryListener{global, globalRemove};
    static constexpr wl_callback_listener syncListener{syncDone};
    static constexpr ext_data_control_device_v1_listener deviceListener{dataOffer, selection,
                                                                        finished, primarySelection};
    static constexpr ext_data_control_offer_v1_listener offerListener{offer};
    static constexpr ext_data_control_source_v1_listener sourceListener{send, cancelled};
};

namespace {

const WaylandClipboardConnection::Protocol *protocolTable()
{
    // Preferred first.
    static const WaylandClipboardConnection::Protocol table[] = {
        {"ext_data_control_manager_v1", "ext-data-control", 1,
         &ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface,
         &ext_data_control_source_v1_interface},
        {"zwlr_data_control_manager_v1", "wlr-data-control", 2,
         &zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
         &zwlr_data_control_source_v1_interface},
        {nullptr, nullptr, 0, nullptr, nullptr, nullptr},
    };
    return table;
}

} // namespace

std::unique_ptr<WaylandClipboardConnection> WaylandClipboardConnection::connectToCompositor()
{
    // Without WAYLAND_DISPLAY libwayland would try "wayland-0": only a
    // Wayland session counts.
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display *display = wl_display_connect(nullptr);
    if (display == nullptr)
        return nullptr;
    // A reader that goes away while Quillmark serves it a copy must not end Quillmark.
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<WaylandClipboardConnection> connection(new WaylandClipboardConnection(display));
    if (!connection->bindGlobals())
        return nullptr;
    // KWin keeps the copy of an X11 app that has quit as its selection and
    // announces no change: only XWayland tells that the owner has gone.
    connection->m_x11Watch = X11ClipboardWatch::watch(qgetenv("DISPLAY"));
    if (auto *watch = connection->m_x11Watch.get()) {
        auto *self = connection.get();
        connect(watch, &X11ClipboardWatch::ownerChanged, self,
                [self] { self->m_copySinceX11Owner = false; });
        connect(watch, &X11ClipboardWatch::ownerQuit, self,
                &WaylandClipboardConnection::onX11OwnerQuit);
    }
    return connection;
}

WaylandClipboardConnection::WaylandClipboardConnection(wl_display *display) : m_display(display) {}

WaylandClipboardConnection::~WaylandClipboardConnection()
{
    m_x11Watch.reset();
    delete m_reader;
    m_reader = nullptr;
    // Proxies are freed on the client side whether or not the compositor
    // still listens.
    for (auto it = m_offers.constBegin(); it != m_offers.constEnd(); ++it)
        destroyWith(it.key(), EXT_DATA_CONTROL_OFFER_V1_DESTROY);
    destroyWith(m_selection, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
    destroyWith(m_ownSource, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    if (m_x11QuitSync != nullptr)
        wl_proxy_destroy(m_x11QuitSync);
    destroyWith(m_device, EXT_DATA_CONTROL_DEVICE_V1_DESTROY);
    destroyWith(m_manager, EXT_DATA_CONTROL_MANAGER_V1_DESTROY);
    if (m_seat != nullptr)
        wl_proxy_destroy(m_seat);
    if (m_registry != nullptr)
        wl_proxy_destroy(m_registry);
    if (!m_lost)
        wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

bool WaylandClipboardConnection::bindGlobals()
{
    m_registry = reinterpret_cast<wl_proxy *>(wl_display_get_registry(m_display));
    wl_registry_add_listener(reinterpret_cast<wl_registry *>(m_registry),
                             &Listeners::registryListener, this);
    if (wl_display_roundtrip(m_display) < 0 || m_seat == nullptr || m_manager == nullptr)
        return false;

    m_device = wl_proxy_marshal_flags(m_manager, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
                                      m_protocol->device, m_managerVersion, 0, nullptr, m_seat);
    wl_proxy_add_listener(
        m_device,
        reinterpret_cast<void (**)(void)>(
            const_cast<ext_data_control_device_v1_listener *>(&Listeners::deviceListener)),
        this);
    // The clipboard as it is now arrives first: it is where capture starts
    // from, not a copy.
    if (wl_display_roundtrip(m_display) < 0)
        return false;
    m_starting = false;

    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this,
            &WaylandClipboardConnection::dispatchEvents);
    m_writeNotifier =
        new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &WaylandClipboardConnection::flush);
    return true;
}

void WaylandClipboardConnection::onGlobal(wl_proxy *registry, uint32_t name, const char *interface,
                                          uint32_t version)
{
    const auto *registryObject = reinterpret_cast<wl_registry *>(registry);
    if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        if (m_seat == nullptr) {
            m_seat = static_cast<wl_proxy *>(wl_registry_bind(
                const_cast<wl_registry *>(registryObject), name, &wl_seat_interface, 1));
        }
        return;
    }
    for (const Protocol *protocol = protocolTable(); protocol->global != nullptr; ++protocol) {
        if (std::strcmp(interface, protocol->global) != 0)
            continue;
        // A protocol earlier in the table wins, whatever order globals come in.
        if (m_protocol != nullptr && m_protocol <= protocol)
            return;
        destroyWith(m_manager, EXT_DATA_CONTROL_MANAGER_V1_DESTROY);
        m_protocol = protocol;
        m_managerVersion = qMin(version, protocol->maxVersion);
        m_manager = static_cast<wl_proxy *>(wl_registry_bind(
            const_cast<wl_registry *>(registryObject), name, protocol->manager, m_managerVersion));
        return;
    }
}

void WaylandClipboardConnection::dispatchEvents()
{
    // Never a blocking read: the socket may have been read dry since it
    // woke us (an X11 owner's news reads it first), and waiting for the
    // compositor's next word would freeze the UI until it came.
    dispatchQueued();
    flush();
}

// The events the compositor has already sent, without waiting for more.
void WaylandClipboardConnection::dispatchQueued()
{
    if (m_lost || m_dispatching)
        return;
    m_dispatching = true;
    bool failed = false;
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0) {
            failed = true;
            break;
        }
    }
    if (!failed) {
        pollfd socket{wl_display_get_fd(m_display), POLLIN, 0};
        if (::poll(&socket, 1, 0) > 0)
            failed = wl_display_read_events(m_display) < 0;
        else
            wl_display_cancel_read(m_display);
        failed = failed || wl_display_dispatch_pending(m_display) < 0;
    }
    m_dispatching = false;
    if (failed)
        loseConnection();
}

void WaylandClipboardConnection::flush()
{
    if (m_lost)
        return;
    const bool full = wl_display_flush(m_display) < 0;
    if (full && errno != EAGAIN) {
        loseConnection();
        return;
    }
    // A busy compositor may leave the socket full. What did not fit goes as
    // soon as it takes more, not with its next event: after the last copy
    // of a burst there is none, and the request for that copy would wait.
    if (m_writeNotifier != nullptr)
        m_writeNotifier->setEnabled(full);
}

void WaylandClipboardConnection::loseConnection()
{
    if (m_lost)
        return;
    m_lost = true;
    if (m_notifier != nullptr)
        m_notifier->setEnabled(false);
    if (m_writeNotifier != nullptr)
        m_writeNotifier->setEnabled(false);
    Q_EMIT lost();
}

void WaylandClipboardConnection::onDataOffer(wl_proxy *offer)
{
    wl_proxy_add_listener(
        offer,
        reinterpret_cast<void (**)(void)>(
            const_cast<ext_data_control_offer_v1_listener *>(&Listeners::offerListener)),
        this);
    m_offers.insert(offer, {});
}

void WaylandClipboardConnection::onOfferType(wl_proxy *offer, const char *type)
{
    auto it = m_offers.find(offer);
    if (it != m_offers.end())
        it->append(QByteArray(type));
}

void WaylandClipboardConnection::onSelection(wl_proxy *offer)
{
    if (offer == nullptr) {
        if (m_starting)
            return;
        m_copySinceX11Owner = false;
        onOwnerLeft();
        return;
    }
    dropSelection(); // a newer copy makes a read under way pointless
    const QList<QByteArray> types = m_offers.take(offer);
    // Whose copy this is: an X11 app's when XWayland's owner changed before.
    // (An owner quitting meanwhile no longer matters: this copy replaces it.)
    if (m_x11Watch) {
        m_judgingCopy = true;
        m_x11Watch->takeEvents();
        m_judgingCopy = false;
    }
    m_copySinceX11Owner = !m_starting && !types.contains(ownMarkerType);
    if (m_starting || types.contains(ownMarkerType)) {
        destroyWith(offer, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
        return;
    }
    m_selection = offer;
    m_selectionTypes = types;
    m_secretChecked = false;
    m_x11Checked = false;
    ++m_selectionSerial;
    readOffer();
}

void WaylandClipboardConnection::onOwnerLeft()
{
    // The owner went away (or cleared the clipboard). A read under way goes
    // on: the owner may well have written everything before it left.
    if (m_reader != nullptr) {
        m_emptiedWhileReading = true;
        return;
    }
    // A copy it took away before its secret hint was known counts as a
    // secret's, as an X11 owner that quit unseen does; above all, the text
    // it replaced must not come back in its place.
    if (m_selection != nullptr) {
        dropSelection();
        Q_EMIT foreignCopy(std::nullopt, true, 0, false);
    }
    Q_EMIT emptied();
}

void WaylandClipboardConnection::onX11OwnerQuit()
{
    if (m_judgingCopy) {
        m_copySinceX11Owner = false;
        return;
    }
    // The compositor's news of the copy may still be on its way.
    dispatchQueued();
    // Only when the clipboard holds that X11 app's copy: then it has nothing
    // left to give, whatever the compositor says. Where the compositor
    // empties the clipboard as well, the second word changes nothing.
    if (!std::exchange(m_copySinceX11Owner, false) || m_lost)
        return;
    // KWin hears of the quit on its own X11 connection, at the same moment
    // as Quillmark. Should the copy Quillmark puts back reach it before it
    // has handled that news, handling it afterwards unhooks the new copy
    // from X11 apps, and they paste nothing until another X11 app copies.
    // A round trip lets the compositor handle what it was sent first.
    m_x11QuitSerial = m_selectionSerial;
    if (m_x11QuitSync == nullptr) {
        m_x11QuitSync = reinterpret_cast<wl_proxy *>(wl_display_sync(m_display));
        wl_proxy_add_listener(m_x11QuitSync,
                              reinterpret_cast<void (**)(void)>(
                                  const_cast<wl_callback_listener *>(&Listeners::syncListener)),
                              this);
        flush();
    }
}

void WaylandClipboardConnection::onCompositorCaughtUp(wl_proxy *callback)
{
    wl_proxy_destroy(callback);
    m_x11QuitSync = nullptr;
    // A copy that came meanwhile replaced the one whose owner quit.
    if (m_x11QuitSerial == m_selectionSerial)
        onOwnerLeft();
}

void WaylandClipboardConnection::onPrimarySelection(wl_proxy *offer)
{
    // Quillmark keeps to the clipboard; the primary selection is not its business.
    if (offer != nullptr) {
        m_offers.remove(offer);
        destroyWith(offer, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
    }
}

void WaylandClipboardConnection::readOffer()
{
    // An X11 app's copy, handed on by a compositor that leaves out the
    // secret hint: its owner is asked first.
    if (!m_x11Checked && m_copySinceX11Owner && m_x11Watch &&
        !m_selectionTypes.contains(ClipboardFormats::secretHint)) {
        m_x11Checked = true;
        const quint64 serial = m_selectionSerial;
        m_x11Watch->askSecretHint([this, serial](const std::optional<QByteArray> &hint) {
            onX11SecretHint(serial, hint);
        });
        return;
    }
    if (!m_secretChecked && m_selectionTypes.contains(ClipboardFormats::secretHint)) {
        startReading(ClipboardFormats::secretHint);
        return;
    }
    const std::optional<QByteArray> type = ClipboardFormats::preferredTextType(m_selectionTypes);
    if (!type) {
        dropSelection();
        Q_EMIT foreignCopy(std::nullopt, false, 0, false);
        return;
    }
    startReading(*type);
}

void WaylandClipboardConnection::onX11SecretHint(quint64 serial,
                                                 const std::optional<QByteArray> &hint)
{
    if (serial != m_selectionSerial || m_selection == nullptr)
        return; // a newer copy came meanwhile
    // An owner that quit before telling counts as a secret's.
    if (!hint || ClipboardFormats::marksSecret(*hint)) {
        dropSelection();
        Q_EMIT foreignCopy(std::nullopt, true, 0, false);
        return;
    }
    readOffer();
}

void WaylandClipboardConnection::startReading(const QByteArray &type)
{
    // Only Quillmark's end is non-blocking: the owner gets its end as a plain
    // pipe, for an owner that writes with blocking writes stops at the first
    // EAGAIN, and its text would end there.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        dropSelection();
        return;
    }
    if (::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        dropSelection();
        return;
    }
    wl_proxy_marshal_flags(m_selection, EXT_DATA_CONTROL_OFFER_V1_RECEIVE, nullptr,
                           wl_proxy_get_version(m_selection), 0, type.constData(), fds[1]);
    ::close(fds[1]);
    flush();
    m_readingType = type;
    m_reader = new PipeReader(
        fds[0], [this](bool complete) { onReadDone(complete); }, this);
}

void WaylandClipboardConnection::onReadDone(bool complete)
{
    const QByteArray bytes = m_reader->data();
    const QByteArray type = m_readingType;
    m_reader->deleteLater();
    m_reader = nullptr;
    const bool ownerLeft = std::exchange(m_emptiedWhileReading, false);

    if (complete && type == ClipboardFormats::secretHint) {
        m_secretChecked = true;
        if (ClipboardFormats::marksSecret(bytes)) {
            dropSelection();
            Q_EMIT foreignCopy(std::nullopt, true, 0, false);
        } else if (!ownerLeft) {
            readOffer();
            return;
        } else {
            dropSelection(); // nobody left to ask for the text
        }
    } else if (complete) {
        dropSelection();
        Q_EMIT foreignCopy(ClipboardFormats::decode(type, bytes), false, 0, false);
    } else {
        dropSelection();
        if (bytes.size() > kMaximumCapturedTextBytes)
            Q_EMIT foreignCopy(std::nullopt, false, bytes.size(), false);
    }
    if (ownerLeft)
        Q_EMIT emptied();
}

void WaylandClipboardConnection::dropSelection()
{
    if (m_reader != nullptr) {
        // Its end would otherwise be taken for the end of the next read.
        m_reader->cancel();
        m_reader->deleteLater();
        m_reader = nullptr;
    }
    m_emptiedWhileReading = false;
    destroyWith(m_selection, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
    m_selection = nullptr;
    m_selectionTypes.clear();
}

void WaylandClipboardConnection::setText(const QString &text)
{
    if (m_lost)
        return;
    destroyOwnSource();
    m_ownText = text.toUtf8();
    m_ownSource = wl_proxy_marshal_flags(m_manager, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
                                         m_protocol->source, m_managerVersion, 0, nullptr);
    wl_proxy_add_listener(
        m_ownSource,
        reinterpret_cast<void (**)(void)>(
            const_cast<ext_data_control_source_v1_listener *>(&Listeners::sourceListener)),
        this);
    QList<QByteArray> types = ClipboardFormats::textTypes();
    types.append(ownMarkerType);
    for (const QByteArray &type : types) {
        wl_proxy_marshal_flags(m_ownSource, EXT_DATA_CONTROL_SOURCE_V1_OFFER, nullptr,
                               m_managerVersion, 0, type.constData());
    }
    wl_proxy_marshal_flags(m_device, EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr,
                           m_managerVersion, 0, m_ownSource);
    flush();
}

void WaylandClipboardConnection::clear()
{
    if (m_lost)
        return;
    destroyOwnSource();
    m_ownText.clear();
    wl_proxy_marshal_flags(m_device, EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr,
                           m_managerVersion, 0, nullptr);
    flush();
}

void WaylandClipboardConnection::destroyOwnSource()
{
    destroyWith(m_ownSource, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    m_ownSource = nullptr;
}

void WaylandClipboardConnection::onSend(wl_proxy *source, const char *type, int fd)
{
    // Each reader gets its own writer; a copy replaced meanwhile is still
    // served whole to whoever asked for it.
    if (source != m_ownSource || std::strcmp(type, ownMarkerType) == 0) {
        ::close(fd);
        return;
    }
    new PipeWriter(fd, m_ownText, this);
}

void WaylandClipboardConnection::onCancelled(wl_proxy *source)
{
    if (source == m_ownSource) {
        destroyOwnSource();
        m_ownText.clear();
    } else {
        destroyWith(source, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    }
}
