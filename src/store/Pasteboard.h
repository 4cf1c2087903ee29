// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ItemText.h"

#include <QString>

#include <functional>
#include <optional>

// The longest text capture records, in bytes of UTF-8. One copy above it
// would be held in memory, rewritten with every later save and loaded at
// every start; such a copy is refused with a printed line.
inline constexpr qint64 kMaximumCapturedTextBytes = 64 * 1024 * 1024;

// The system clipboard as capture and copy-back see it: a change counter
// that moves whenever the contents are replaced (by anyone, Quillmark
// included), the plain text on it, and a clear-then-set write.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Compared for equality only.
    [[nodiscard]] virtual qint64 changeCount() const = 0;
    // The plain text on the clipboard, or nothing when the owner offers no
    // text (an image, files) or the text must not be recorded.
    // A pasteboard that can tell the size first does not read a text above
    // kMaximumCapturedTextBytes at all: it gives nothing, and
    // refusedTextBytes() the size (as far as known) until the next read.
    [[nodiscard]] virtual std::optional<QString> stringForType() = 0;
    // The same text as an item holds it. A pasteboard that keeps its text
    // that way hands over its own buffer, so a huge copy is held once.
    [[nodiscard]] virtual std::optional<ItemText> itemTextForType()
    {
        const std::optional<QString> text = stringForType();
        return text ? std::optional<ItemText>(*text) : std::nullopt;
    }
    [[nodiscard]] virtual qint64 refusedTextBytes() const { return 0; }
    virtual void clearContents() = 0;
    virtual void setString(const QString &text) = 0;

    // Copy-back: clear, then put exactly `text` on the clipboard.
    void writeBack(const QString &text)
    {
        clearContents();
        setString(text);
    }

    // Called on the main thread each time changeCount() moves, so that a
    // poller need not wake up between changes to see that nothing moved.
    void setChangeListener(std::function<void()> listener)
    {
        m_changeListener = std::move(listener);
    }

protected:
    // Every implementation calls this after it moves the change count.
    void announceChange() const
    {
        if (m_changeListener)
            m_changeListener();
    }

private:
    std::function<void()> m_changeListener;
};
