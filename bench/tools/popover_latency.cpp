// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Measures, on the running X server, the time from a press of Alt+Shift+V
// (sent by `xdotool key`) to the popover being mapped and then painted, over
// a number of rounds. The popover is recognised as a newly mapped top-level
// window of 390x540; "painted" means its footer button shows on screen in
// the default (yellow) accent colour.
//
//   popover_latency [ROUNDS]   prints one line per round and a summary.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void runXdotool(const char *keys)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("xdotool", "xdotool", "key", keys, static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

// Waits for a 390x540 child of the root to be mapped; its id and position.
bool waitForPopoverMapped(xcb_connection_t *c, xcb_window_t &popover, int &x, int &y)
{
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        xcb_window_t window = 0;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
            window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
        std::free(event);
        if (!window)
            continue;
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
        if (!geometry)
            continue;
        const bool isPopover = geometry->width == 390 && geometry->height == 540;
        x = geometry->x;
        y = geometry->y;
        std::free(geometry);
        if (isPopover) {
            popover = window;
            return true;
        }
    }
    return false;
}

// Waits until `popover` is unmapped or destroyed.
bool waitForPopoverGone(xcb_connection_t *c, xcb_window_t popover)
{
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        const int type = event->response_type & 0x7f;
        bool gone = false;
        if (type == XCB_UNMAP_NOTIFY)
            gone = reinterpret_cast<xcb_unmap_notify_event_t *>(event)->window == popover;
        else if (type == XCB_DESTROY_NOTIFY)
            gone = reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window == popover;
        std::free(event);
        if (gone)
            return true;
    }
    return false;
}

// Whether the pixel is the default yellow accent of the footer button.
bool pixelIsAccent(xcb_connection_t *c, xcb_window_t root, int x, int y)
{
    xcb_get_image_reply_t *image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 1, 1, ~0u),
        nullptr);
    if (!image)
        return false;
    const uint8_t *data = xcb_get_image_data(image); // B, G, R
    const bool accent = data[2] > 230 && data[1] > 180 && data[1] < 230 && data[0] < 40;
    std::free(image);
    return accent;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "popover_latency: cannot connect to the display\n");
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> mappedTimes, paintedTimes, xdotoolTimes;
    for (int round = 0; round < rounds; ++round) {
        // xdotool's own cost, for reference: a key nobody listens to.
        const auto idle = Clock::now();
        runXdotool("shift");
        xdotoolTimes.push_back(msSince(idle));

        const auto start = Clock::now();
        runXdotool("alt+shift+v");
        int x = 0, y = 0;
        xcb_window_t popover = 0;
        if (!waitForPopoverMapped(c, popover, x, y)) {
            std::fprintf(stderr, "popover_latency: the popover did not open\n");
            return 1;
        }
        const double mapped = msSince(start);
        // The footer button, filled with the accent colour once painted.
        while (!pixelIsAccent(c, root, x + 16, y + 516)) {
            if (msSince(start) > 10000) {
                std::fprintf(stderr, "popover_latency: the popover was never painted\n");
                return 1;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const double painted = msSince(start);
        mappedTimes.push_back(mapped);
        paintedTimes.push_back(painted);
        std::printf("round %d: mapped %.1f ms, painted %.1f ms\n", round + 1, mapped, painted);

        runXdotool("alt+shift+v");
        if (!waitForPopoverGone(c, popover)) {
            std::fprintf(stderr, "popover_latency: the popover did not close\n");
            return 1;
        }
        // Let the screen settle back to the root's black.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("median over %d rounds: mapped %.1f ms, painted %.1f ms "
                "(a bare `xdotool key` takes %.1f ms of that)\n",
                rounds, median(mappedTimes), median(paintedTimes), median(xdotoolTimes));
    return 0;
}
