// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProcessEnvironment>
#include <QString>

struct xcb_connection_t;

// Decides, before QApplication exists, how Quillmark reaches the display.
// Quillmark needs X11: a Wayland session gives a background program neither
// the clipboard nor global keys, so there it runs through XWayland.
class DisplaySession {
public:
    DisplaySession() = default;
    ~DisplaySession();
    DisplaySession(const DisplaySession &) = delete;
    DisplaySession &operator=(const DisplaySession &) = delete;

    struct Decision {
        bool useXcb = false; // set QT_QPA_PLATFORM=xcb before Qt starts
        QString notice;      // one line for standard output, or empty
        QString error;       // why Quillmark cannot start, or empty
    };

    [[nodiscard]] static Decision decide(const QProcessEnvironment &environment);
    // A Wayland session, whether Quillmark runs on XWayland in it or not.
    [[nodiscard]] static bool isWaylandSession(const QProcessEnvironment &environment);

    // Applies the decision for this process: sets the platform and checks
    // that the X server answers. Returns false (after printing the reason
    // to standard error) when Quillmark cannot start.
    // The check's connection stays open while this object lives: an X
    // server resets when its last client leaves, and Qt must not connect
    // into that reset.
    [[nodiscard]] bool prepare();
    // The decision's notice, printed by the instance that goes on to run: a
    // launch that only hands its request to the running one says nothing.
    void printNotice() const;

private:
    xcb_connection_t *m_probe = nullptr;
    QString m_notice;
};
