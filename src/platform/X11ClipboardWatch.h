// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;
struct xcb_connection_t;

// Who owns the X11 CLIPBOARD of XWayland, watched beside a Wayland
// compositor's clipboard: some compositors (KWin) keep an X11 app's copy as
// their selection after the app has quit, so that nothing on the Wayland
// side tells that the clipboard has nothing left to give. The X server
// tells: the owner's client closed or its window went away.
class X11ClipboardWatch final : public QObject {
    Q_OBJECT
public:
    // Watches the X server of `display`; nothing when there is none or it
    // cannot tell selection owners.
    [[nodiscard]] static std::unique_ptr<X11ClipboardWatch> watch(const QByteArray &display);
    ~X11ClipboardWatch() override;

    // Takes the events already sent, without waiting for more: done before
    // a Wayland event is judged, as the X server has told its news first.
    void takeEvents();

    // Asks the owner for the secret hint of its copy (some compositors leave
    // that type out when they hand an X11 copy to Wayland apps): `answer`
    // gets its value, empty when the owner offers none or does not answer
    // in time, nothing when the owner quit first. A new question drops the
    // one before.
    void askSecretHint(std::function<void(const std::optional<QByteArray> &)> answer);

Q_SIGNALS:
    // An X11 client took the clipboard (also the compositor's bridge, on
    // behalf of a Wayland app).
    void ownerChanged();
    // The owning client quit, or its window was destroyed, while it owned the
    // clipboard.
    void ownerQuit();

private:
    explicit X11ClipboardWatch(xcb_connection_t *connection);
    void answer(const std::optional<QByteArray> &value);

    xcb_connection_t *m_connection;
    uint8_t m_selectionEvent = 0;
    uint32_t m_window = 0;
    uint32_t m_clipboard = 0;
    uint32_t m_hintTarget = 0;
    uint32_t m_property = 0;
    std::function<void(const std::optional<QByteArray> &)> m_answer;
    QTimer *m_answerTimeout = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
