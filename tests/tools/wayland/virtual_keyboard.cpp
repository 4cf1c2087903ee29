// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Presses keys in a Wayland session through the compositor's virtual-keyboard
// protocol (zwp_virtual_keyboard_manager_v1, offered by wlroots compositors
// such as sway) or, where that is missing, KWin's fake-input protocol
// (org_kde_kwin_fake_input version 4, offered when KWin runs with
// KWIN_WAYLAND_NO_PERMISSION_CHECKS=1), as a person at a keyboard would: the
// compositor's own key bindings see the presses, and the focused window
// receives them.
//
//   virtual_keyboard STEP...
//   virtual_keyboard --stdin     steps one per line; "ok" or "failed" after each
//     key:COMBO    one combination, keysym names joined by "+", modifiers
//                  first: key:alt+shift+v, key:Return, key:Down
//     type:TEXT    the characters of TEXT, one key each (shifted as needed)
//     sleep:MS     a pause
//
// The keyboard has the us layout (KWin applies its own layout to fake keys:
// us unless configured otherwise). With --stdin one keyboard serves a whole
// suite, like a real one: a keyboard that comes and goes makes the seat
// gain and lose its keyboard, and applications lose their focus with it. The interface descriptions
// below follow the protocol's published definition; libwayland marshals from them.

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

enum KeyboardRequest : uint32_t {
    keymapRequest = 0,
    keyRequest = 1,
    modifiersRequest = 2,
    destroyRequest = 3
};
constexpr uint32_t keymapFormatXkbV1 = 1;

// --- protocol: org_kde_kwin_fake_input, versions 1 to 4 ---------------------

const wl_message fakeInputRequests[] = {
    {"authenticate", "ss", noTypes},  {"pointer_motion", "ff", noTypes},
    {"button", "uu", noTypes},        {"axis", "uf", noTypes},
    {"touch_down", "2uff", noTypes},  {"touch_motion", "2uff", noTypes},
    {"touch_up", "2u", noTypes},      {"touch_cancel", "2", noTypes},
    {"touch_frame", "2", noTypes},    {"pointer_motion_absolute", "3ff", noTypes},
    {"keyboard_key", "4uu", noTypes},
};
const wl_interface fakeInputInterface = {
    "org_kde_kwin_fake_input", 4, 11, fakeInputRequests, 0, nullptr,
};
enum FakeInputRequest : uint32_t { authenticateRequest = 0, keyboardKeyRequest = 10 };
constexpr uint32_t fakeInputKeysVersion = 4;

// --- the session ------------------------------------------------------------

struct Globals {
    wl_seat *seat = nullptr;
    wl_proxy *manager = nullptr;
    wl_proxy *fakeInput = nullptr;
    uint32_t fakeInputVersion = 0;
};

void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface,
              uint32_t version)
{
    auto *globals = static_cast<Globals *>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
        globals->seat =
            static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, managerInterface.name) == 0)
        globals->manager =
            static_cast<wl_proxy *>(wl_registry_bind(registry, name, &managerInterface, 1));
    else if (std::strcmp(interface, fakeInputInterface.name) == 0 &&
             version >= fakeInputKeysVersion) {
        globals->fakeInputVersion = fakeInputKeysVersion;
        globals->fakeInput = static_cast<wl_proxy *>(
            wl_registry_bind(registry, name, &fakeInputInterface, fakeInputKeysVersion));
    }
}

void onGlobalRemove(void *, wl_registry *, uint32_t) {}

const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

uint32_t nowMs()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

class Keyboard {
public:
    // `keyboard` is a zwp_virtual_keyboard_v1 or, when `fake` is set, an
    // org_kde_kwin_fake_input (the compositor then tracks the modifiers).
    Keyboard(wl_display *display, wl_proxy *keyboard, xkb_keymap *keymap, bool fake)
        : m_display(display), m_keyboard(keyboard), m_keymap(keymap),
          m_state(xkb_state_new(keymap)), m_fake(fake)
    {
    }
    ~Keyboard() { xkb_state_unref(m_state); }

    // The keycode and shift level that produce `sym` in the first layout.
    bool find(xkb_keysym_t sym, xkb_keycode_t &code, bool &shifted) const
    {
        const xkb_keycode_t min = xkb_keymap_min_keycode(m_keymap);
        const xkb_keycode_t max = xkb_keymap_max_keycode(m_keymap);
        for (int level = 0; level < 2; ++level) {
            for (xkb_keycode_t k = min; k <= max; ++k) {
                const xkb_keysym_t *syms = nullptr;
                const int n = xkb_keymap_key_get_syms_by_level(m_keymap, k, 0, level, &syms);
                for (int i = 0; i < n; ++i) {
                    if (syms[i] == sym) {
                        code = k;
                        shifted = level == 1;
                        return true;
                    }
                }
            }
        }
        return false;
    }

    void press(xkb_keycode_t code, bool down)
    {
        // Wayland key codes are evdev codes: the xkb code less 8.
        if (m_fake) {
            wl_proxy_marshal_flags(m_keyboard, keyboardKeyRequest, nullptr, fakeInputKeysVersion, 0,
                                   code - 8, down ? 1u : 0u);
            wl_display_flush(m_display);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
            return;
        }
        wl_proxy_marshal_flags(m_keyboard, keyRequest, nullptr, 1, 0, nowMs(), code - 8,
                               down ? 1u : 0u);
        xkb_state_update_key(m_state, code, down ? XKB_KEY_DOWN : XKB_KEY_UP);
        wl_proxy_marshal_flags(m_keyboard, modifiersRequest, nullptr, 1, 0,
                               xkb_state_serialize_mods(m_state, XKB_STATE_MODS_DEPRESSED),
                               xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LATCHED),
                               xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LOCKED),
                               xkb_state_serialize_layout(m_state, XKB_STATE_LAYOUT_EFFECTIVE));
        wl_display_flush(m_display);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }

    // Presses the keys in order, then lets go of them in reverse order.
    bool combo(const std::vector<xkb_keycode_t> &codes)
    {
        for (xkb_keycode_t code : codes)
            press(code, true);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            press(*it, false);
        return wl_display_roundtrip(m_display) >= 0;
    }

private:
    wl_display *m_display;
    wl_proxy *m_keyboard;
    xkb_keymap *m_keymap;
    xkb_state *m_state;
    bool m_fake;
};

bool runStep(Keyboard &keyboard, const std::string &step)
{
    const auto colon = step.find(':');
    const std::string kind = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : step.substr(colon + 1);
    if (kind == "sleep") {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(arg)));
        return true;
    }
    xkb_keycode_t shift = 0;
    bool unused = false;
    keyboard.find(XKB_KEY_Shift_L, shift, unused);

    if (kind == "key") {
        std::vector<xkb_keycode_t> codes;
        size_t start = 0;
        while (start <= arg.size()) {
            size_t end = arg.find('+', start);
            if (end == std::string::npos)
                end = arg.size();
            std::string name = arg.substr(start, end - start);
            if (name == "alt" || name == "Alt")
                name = "Alt_L";
            else if (name == "shift" || name == "Shift")
                name = "Shift_L";
            else if (name == "ctrl" || name == "Ctrl")
                name = "Control_L";
            else if (name == "super" || name == "Super")
                name = "Super_L";
            const xkb_keysym_t sym = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
            xkb_keycode_t code = 0;
            bool shifted = false;
            if (sym == XKB_KEY_NoSymbol || !keyboard.find(sym, code, shifted)) {
                std::fprintf(stderr, "virtual_keyboard: no key for \"%s\"\n", name.c_str());
                return false;
            }
            codes.push_back(code);
            start = end + 1;
        }
        return keyboard.combo(codes);
    }
    if (kind == "type") {
        for (const unsigned char c : arg) {
            const xkb_keysym_t sym = xkb_utf32_to_keysym(c);
            xkb_keycode_t code = 0;
            bool shifted = false;
            if (!keyboard.find(sym, code, shifted)) {
                std::fprintf(stderr, "virtual_keyboard: no key for '%c'\n", c);
                return false;
            }
            if (!keyboard.combo(shifted ? std::vector{shift, code} : std::vector{code}))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
    std::fprintf(stderr, "virtual_keyboard: unknown step \"%s\"\n", step.c_str());
    return false;
}

// Creates the virtual keyboard on the seat and gives it the keymap.
bool sendKeymap(wl_display *display, const Globals &globals, xkb_keymap *keymap,
                wl_proxy *&keyboard)
{
    char *text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != ssize_t(size)) {
        std::perror("virtual_keyboard: keymap");
        return false;
    }
    std::free(text);
    keyboard = wl_proxy_marshal_flags(globals.manager, 0, &virtualKeyboardInterface, 1, 0,
                                      globals.seat, nullptr);
    wl_proxy_marshal_flags(keyboard, keymapRequest, nullptr, 1, 0, keymapFormatXkbV1, fd,
                           uint32_t(size));
    close(fd);
    wl_display_roundtrip(display);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: virtual_keyboard --stdin | key:COMBO|type:TEXT|sleep:MS ...\n");
        return 2;
    }
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual_keyboard: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    const bool fake = !globals.manager && globals.fakeInput;
    if (!globals.seat || (!globals.manager && !fake)) {
        std::fprintf(stderr, "virtual_keyboard: the compositor offers no %s\n",
                     globals.seat ? "zwp_virtual_keyboard_manager_v1 nor "
                                    "org_kde_kwin_fake_input version 4"
                                  : "seat");
        return 1;
    }

    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap *keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) {
        std::fprintf(stderr, "virtual_keyboard: cannot build the us keymap\n");
        return 1;
    }
    wl_proxy *keyboard = nullptr;
    if (fake) {
        keyboard = globals.fakeInput;
        wl_proxy_marshal_flags(keyboard, authenticateRequest, nullptr, globals.fakeInputVersion, 0,
                               "virtual_keyboard", "presses keys for the test suites");
        wl_display_roundtrip(display);
    } else if (!sendKeymap(display, globals, keymap, keyboard)) {
        return 1;
    }

    Keyboard keys(display, keyboard, keymap, fake);
    int status = 0;
    if (std::strcmp(argv[1], "--stdin") == 0) {
        std::string line;
        for (int c; (c = std::getchar()) != EOF;) {
            if (c != '\n') {
                line += char(c);
                continue;
            }
            const bool ok = line.empty() || runStep(keys, line);
            std::printf("%s\n", ok ? "ok" : "failed");
            std::fflush(stdout);
            line.clear();
        }
    } else {
        // Clients bind the seat's new keyboard only now; give them a moment.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (int i = 1; i < argc && status == 0; ++i)
            if (!runStep(keys, argv[i]))
                status = 1;
    }

    if (!fake)
        wl_proxy_marshal_flags(keyboard, destroyRequest, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
    wl_display_roundtrip(display);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    wl_display_disconnect(display);
    return status;
}
