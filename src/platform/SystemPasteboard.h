// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Pasteboard.h"

#include <QObject>

#include <functional>
#include <memory>

class ClipboardConnection;

// The Pasteboard of a desktop session, over one clipboard connection.
//
// The change count moves once per real change: each foreign copy once its
// offer has been read, and each write of Quillmark's own. The text of the
// latest change is kept, so the store's poll never waits for another app.
// When the owner of a text copy goes away and the clipboard empties,
// Quillmark takes the clipboard over with that text, so that other apps
// can still paste it; the takeover is no change (the count stays) and is
// never done for a secret or a copy without text. When the desktop takes
// the clipboard over instead, that is no change either; a secret it takes
// over is withdrawn (Quillmark takes the clipboard, offering nothing). When
// the connection is lost, the fallback (if any) gives the connection to
// carry on with.
class SystemPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    using Fallback = std::function<std::unique_ptr<ClipboardConnection>()>;

    explicit SystemPasteboard(std::unique_ptr<ClipboardConnection> connection,
                              Fallback fallback = {}, QObject *parent = nullptr);
    ~SystemPasteboard() override;

    [[nodiscard]] qint64 changeCount() const override { return m_changeCount; }
    [[nodiscard]] std::optional<QString> stringForType() override;
    [[nodiscard]] std::optional<ItemText> itemTextForType() override { return m_text; }
    [[nodiscard]] qint64 refusedTextBytes() const override { return m_refusedBytes; }
    void clearContents() override;
    void setString(const QString &text) override;

    [[nodiscard]] ClipboardConnection *connection() const { return m_connection.get(); }

private:
    void attach(std::unique_ptr<ClipboardConnection> connection);
    void onForeignCopy(const std::optional<QString> &text, bool secret, qint64 refusedBytes,
                       bool handedOn);
    void onEmptied();
    void onLost();

    std::unique_ptr<ClipboardConnection> m_connection;
    Fallback m_fallback;
    qint64 m_changeCount = 0;
    // Kept as an item keeps it, so that the item can share it.
    std::optional<ItemText> m_text;
    qint64 m_refusedBytes = 0;
    // The text a foreign owner offered, restored when that owner leaves.
    std::optional<ItemText> m_keepText;
    bool m_secret = false; // the latest change is a copy marked secret
};
