// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <wayland-client.h>

#include <cstring>
#include <vector>

// A global a Wayland test tool binds: its interface, the version it binds
// (one offered below it is passed over) and the proxy pointer to set, once.
struct WantedGlobal {
    const wl_interface *interface;
    uint32_t version;
    void **proxy;
};

// Binds those of `wanted` that the compositor offers.
inline void bindGlobals(wl_display *display, std::vector<WantedGlobal> wanted)
{
    static const wl_registry_listener listener{
        [](void *data, wl_registry *registry, uint32_t name, const char *interface,
           uint32_t version) {
            for (const WantedGlobal &global : *static_cast<std::vector<WantedGlobal> *>(data))
                if (*global.proxy == nullptr && version >= global.version &&
                    std::strcmp(interface, global.interface->name) == 0)
                    *global.proxy =
                        wl_registry_bind(registry, name, global.interface, global.version);
        },
        [](void *, wl_registry *, uint32_t) {}};
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &wanted);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
}

// The address of a proxy pointer of any type, for WantedGlobal.
template <typename Proxy> void **slot(Proxy *&proxy)
{
    return reinterpret_cast<void **>(&proxy);
}
