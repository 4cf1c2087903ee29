// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A clipboard owner on Wayland for the end-to-end suites: takes the clipboard
// through the compositor's data-control protocol with the types given on the
// command line, logs every request it serves and exits when another client
// takes the clipboard (or after --exit-after milliseconds). Where there is no
// data-control (mutter), it copies as an ordinary application does: through
// the core data device, from a small window of its own, with the serial of
// the keyboard focus it is given.
//
// It writes as a naive application does: plain blocking writes to the pipe
// exactly as it received it, stopping at the first error, so a pipe handed
// over non-blocking cuts the text short ("wrote N of M" tells).
//
//   wayland_owner [--text TEXT] [--secret] [--data MIME FILE] [--exit-after MS]
//                 [--stop-when-asked] [--burst N]
//
// --burst N takes the clipboard N times, 10 ms apart, each copy's text
// ending in its number (" 1" to " N"); --exit-after counts from the last.
// Through the core data device a copy needs a serial newer than the last
// copy's (mutter ignores it otherwise): there each later copy waits for a key
// event and takes its serial.
// --text offers TEXT as text/plain;charset=utf-8 and text/plain; --secret
// adds x-kde-passwordManagerHint with the value "secret", as password
// managers do. --stop-when-asked makes it stop itself (SIGSTOP) on the
// first request, before answering: a frozen owner. Standard output: "ready" once the clipboard is
// ours, then "asked <type>" and "wrote <n> of <size>" per request.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "ext-data-control-v1-client-protocol.h"
#include "wayland/WaylandGlobals.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

using namespace std::chrono;

namespace {

constexpr char hintType[] = "x-kde-passwordManagerHint";

struct State {
    wl_seat *seat = nullptr;
    // ext-data-control, or its forerunner of wlroots: their requests are the same.
    wl_proxy *ext = nullptr;
    wl_proxy *wlr = nullptr;
    std::map<std::string, std::string> offered;
    bool stopWhenAsked = false;
    // --burst: how many copies, and the number of each one's source.
    int burst = 1;
    std::map<wl_proxy *, int> burstCopies;
    // The owner is done once its current copy is cancelled. Another app's
    // copy may cancel an earlier copy of a burst, while it was the current
    // one: the burst's next copy takes the clipboard back.
    wl_proxy *current = nullptr;
    wl_proxy *cancelled = nullptr;

    // The core data device and the window it copies from.
    wl_compositor *compositor = nullptr;
    wl_shm *shm = nullptr;
    xdg_wm_base *wmBase = nullptr;
    wl_data_device_manager *coreManager = nullptr;
    wl_surface *surface = nullptr;
    wl_buffer *buffer = nullptr;
    std::optional<uint32_t> serial; // of the keyboard's focus, then of its keys
};

void logLine(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Waits for the compositor until `until` at most and handles what it sent;
// false once the connection is broken.
bool dispatchUntil(wl_display *display, steady_clock::time_point until)
{
    const auto left = duration_cast<milliseconds>(until - steady_clock::now()).count();
    wl_display_flush(display);
    pollfd fd{wl_display_get_fd(display), POLLIN, 0};
    return ::poll(&fd, 1, int(std::clamp<long long>(left, 0, 1000))) <= 0 ||
           wl_display_dispatch(display) >= 0;
}

void send(void *data, ext_data_control_source_v1 *source, const char *type, int32_t fd)
{
    auto *state = static_cast<State *>(data);
    const bool nonBlocking = (::fcntl(fd, F_GETFL) & O_NONBLOCK) != 0;
    logLine(std::string("asked ") + type);
    if (std::exchange(state->stopWhenAsked, false))
        std::raise(SIGSTOP);
    const auto it = state->offered.find(type);
    if (it != state->offered.end()) {
        // In a burst, each copy's text ends in its number.
        const auto copy = state->burstCopies.find(reinterpret_cast<wl_proxy *>(source));
        const std::string bytes = copy != state->burstCopies.end() && type != std::string(hintType)
                                      ? it->second + " " + std::to_string(copy->second)
                                      : it->second;
        size_t done = 0;
        std::string error;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                error = n < 0 ? std::string(": ") + std::strerror(errno) : std::string();
                break;
            }
            done += size_t(n);
        }
        logLine("wrote " + std::to_string(done) + " of " + std::to_string(bytes.size()) +
                (nonBlocking ? " to a non-blocking pipe" : "") + error);
    }
    ::close(fd);
}
void cancelled(void *data, ext_data_control_source_v1 *source)
{
    auto *state = static_cast<State *>(data);
    // A burst's earlier copies are replaced by its later ones.
    auto *proxy = reinterpret_cast<wl_proxy *>(source);
    if (proxy != state->current) {
        state->burstCopies.erase(proxy);
        wl_proxy_marshal_flags(proxy, EXT_DATA_CONTROL_SOURCE_V1_DESTROY, nullptr, 1,
                               WL_MARSHAL_FLAG_DESTROY);
        return;
    }
    state->cancelled = proxy;
}
const ext_data_control_source_v1_listener sourceListener{send, cancelled};

// --- the core data device ------------------------------------------------------

// (A core source's offer and destroy requests are numbered as data-control's.)
const wl_data_source_listener coreSourceListener{
    [](void *, wl_data_source *, const char *) {},
    [](void *data, wl_data_source *source, const char *type, int32_t fd) {
        send(data, reinterpret_cast<ext_data_control_source_v1 *>(source), type, fd);
    },
    [](void *data, wl_data_source *source) {
        cancelled(data, reinterpret_cast<ext_data_control_source_v1 *>(source));
    },
    nullptr,
    nullptr,
    nullptr};

// Events of objects without a listener (the data device, the toplevel) are
// dropped; of the keyboard's, only the focus and the keys count.
const wl_keyboard_listener keyboardListener{
    [](void *, wl_keyboard *, uint32_t, int32_t fd, uint32_t) { ::close(fd); },
    [](void *data, wl_keyboard *, uint32_t serial, wl_surface *, wl_array *) {
        static_cast<State *>(data)->serial = serial;
    },
    [](void *, wl_keyboard *, uint32_t, wl_surface *) {},
    [](void *data, wl_keyboard *, uint32_t serial, uint32_t, uint32_t, uint32_t) {
        static_cast<State *>(data)->serial = serial;
    },
    [](void *, wl_keyboard *, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    nullptr};

const xdg_wm_base_listener wmBaseListener{
    [](void *, xdg_wm_base *wmBase, uint32_t serial) { xdg_wm_base_pong(wmBase, serial); }};
void configure(void *data, xdg_surface *xdgSurface, uint32_t serial)
{
    auto *state = static_cast<State *>(data);
    xdg_surface_ack_configure(xdgSurface, serial);
    wl_surface_attach(state->surface, state->buffer, 0, 0);
    wl_surface_damage(state->surface, 0, 0, 64, 64);
    wl_surface_commit(state->surface);
}
const xdg_surface_listener xdgSurfaceListener{configure};

// Maps a small window, waits for the keyboard focus and copies with its serial.
bool copyAsApplication(wl_display *display, State &state)
{
    if (state.compositor == nullptr || state.shm == nullptr || state.wmBase == nullptr ||
        state.coreManager == nullptr || state.seat == nullptr) {
        std::fprintf(stderr, "the compositor offers neither data-control nor a data device\n");
        return false;
    }
    xdg_wm_base_add_listener(state.wmBase, &wmBaseListener, &state);
    constexpr int side = 64;
    constexpr int stride = side * 4;
    const int memory = ::memfd_create("wayland_owner", MFD_CLOEXEC);
    if (memory < 0 || ::ftruncate(memory, stride * side) != 0)
        return false;
    wl_shm_pool *pool = wl_shm_create_pool(state.shm, memory, stride * side);
    state.buffer = wl_shm_pool_create_buffer(pool, 0, side, side, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    ::close(memory);

    state.surface = wl_compositor_create_surface(state.compositor);
    xdg_surface *xdgSurface = xdg_wm_base_get_xdg_surface(state.wmBase, state.surface);
    xdg_surface_add_listener(xdgSurface, &xdgSurfaceListener, &state);
    xdg_toplevel_set_title(xdg_surface_get_toplevel(xdgSurface), "wayland_owner");
    wl_surface_commit(state.surface);

    wl_keyboard *keyboard = wl_seat_get_keyboard(state.seat);
    wl_keyboard_add_listener(keyboard, &keyboardListener, &state);
    wl_data_device *device = wl_data_device_manager_get_data_device(state.coreManager, state.seat);
    for (int copy = 1; copy <= state.burst; ++copy) {
        for (const auto last = state.serial; !state.serial || (copy > 1 && state.serial == last);)
            if (wl_display_dispatch(display) < 0)
                return false;
        wl_data_source *source = wl_data_device_manager_create_data_source(state.coreManager);
        wl_data_source_add_listener(source, &coreSourceListener, &state);
        if (state.burst > 1)
            state.burstCopies[reinterpret_cast<wl_proxy *>(source)] = copy;
        state.current = reinterpret_cast<wl_proxy *>(source);
        for (const auto &[type, bytes] : state.offered)
            wl_data_source_offer(source, type.c_str());
        wl_data_device_set_selection(device, source, *state.serial);
    }
    // A copy the compositor refuses is cancelled at once.
    if (wl_display_roundtrip(display) < 0)
        return false;
    return state.cancelled != state.current;
}

// Takes the clipboard through data-control, which needs no window or focus.
void takeClipboard(wl_display *display, State &state)
{
    wl_proxy *manager = state.ext ? state.ext : state.wlr;
    auto *device = wl_proxy_marshal_flags(manager, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
                                          state.ext ? &ext_data_control_device_v1_interface
                                                    : &zwlr_data_control_device_v1_interface,
                                          1, 0, nullptr, state.seat);
    for (int copy = 1; copy <= state.burst; ++copy) {
        // 10 ms apart, answering whoever asks meanwhile.
        for (const auto until = steady_clock::now() + 10ms;
             copy > 1 && steady_clock::now() < until;)
            if (!dispatchUntil(display, until))
                return;
        auto *source =
            wl_proxy_marshal_flags(manager, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
                                   state.ext ? &ext_data_control_source_v1_interface
                                             : &zwlr_data_control_source_v1_interface,
                                   1, 0, nullptr);
        ext_data_control_source_v1_add_listener(
            reinterpret_cast<ext_data_control_source_v1 *>(source), &sourceListener, &state);
        if (state.burst > 1)
            state.burstCopies[source] = copy;
        state.current = source;
        for (const auto &[type, bytes] : state.offered)
            wl_proxy_marshal_flags(source, EXT_DATA_CONTROL_SOURCE_V1_OFFER, nullptr, 1, 0,
                                   type.c_str());
        wl_proxy_marshal_flags(device, EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr, 1, 0,
                               source);
    }
    wl_display_roundtrip(display);
}

int usage()
{
    std::fprintf(stderr, "usage: wayland_owner [--text T] [--secret] [--data MIME FILE] "
                         "[--exit-after MS] [--stop-when-asked] [--burst N]\n");
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
            state.offered[hintType] = "secret";
        } else if (argument == "--data" && i + 2 < argc) {
            const std::string type = argv[++i];
            std::ifstream file(argv[++i], std::ios::binary);
            if (!file)
                return usage();
            state.offered[type].assign(std::istreambuf_iterator<char>(file), {});
        } else if (argument == "--burst" && i + 1 < argc) {
            state.burst = std::max(1, std::stoi(argv[++i]));
        } else if (argument == "--stop-when-asked") {
            state.stopWhenAsked = true;
        } else if (argument == "--exit-after" && i + 1 < argc) {
            exitAfterMs = std::stol(argv[++i]);
        } else {
            return usage();
        }
    }

    // A reader that closes its end early is answered with an error, not
    // the end of the owner.
    std::signal(SIGPIPE, SIG_IGN);
    wl_display *display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    bindGlobals(display, {{&wl_seat_interface, 1, slot(state.seat)},
                          {&ext_data_control_manager_v1_interface, 1, slot(state.ext)},
                          {&zwlr_data_control_manager_v1_interface, 1, slot(state.wlr)},
                          {&wl_compositor_interface, 1, slot(state.compositor)},
                          {&wl_shm_interface, 1, slot(state.shm)},
                          {&xdg_wm_base_interface, 1, slot(state.wmBase)},
                          {&wl_data_device_manager_interface, 1, slot(state.coreManager)}});
    if (state.ext == nullptr && state.wlr == nullptr) {
        if (!copyAsApplication(display, state))
            return 1;
    } else if (state.seat == nullptr) {
        std::fprintf(stderr, "the compositor offers no seat\n");
        return 1;
    } else {
        takeClipboard(display, state);
    }
    logLine("ready");

    const auto end = exitAfterMs < 0 ? steady_clock::time_point::max()
                                     : steady_clock::now() + milliseconds(exitAfterMs);
    while (state.cancelled != state.current && steady_clock::now() < end)
        if (!dispatchUntil(display, end))
            break;
    wl_display_disconnect(display);
    return 0;
}
