// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A clipboard owner on Wayland for the end-to-end suites: takes the clipboard
// through the compositor's data-control protocol with the types given on the
// command line, logs every request it serves and exits when another client
// takes the clipboard (or after --exit-after milliseconds).
//
//   wayland_owner [--text TEXT] [--secret] [--data MIME FILE] [--exit-after MS]
//                 [--stop-when-asked]
//
// --text offers TEXT as text/plain;charset=utf-8 and text/plain; --secret
// adds x-kde-passwordManagerHint with the value "secret", as password
// managers do. --stop-when-asked makes it stop itself (SIGSTOP) on the
// first request, before answering: a frozen owner. Standard output: "ready" once the clipboard is
// ours, then "asked <type>" per request.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace {

struct State {
    wl_seat *seat = nullptr;
    wl_proxy *manager = nullptr;
    const wl_interface *device = nullptr;
    const wl_interface *source = nullptr;
    bool ext = false;
    std::map<std::string, std::string> offered;
    bool cancelled = false;
    bool stopWhenAsked = false;
};

void logLine(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *state = static_cast<State *>(data);
    if (std::strcmp(interface, "wl_seat") == 0 && state->seat == nullptr) {
        state->seat =
            static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, "ext_data_control_manager_v1") == 0) {
        if (state->manager != nullptr)
            wl_proxy_destroy(state->manager);
        state->manager = static_cast<wl_proxy *>(
            wl_registry_bind(registry, name, &ext_data_control_manager_v1_interface, 1));
        state->device = &ext_data_control_device_v1_interface;
        state->source = &ext_data_control_source_v1_interface;
        state->ext = true;
    } else if (std::strcmp(interface, "zwlr_data_control_manager_v1") == 0 && !state->ext) {
        state->manager = static_cast<wl_proxy *>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
        state->device = &zwlr_data_control_device_v1_interface;
        state->source = &zwlr_data_control_source_v1_interface;
    }
}
void globalRemove(void *, wl_registry *, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

void send(void *data, ext_data_control_source_v1 *, const char *type, int32_t fd)
{
    auto *state = static_cast<State *>(data);
    logLine(std::string("asked ") + type);
    if (std::exchange(state->stopWhenAsked, false))
        std::raise(SIGSTOP);
    const auto it = state->offered.find(type);
    if (it != state->offered.end()) {
        const std::string &bytes = it->second;
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
    }
    ::close(fd);
}
void cancelled(void *data, ext_data_control_source_v1 *)
{
    static_cast<State *>(data)->cancelled = true;
}
const ext_data_control_source_v1_listener sourceListener{send, cancelled};

int usage()
{
    std::fprintf(stderr, "usage: wayland_owner [--text T] [--secret] [--data MIME FILE] "
                         "[--exit-after MS] [--stop-when-asked]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    State state;
    long exitAfterMs = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--text" && i + 1 < argc) {
            state.offered["text/plain;charset=utf-8"] = argv[i + 1];
            state.offered["text/plain"] = argv[++i];
        } else if (argument == "--secret") {
            state.offered["x-kde-passwordManagerHint"] = "secret";
        } else if (argument == "--data" && i + 2 < argc) {
            const std::string type = argv[++i];
            std::ifstream file(argv[++i], std::ios::binary);
            if (!file)
                return usage();
            state.offered[type].assign(std::istreambuf_iterator<char>(file), {});
        } else if (argument == "--stop-when-asked") {
            state.stopWhenAsked = true;
        } else if (argument == "--exit-after" && i + 1 < argc) {
            exitAfterMs = std::stol(argv[++i]);
        } else {
            return usage();
        }
    }

    wl_display *display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state);
    wl_display_roundtrip(display);
    if (state.seat == nullptr || state.manager == nullptr) {
        std::fprintf(stderr, "the compositor offers no data-control protocol\n");
        return 1;
    }
    auto *device =
        wl_proxy_marshal_flags(state.manager, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
                               state.device, 1, 0, nullptr, state.seat);
    auto *source = wl_proxy_marshal_flags(
        state.manager, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE, state.source, 1, 0, nullptr);
    wl_proxy_add_listener(source,
                          reinterpret_cast<void (**)(void)>(
                              const_cast<ext_data_control_source_v1_listener *>(&sourceListener)),
                          &state);
    for (const auto &[type, bytes] : state.offered)
        wl_proxy_marshal_flags(source, EXT_DATA_CONTROL_SOURCE_V1_OFFER, nullptr, 1, 0,
                               type.c_str());
    wl_proxy_marshal_flags(device, EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr, 1, 0, source);
    wl_display_roundtrip(display);
    logLine("ready");

    const auto start = std::chrono::steady_clock::now();
    while (!state.cancelled) {
        int timeout = -1;
        if (exitAfterMs >= 0) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
            if (elapsed >= exitAfterMs)
                break;
            timeout = int(exitAfterMs - elapsed);
        }
        wl_display_flush(display);
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        if (::poll(&fd, 1, timeout) > 0 && wl_display_dispatch(display) < 0)
            break;
    }
    wl_display_disconnect(display);
    return 0;
}
