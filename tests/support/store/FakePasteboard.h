// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Pasteboard.h"

// An in-memory clipboard: a test "copies" by calling copy(); writes from the
// code under test land here too, moving the counter like the real one does.
class FakePasteboard final : public Pasteboard {
public:
    [[nodiscard]] qint64 changeCount() const override { return m_changeCount; }
    [[nodiscard]] std::optional<QString> stringForType() override
    {
        ++m_reads;
        return m_text;
    }
    [[nodiscard]] qint64 refusedTextBytes() const override { return refusedBytes; }
    void clearContents() override { copy(std::nullopt); }
    void setString(const QString &text) override { copy(text); }

    // Another application copied `text` (or non-text content, for nullopt).
    void copy(std::optional<QString> text)
    {
        m_text = std::move(text);
        ++m_changeCount;
        announceChange();
    }
    [[nodiscard]] int reads() const { return m_reads; }

    // What a pasteboard that refused an oversized text reports.
    qint64 refusedBytes = 0;

private:
    qint64 m_changeCount = 100;
    std::optional<QString> m_text;
    int m_reads = 0;
};
