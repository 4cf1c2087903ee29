#pragma once

#include <QObject>

class TerminationSignals;

// Quillmark's long-lived objects, built in launch order and kept until the
// process ends; the ones other code reaches as `shared` are installed here.
// Each later piece of the shell (windows, tray, hot key) joins the sequence
// in launch(), after the objects it needs.
class AppComposition final : public QObject {
    Q_OBJECT
public:
    AppComposition();
    ~AppComposition() override;

    // Builds everything; the event loop starts after this returns.
    void launch();
    // The orderly end, for every way of asking: stop capture, then leave
    // the event loop. Nothing is saved here: every change was written when
    // it happened.
    void terminate();

private:
    TerminationSignals *m_terminationSignals = nullptr;
};
