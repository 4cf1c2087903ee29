// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Holds Alt+Shift+V (all lock variants) on the root window, as another
// program that took the shortcut first would. Prints "held" once every grab
// succeeded, then stays until killed. Exit status 1 when a grab failed.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "hold_hotkey: cannot connect to the display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, 'v');
    if (!codes || codes[0] == XCB_NO_SYMBOL) {
        std::fprintf(stderr, "hold_hotkey: no keycode for V\n");
        return 1;
    }
    const uint16_t wanted = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1;
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                              XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    for (uint16_t lock : locks) {
        xcb_void_cookie_t cookie =
            xcb_grab_key_checked(connection, 1, screen->root, uint16_t(wanted | lock), codes[0],
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            std::fprintf(stderr, "hold_hotkey: grab refused, X error %d\n", error->error_code);
            return 1;
        }
    }
    std::free(codes);
    xcb_key_symbols_free(symbols);
    std::printf("held\n");
    std::fflush(stdout);
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
        std::free(event);
    return 0;
}
