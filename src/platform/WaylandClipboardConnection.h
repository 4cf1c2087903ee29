// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardConnection.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <memory>
#include <optional>

class QSocketNotifier;
class X11ClipboardWatch;
struct wl_display;
struct wl_proxy;

// The clipboard of a Wayland compositor, through its data-control protocol
// (ext_data_control_manager_v1, else zwlr_data_control_manager_v1), which
// lets a background app see and set the clipboard without keyboard focus.
// Quillmark's widgets stay on X11 (XWayland); this is a second display
// connection of its own, its socket watched by the Qt event loop. Offers
// are read through non-blocking pipes and Quillmark's own copy is served
// the same way, so neither a slow reader nor a slow owner holds up the UI.
class WaylandClipboardConnection final : public ClipboardConnection {
    Q_OBJECT
public:
    // Connects to the compositor of WAYLAND_DISPLAY; nothing when there is
    // none or it offers no data-control protocol.
    [[nodiscard]] static std::unique_ptr<WaylandClipboardConnection> connectToCompositor();
    ~WaylandClipboardConnection() override;

    void setText(const QString &text) override;
    void clear() override;

    // The C listeners of the Wayland objects, and one data-control protocol.
    struct Listeners;
    struct Protocol;

private:
    class PipeReader;
    class PipeWriter;

    explicit WaylandClipboardConnection(wl_display *display);
    [[nodiscard]] bool bindGlobals();

    void dispatchEvents();
    void dispatchQueued();
    void flush();
    void loseConnection();

    void onGlobal(wl_proxy *registry, uint32_t name, const char *interface, uint32_t version);
    void onDataOffer(wl_proxy *offer);
    void onOfferType(wl_proxy *offer, const char *type);
    void onSelection(wl_proxy *offer);
    void onPrimarySelection(wl_proxy *offer);
    void onSend(wl_proxy *source, const char *type, int fd);
    void onCancelled(wl_proxy *source);
    void onX11OwnerQuit();
    void onCompositorCaughtUp(wl_proxy *callback);
    void onOwnerLeft();

    void readOffer();
    void onX11SecretHint(quint64 serial, const std::optional<QByteArray> &hint);
    void startReading(const QByteArray &type);
    void onReadDone(bool complete);
    void dropSelection();
    void destroyOwnSource();

    wl_display *m_display;
    const Protocol *m_protocol = nullptr;
    wl_proxy *m_registry = nullptr;
    wl_proxy *m_seat = nullptr;
    wl_proxy *m_manager = nullptr;
    uint32_t m_managerVersion = 0;
    wl_proxy *m_device = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    bool m_lost = false;
    bool m_starting = true;
    bool m_dispatching = false;

    // XWayland's clipboard owner, and whether the compositor announced a
    // copy since that owner took the clipboard (then that copy is its).
    std::unique_ptr<X11ClipboardWatch> m_x11Watch;
    bool m_copySinceX11Owner = false;
    bool m_judgingCopy = false;
    // Asked of the compositor once such an owner quit: when it answers, it
    // has handled that news itself.
    wl_proxy *m_x11QuitSync = nullptr;
    quint64 m_x11QuitSerial = 0;
    // An X11 copy's secret hint, asked of its owner (sway leaves it out).
    bool m_x11Checked = false;
    quint64 m_selectionSerial = 0;

    // Offers announced but not yet the selection, with their types.
    QHash<wl_proxy *, QList<QByteArray>> m_offers;
    // The clipboard's current offer (another app's) and its read.
    wl_proxy *m_selection = nullptr;
    QList<QByteArray> m_selectionTypes;
    PipeReader *m_reader = nullptr;
    QByteArray m_readingType;
    bool m_secretChecked = false;
    bool m_emptiedWhileReading = false;

    // Quillmark's own copy.
    wl_proxy *m_ownSource = nullptr;
    QByteArray m_ownText;
};
