#include "AppComposition.h"

#include "TerminationSignals.h"

#include <QApplication>

AppComposition::AppComposition() = default;

AppComposition::~AppComposition() = default;

void AppComposition::launch()
{
    // 1. Ending on SIGINT/SIGTERM goes through terminate(), like a quit.
    m_terminationSignals = new TerminationSignals(this);
    connect(m_terminationSignals, &TerminationSignals::received, this, &AppComposition::terminate);

    // 2. Settings (with the login item) and 3. the history store with the
    //    X11 clipboard join here as soon as they exist.
}

void AppComposition::terminate()
{
    QApplication::quit();
}
