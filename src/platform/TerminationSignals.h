// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the main thread, so that a
// request to end (Ctrl+C, the session logging out, `kill`) stops Quillmark
// through the same orderly path as quitting from the menu. The handler only
// writes the signal number into a socket pair; the event loop reads it.
// One instance per process.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    // Starts catching SIGINT and SIGTERM before any object exists to handle
    // them: a signal during start-up then waits until the event loop runs
    // instead of killing Quillmark half-started.
    static void catchEarly();
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readPending();

    QSocketNotifier *m_notifier = nullptr;
};
