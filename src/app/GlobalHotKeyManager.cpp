// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GlobalHotKeyManager.h"

#include "ConsoleOutput.h"

#include <QMetaObject>

quint32 fourCharCode(const QString &text)
{
    const QByteArray bytes = text.toUtf8().left(4);
    quint32 code = 0;
    for (const char byte : bytes)
        code = (code << 8) + quint8(byte);
    return code;
}

GlobalHotKeyManager::GlobalHotKeyManager(std::unique_ptr<HotKeyRegistrar> registrar,
                                         std::function<void()> onPressed, QObject *parent)
    : QObject(parent), m_registrar(std::move(registrar)), m_onPressed(std::move(onPressed))
{
    connect(m_registrar.get(), &HotKeyRegistrar::triggered, this,
            &GlobalHotKeyManager::handleHotKeyEvent);
    registerHotKey();
}

GlobalHotKeyManager::~GlobalHotKeyManager()
{
    if (m_hotKeyRegistered)
        m_registrar->unregisterHotKey();
    if (m_handlerInstalled)
        m_registrar->removeEventHandler();
}

quint32 GlobalHotKeyManager::hotKeySignature()
{
    static const quint32 signature = fourCharCode(QStringLiteral("QMHK"));
    return signature;
}

void GlobalHotKeyManager::releaseHotKey()
{
    if (m_hotKeyRegistered) {
        m_registrar->unregisterHotKey();
        m_hotKeyRegistered = false;
    }
    if (m_handlerInstalled) {
        m_registrar->removeEventHandler();
        m_handlerInstalled = false;
    }
}

void GlobalHotKeyManager::registerHotKey()
{
    releaseHotKey();

    // The handler goes first: whether presses can be received at all is what
    // tells a platform without global shortcuts apart from a refused grab.
    const HotKeyStatus handler = m_registrar->installEventHandler();
    if (!handler.ok()) {
        printLine(QStringLiteral("Failed to install hotkey event handler: ") + handler.toString());
        return;
    }
    m_handlerInstalled = true;

    const HotKeyStatus grab =
        m_registrar->registerHotKey(key, modifiers, {hotKeySignature(), hotKeyIdentifier});
    if (!grab.ok()) {
        printLine(QStringLiteral("Failed to register global hotkey: ") +
                  QString::number(grab.code));
        m_registrar->removeEventHandler();
        m_handlerInstalled = false;
        return;
    }
    m_hotKeyRegistered = true;
}

void GlobalHotKeyManager::handleHotKeyEvent(HotKeyId id)
{
    if (id != HotKeyId{hotKeySignature(), hotKeyIdentifier})
        return;
    // Posted: the toggle opens or closes a popup, which must not happen while
    // the native key event is still being dispatched.
    QMetaObject::invokeMethod(
        this, [this] { m_onPressed(); }, Qt::QueuedConnection);
}
