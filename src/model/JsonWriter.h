// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "HistoryCodec.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>
#include <string_view>

class QDateTime;
class QUuid;

// The history codec's output: appends to a byte array through a raw
// cursor; callers reserve room for what they are about to write, so the hot
// loops do no bounds checks. With a sink, the bytes go out whenever the
// buffer fills, and the buffer stays at about a megabyte. Internal to the
// codec.
class JsonWriter {
public:
    static constexpr qsizetype flushSize = 1 << 20;

    explicit JsonWriter(qsizetype expected) { m_buffer.resize(qMax<qsizetype>(expected, 64)); }
    // `expected` bytes or fewer need no more than that much buffer.
    explicit JsonWriter(const HistoryCodec::Sink &sink, qsizetype expected = flushSize)
        : m_sink(&sink)
    {
        m_buffer.resize(qBound<qsizetype>(64, expected, flushSize));
    }

    // Bytes written so far, handed on or not.
    [[nodiscard]] qint64 position() const { return m_flushed + m_used; }

    void append(std::string_view text)
    {
        reserveMore(static_cast<qsizetype>(text.size()));
        std::memcpy(cursor(), text.data(), text.size());
        m_used += static_cast<qsizetype>(text.size());
    }
    // The content as a JSON string body: its UTF-8 bytes as they are, with
    // `"`, `\`, `/` and control characters escaped.
    void appendStringBody(QByteArrayView text);
    // In the forms Rfc3339 and UuidText write.
    void appendDate(const QDateTime &date);
    void appendUuid(const QUuid &id);

    // Whether the sink has refused a piece; what follows is dropped.
    [[nodiscard]] bool failed() const { return m_failed; }
    // Hands what is buffered to the sink.
    void flush();

    [[nodiscard]] QByteArray take()
    {
        m_buffer.resize(m_used);
        return std::move(m_buffer);
    }

private:
    void reserveMore(qsizetype extra)
    {
        if (m_used + extra <= m_buffer.size())
            return;
        if (m_sink)
            flush();
        if (m_used + extra > m_buffer.size())
            m_buffer.resize(qMax(m_buffer.size() * 2, m_used + extra));
    }
    [[nodiscard]] char *cursor() { return m_buffer.data() + m_used; }
    void advanceTo(const char *end) { m_used = end - m_buffer.constData(); }

    const HistoryCodec::Sink *m_sink = nullptr;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    qint64 m_flushed = 0;
    bool m_failed = false;
};
