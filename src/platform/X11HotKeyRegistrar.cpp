// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "X11HotKeyRegistrar.h"

#include <QCoreApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint32_t keysymNumLock = 0xff7f;
constexpr std::uint32_t keysymMetaL = 0xffe7;
constexpr std::uint32_t keysymMetaR = 0xffe8;
constexpr std::uint32_t keysymAltL = 0xffe9;
constexpr std::uint32_t keysymAltR = 0xffea;
constexpr std::uint32_t keysymSuperL = 0xffeb;
constexpr std::uint32_t keysymSuperR = 0xffec;

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

struct KeySymbolsDeleter {
    void operator()(xcb_key_symbols_t *symbols) const { xcb_key_symbols_free(symbols); }
};

// Letters map to their lower-case keysym, digits to themselves (both Latin-1).
std::uint32_t keysymForKey(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return std::uint32_t(key - Qt::Key_A) + 'a';
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return std::uint32_t(key);
    return 0;
}

} // namespace

X11HotKeyRegistrar::X11HotKeyRegistrar(xcb_connection_t *connection, QObject *parent)
    : HotKeyRegistrar(parent), m_connection(connection)
{
}

X11HotKeyRegistrar::~X11HotKeyRegistrar()
{
    unregisterHotKey();
    removeEventHandler();
}

HotKeyStatus X11HotKeyRegistrar::installEventHandler()
{
    if (!m_connection)
        return {-1, QStringLiteral("no X11 connection")};
    if (!m_handlerInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_handlerInstalled = true;
    }
    return {};
}

void X11HotKeyRegistrar::removeEventHandler()
{
    if (!m_handlerInstalled)
        return;
    if (auto *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    m_handlerInstalled = false;
}

X11HotKeyRegistrar::ModifierMasks X11HotKeyRegistrar::readModifierMasks() const
{
    // The usual layout, for a server that does not map these keys at all.
    ModifierMasks masks{XCB_MOD_MASK_1, XCB_MOD_MASK_4, XCB_MOD_MASK_2};
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter> symbols(
        xcb_key_symbols_alloc(m_connection));
    if (!reply || !symbols)
        return masks;

    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    ModifierMasks found;
    // Shift, Lock and Control are fixed; Mod1..Mod5 (indices 3..7) are assignable.
    for (int modifier = 3; modifier < 8; ++modifier) {
        const auto bit = std::uint16_t(1u << modifier);
        for (int k = 0; k < perModifier; ++k) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + k];
            if (keycode == 0)
                continue;
            for (int column = 0; column < 4; ++column) {
                const xcb_keysym_t sym = xcb_key_symbols_get_keysym(symbols.get(), keycode, column);
                if (sym == keysymNumLock && !found.numLock)
                    found.numLock = bit;
                else if ((sym == keysymAltL || sym == keysymAltR) && !found.alt)
                    found.alt = bit;
                else if ((sym == keysymSuperL || sym == keysymSuperR) && !found.super)
                    found.super = bit;
                else if ((sym == keysymMetaL || sym == keysymMetaR) && !found.alt)
                    found.alt = bit;
            }
        }
    }
    if (found.alt)
        masks.alt = found.alt;
    if (found.super)
        masks.super = found.super;
    if (found.numLock)
        masks.numLock = found.numLock;
    return masks;
}

QList<std::uint8_t> X11HotKeyRegistrar::keycodesFor(std::uint32_t keysym) const
{
    QList<std::uint8_t> result;
    std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter> symbols(
        xcb_key_symbols_alloc(m_connection));
    if (!symbols)
        return result;
    XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols.get(), keysym));
    for (const xcb_keycode_t *code = codes.get(); code && *code != XCB_NO_SYMBOL; ++code)
        if (!result.contains(*code))
            result.append(*code);
    return result;
}

HotKeyStatus X11HotKeyRegistrar::registerHotKey(Qt::Key key, Qt::KeyboardModifiers modifiers,
                                                HotKeyId id)
{
    unregisterHotKey();
    if (!m_connection)
        return {-1, QStringLiteral("no X11 connection")};
    const std::uint32_t keysym = keysymForKey(key);
    if (keysym == 0)
        return {-1, QStringLiteral("unsupported key")};
    const QList<std::uint8_t> keycodes = keycodesFor(keysym);
    if (keycodes.isEmpty())
        return {-1, QStringLiteral("the keyboard has no such key")};

    const ModifierMasks masks = readModifierMasks();
    std::uint16_t wanted = 0;
    if (modifiers & Qt::ShiftModifier)
        wanted |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        wanted |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        wanted |= masks.alt;
    if (modifiers & Qt::MetaModifier)
        wanted |= masks.super;
    const std::array<std::uint16_t, 4> lockVariants{
        0, XCB_MOD_MASK_LOCK, masks.numLock, std::uint16_t(XCB_MOD_MASK_LOCK | masks.numLock)};

    // Send every grab first, then collect the answers: one round trip.
    struct Pending {
        Grab grab;
        xcb_void_cookie_t cookie;
    };
    QList<Pending> pending;
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); roots.rem;
         xcb_screen_next(&roots)) {
        for (const std::uint8_t keycode : keycodes) {
            for (const std::uint16_t lock : lockVariants) {
                const Grab grab{roots.data->root, keycode, std::uint16_t(wanted | lock)};
                pending.append({grab, xcb_grab_key_checked(
                                          m_connection, 1, grab.window, grab.modifiers,
                                          grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
            }
        }
    }
    int errorCode = 0;
    for (const Pending &p : pending) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, p.cookie));
        if (error) {
            if (errorCode == 0)
                errorCode = error->error_code;
        } else {
            m_grabs.append(p.grab);
        }
    }
    if (errorCode != 0) {
        unregisterHotKey();
        return {errorCode, {}};
    }
    m_keycodes = keycodes;
    m_wantedState = wanted;
    m_relevantState = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | masks.alt | masks.super;
    m_id = id;
    return {};
}

void X11HotKeyRegistrar::unregisterHotKey()
{
    if (m_connection && !m_grabs.isEmpty()) {
        for (const Grab &grab : std::as_const(m_grabs))
            xcb_ungrab_key(m_connection, grab.keycode, grab.window, grab.modifiers);
        xcb_flush(m_connection);
    }
    m_grabs.clear();
    m_keycodes.clear();
}

bool X11HotKeyRegistrar::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_keycodes.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    if (!m_keycodes.contains(key->detail) || (key->state & m_relevantState) != m_wantedState)
        return false;

    if (type == XCB_KEY_RELEASE) {
        m_lastReleaseTime = key->time;
    } else if (key->time != m_lastReleaseTime) {
        // (Auto-repeat shows up as a release and a press with the same time stamp.)
        Q_EMIT triggered(m_id);
    }
    // Consumed either way, so that a popup of ours holding the keyboard does
    // not receive the letter as typed text.
    return true;
}
