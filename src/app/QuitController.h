// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <functional>

class Dialogs;
class QSessionManager;

// Every request to end Quillmark from the user's side (Ctrl+Q in any of its
// windows, the desktop session ending) passes through one confirmation:
// quitting stops clipboard capture, which a stray keystroke should not do
// unnoticed. Holding Alt skips the question.
class QuitController : public QObject {
    Q_OBJECT
public:
    QuitController(Dialogs &dialogs, std::function<void()> stopMonitoring,
                   QObject *parent = nullptr);
    ~QuitController() override;

    // Starts listening for Ctrl+Q in every window and for the session end.
    void install();

    // True when the process should end now: Alt is held (now, or in the
    // event that asked), or the user confirmed. False keeps it running.
    [[nodiscard]] bool confirmQuit(Qt::KeyboardModifiers eventModifiers = {});
    // Asks, and on confirmation stops capture and leaves the event loop.
    void requestTermination(Qt::KeyboardModifiers eventModifiers = {});

    // The orderly end without asking (SIGINT, SIGTERM, a confirmed quit):
    // stop capture, then leave the event loop. Nothing is saved here: every
    // change was written when it happened.
    void terminate();

    // Where the live modifier state comes from; tests replace it.
    void setModifierQuery(std::function<Qt::KeyboardModifiers()> query);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commitData(QSessionManager &manager);

    Dialogs &m_dialogs;
    std::function<void()> m_stopMonitoring;
    std::function<Qt::KeyboardModifiers()> m_modifierQuery;
    bool m_asking = false;
    bool m_terminating = false;
};
