// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Presses keys in a Wayland session as a person at a keyboard would: the
// compositor's own key bindings see the presses, and the focused window
// receives them. The keys go through the first of these the session offers:
// the virtual-keyboard protocol (zwp_virtual_keyboard_manager_v1, wlroots
// compositors such as sway), KWin's fake-input protocol
// (org_kde_kwin_fake_input version 4, offered when KWin runs with
// KWIN_WAYLAND_NO_PERMISSION_CHECKS=1), or mutter's RemoteDesktop D-Bus
// interface, as a remote-desktop server presses them.
//
//   virtual_keyboard      steps on stdin, one per line; "ok" or "failed" after each
//     key:COMBO    one combination, keysym names joined by "+", modifiers
//                  first: key:alt+shift+v, key:Return, key:Down
//     type:TEXT    the characters of TEXT, one unshifted key each
//     sleep:MS     a pause
//     pace:MS      the pause after each key goes down or up from now on (15)
//
// The keyboard has the us layout (KWin applies its own layout to fake keys:
// us unless configured otherwise). One keyboard serves a whole suite, like a
// real one: a keyboard that comes and goes makes the seat gain and lose its
// keyboard, and applications lose their focus with it. mutter's headless
// seat has no keyboard until the first key arrives, and its remote-desktop
// session lives as long as this process's bus connection. The virtual
// keyboard's interface description below follows the protocol's published
// definition (libwayland marshals from it); fake-input's glue is generated
// from plasma-wayland-protocols.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "WaylandGlobals.h"
#include "fake-input-client-protocol.h"

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// --- protocol: zwp_virtual_keyboard_v1 and its manager, version 1 ---------

extern const wl_interface virtualKeyboardInterface;

const wl_interface *createKeyboardTypes[] = {&wl_seat_interface, &virtualKeyboardInterface};
const wl_message managerRequests[] = {
    {"create_virtual_keyboard", "on", createKeyboardTypes},
};
const wl_interface managerInterface = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, managerRequests, 0, nullptr,
};

const wl_interface *noTypes[] = {nullptr, nullptr, nullptr, nullptr};
const wl_message keyboardRequests[] = {
    {"keymap", "uhu", noTypes},
    {"key", "uuu", noTypes},
    {"modifiers", "uuuu", noTypes},
    {"destroy", "", noTypes},
};
const wl_interface virtualKeyboardInterface = {
    "zwp_virtual_keyboard_v1", 1, 4, keyboardRequests, 0, nullptr,
};

enum KeyboardRequest : uint32_t { keymapRequest = 0, keyRequest = 1, modifiersRequest = 2 };
constexpr uint32_t keymapFormatXkbV1 = 1;

constexpr uint32_t fakeInputKeysVersion = 4;

int keyPauseMs = 15;

// --- the session ------------------------------------------------------------

struct Globals {
    wl_seat *seat = nullptr;
    wl_proxy *manager = nullptr;
    org_kde_kwin_fake_input *fakeInput = nullptr;
};

uint32_t nowMs()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class Keyboard {
public:
    virtual ~Keyboard() = default;
    [[nodiscard]] virtual bool press(xkb_keysym_t sym, bool down) = 0;
    [[nodiscard]] virtual bool sync() { return true; }

    // Presses the keys in order, then lets go of them in reverse order.
    bool combo(const std::vector<xkb_keysym_t> &syms)
    {
        bool ok = true;
        for (const xkb_keysym_t sym : syms)
            ok = press(sym, true) && ok;
        for (auto it = syms.rbegin(); it != syms.rend(); ++it)
            ok = press(*it, false) && ok;
        return sync() && ok;
    }
};

// A virtual keyboard with the us keymap, or KWin's fake keys (KWin then
// tracks the modifiers itself).
class WaylandKeyboard final : public Keyboard {
public:
    WaylandKeyboard(wl_display *display, wl_proxy *keyboard, xkb_keymap *keymap, bool fake)
        : m_display(display), m_keyboard(keyboard), m_keymap(keymap),
          m_state(xkb_state_new(keymap)), m_fake(fake)
    {
    }
    ~WaylandKeyboard() override { xkb_state_unref(m_state); }

    bool press(xkb_keysym_t sym, bool down) override
    {
        const std::optional<xkb_keycode_t> code = find(sym);
        if (!code)
            return false;
        // Wayland key codes are evdev codes: the xkb code less 8.
        const uint32_t evdev = *code - 8;
        if (m_fake) {
            org_kde_kwin_fake_input_keyboard_key(
                reinterpret_cast<org_kde_kwin_fake_input *>(m_keyboard), evdev, down ? 1u : 0u);
        } else {
            wl_proxy_marshal_flags(m_keyboard, keyRequest, nullptr, 1, 0, nowMs(), evdev,
                                   down ? 1u : 0u);
            xkb_state_update_key(m_state, *code, down ? XKB_KEY_DOWN : XKB_KEY_UP);
            wl_proxy_marshal_flags(m_keyboard, modifiersRequest, nullptr, 1, 0,
                                   xkb_state_serialize_mods(m_state, XKB_STATE_MODS_DEPRESSED),
                                   xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LATCHED),
                                   xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LOCKED),
                                   xkb_state_serialize_layout(m_state, XKB_STATE_LAYOUT_EFFECTIVE));
        }
        wl_display_flush(m_display);
        pause(keyPauseMs);
        return true;
    }
    bool sync() override { return wl_display_roundtrip(m_display) >= 0; }

private:
    // The key that produces `sym` unshifted in the first layout.
    std::optional<xkb_keycode_t> find(xkb_keysym_t sym) const
    {
        const xkb_keycode_t max = xkb_keymap_max_keycode(m_keymap);
        for (xkb_keycode_t k = xkb_keymap_min_keycode(m_keymap); k <= max; ++k) {
            const xkb_keysym_t *syms = nullptr;
            const int n = xkb_keymap_key_get_syms_by_level(m_keymap, k, 0, 0, &syms);
            for (int i = 0; i < n; ++i)
                if (syms[i] == sym)
                    return k;
        }
        std::fprintf(stderr, "virtual_keyboard: no key for keysym 0x%x\n", sym);
        return std::nullopt;
    }

    wl_display *m_display;
    wl_proxy *m_keyboard;
    xkb_keymap *m_keymap;
    xkb_state *m_state;
    bool m_fake;
};

class RemoteDesktopKeyboard final : public Keyboard {
public:
    explicit RemoteDesktopKeyboard(std::unique_ptr<QDBusInterface> session)
        : m_session(std::move(session))
    {
    }
    ~RemoteDesktopKeyboard() override { m_session->call(QStringLiteral("Stop")); }

    bool press(xkb_keysym_t sym, bool down) override
    {
        const QDBusMessage reply =
            m_session->call(QStringLiteral("NotifyKeyboardKeysym"), quint32(sym), down);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            std::fprintf(stderr, "virtual_keyboard: %s\n", qPrintable(reply.errorMessage()));
            return false;
        }
        pause(keyPauseMs);
        return true;
    }

    // A started session of mutter's RemoteDesktop, or nothing.
    static std::unique_ptr<Keyboard> start()
    {
        const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
        QDBusInterface desktop(service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), service,
                               QDBusConnection::sessionBus());
        const QDBusReply<QDBusObjectPath> created = desktop.call(QStringLiteral("CreateSession"));
        if (!created.isValid())
            return nullptr;
        auto session = std::make_unique<QDBusInterface>(service, created.value().path(),
                                                        service + QStringLiteral(".Session"),
                                                        QDBusConnection::sessionBus());
        if (session->call(QStringLiteral("Start")).type() == QDBusMessage::ErrorMessage)
            return nullptr;
        return std::make_unique<RemoteDesktopKeyboard>(std::move(session));
    }

private:
    std::unique_ptr<QDBusInterface> m_session;
};

bool runStep(Keyboard &keyboard, const std::string &step)
{
    const auto colon = step.find(':');
    const std::string kind = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : step.substr(colon + 1);
    if (kind == "sleep") {
        pause(std::stoi(arg));
        return true;
    }
    if (kind == "pace") {
        keyPauseMs = std::stoi(arg);
        return true;
    }
    if (kind == "key") {
        std::vector<xkb_keysym_t> syms;
        std::istringstream names(arg);
        for (std::string name; std::getline(names, name, '+');) {
            if (name == "alt" || name == "shift")
                name = name == "alt" ? "Alt_L" : "Shift_L";
            syms.push_back(xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS));
            if (syms.back() == XKB_KEY_NoSymbol) {
                std::fprintf(stderr, "virtual_keyboard: no key for \"%s\"\n", name.c_str());
                return false;
            }
        }
        return keyboard.combo(syms);
    }
    if (kind == "type") {
        for (const unsigned char c : arg) {
            if (!keyboard.combo({xkb_utf32_to_keysym(c)}))
                return false;
            pause(20);
        }
        return true;
    }
    std::fprintf(stderr, "virtual_keyboard: unknown step \"%s\"\n", step.c_str());
    return false;
}

// Creates the virtual keyboard on the seat and gives it the keymap.
wl_proxy *createVirtualKeyboard(wl_display *display, const Globals &globals, xkb_keymap *keymap)
{
    char *text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text, size) == ssize_t(size);
    std::free(text);
    if (!written) {
        std::perror("virtual_keyboard: keymap");
        return nullptr;
    }
    wl_proxy *keyboard = wl_proxy_marshal_flags(globals.manager, 0, &virtualKeyboardInterface, 1, 0,
                                                globals.seat, nullptr);
    wl_proxy_marshal_flags(keyboard, keymapRequest, nullptr, 1, 0, keymapFormatXkbV1, fd,
                           uint32_t(size));
    close(fd);
    wl_display_roundtrip(display);
    return keyboard;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual_keyboard: no Wayland display\n");
        return 1;
    }
    Globals globals;
    bindGlobals(display, {{&wl_seat_interface, 1, slot(globals.seat)},
                          {&managerInterface, 1, slot(globals.manager)},
                          {&org_kde_kwin_fake_input_interface, fakeInputKeysVersion,
                           slot(globals.fakeInput)}});

    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap *keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    std::unique_ptr<Keyboard> keyboard;
    if (!keymap) {
        std::fprintf(stderr, "virtual_keyboard: cannot build the us keymap\n");
    } else if (globals.seat && globals.manager) {
        if (wl_proxy *virtualKeyboard = createVirtualKeyboard(display, globals, keymap))
            keyboard = std::make_unique<WaylandKeyboard>(display, virtualKeyboard, keymap, false);
    } else if (globals.seat && globals.fakeInput) {
        org_kde_kwin_fake_input_authenticate(globals.fakeInput, "virtual_keyboard",
                                             "presses keys for the test suites");
        wl_display_roundtrip(display);
        keyboard = std::make_unique<WaylandKeyboard>(
            display, reinterpret_cast<wl_proxy *>(globals.fakeInput), keymap, true);
    } else if (!(keyboard = RemoteDesktopKeyboard::start())) {
        std::fprintf(stderr, "virtual_keyboard: the session offers no virtual keyboard, no "
                             "fake input (version 4) and no remote desktop\n");
    }
    if (!keyboard)
        return 1;

    for (std::string line; std::getline(std::cin, line);) {
        const bool ok = line.empty() || runStep(*keyboard, line);
        std::printf("%s\n", ok ? "ok" : "failed");
        std::fflush(stdout);
    }
    keyboard.reset();
    wl_display_disconnect(display);
    return 0;
}
