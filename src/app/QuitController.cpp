// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "QuitController.h"

#include "Dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSessionManager>
#include <QWidget>

QuitController::QuitController(Dialogs &dialogs, std::function<void()> stopMonitoring,
                               QObject *parent)
    : QObject(parent), m_dialogs(dialogs), m_stopMonitoring(std::move(stopMonitoring)),
      m_modifierQuery(&QGuiApplication::queryKeyboardModifiers)
{
}

QuitController::~QuitController()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void QuitController::install()
{
    QCoreApplication::instance()->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &QuitController::commitData,
            Qt::DirectConnection);
}

void QuitController::setModifierQuery(std::function<Qt::KeyboardModifiers()> query)
{
    m_modifierQuery = std::move(query);
}

bool QuitController::confirmQuit(Qt::KeyboardModifiers eventModifiers)
{
    if ((m_modifierQuery() | eventModifiers) & Qt::AltModifier)
        return true;
    Dialogs::Confirmation alert;
    alert.title = QStringLiteral("Quit Quillmark?");
    alert.message = QStringLiteral("Clipboard monitoring will stop.");
    alert.icon = Dialogs::Icon::warning;
    alert.buttons = {
        {QStringLiteral("Keep Running"), Dialogs::ButtonRole::cancel},
        {QStringLiteral("Quit Quillmark"), Dialogs::ButtonRole::normal},
    };
    alert.defaultButton = 0;
    m_asking = true;
    const std::optional<int> answer = m_dialogs.confirm(QApplication::activeWindow(), alert);
    m_asking = false;
    return answer == 1;
}

void QuitController::requestTermination(Qt::KeyboardModifiers eventModifiers)
{
    // One question at a time: Ctrl+Q pressed again inside the alert does
    // not stack a second one.
    if (m_asking || m_terminating)
        return;
    if (confirmQuit(eventModifiers))
        terminate();
}

void QuitController::terminate()
{
    m_terminating = true;
    m_stopMonitoring();
    // exit(), not quit(): quit() first asks every window to close, and our
    // windows only hide, which Qt takes as a refusal to quit.
    QCoreApplication::exit(0);
}

bool QuitController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (key->key() == Qt::Key_Q && (mods & Qt::ControlModifier) &&
            !(mods & (Qt::ShiftModifier | Qt::MetaModifier))) {
            requestTermination(mods);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void QuitController::commitData(QSessionManager &manager)
{
    if (m_terminating)
        return;
    if (!manager.allowsInteraction()) {
        // The session ends without letting us ask: stop cleanly.
        m_stopMonitoring();
        return;
    }
    const bool quit = confirmQuit();
    if (!quit)
        manager.cancel();
    manager.release();
    if (quit) {
        // The session manager ends the process; capture stops first.
        m_terminating = true;
        m_stopMonitoring();
    }
}
