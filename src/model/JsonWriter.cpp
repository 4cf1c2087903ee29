// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "JsonWriter.h"

#include "JsonText.h"
#include "Rfc3339.h"
#include "UuidText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void JsonWriter::appendStringBody(QByteArrayView text)
{
    const char *src = text.data();
    const char *const end = src + text.size();
    // Room for the worst case (eight bytes per byte: \u001F written with
    // one eight-byte store), chunk by chunk.
    constexpr qsizetype chunk = 4096;
    while (src < end) {
        const char *const chunkEnd = src + qMin<qsizetype>(chunk, end - src);
        reserveMore((chunkEnd - src) * 8 + 32);
        char *p = cursor();
        while (src < chunkEnd) {
#if defined(__SSE2__)
            // Sixteen bytes at a time up to the next byte that needs an
            // escape; bytes of multi-byte characters go through unchanged.
            if (chunkEnd - src >= 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
                const __m128i control =
                    _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes);
                const __m128i special =
                    _mm_or_si128(_mm_or_si128(control, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
                                 _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')),
                                              _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/'))));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(p), bytes);
                const auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
                if (mask == 0) {
                    src += 16;
                    p += 16;
                    continue;
                }
                const int count = __builtin_ctz(mask);
                src += count;
                p += count;
            }
#endif
            const auto c = static_cast<unsigned char>(*src++);
            if (c < 0x80) {
                const JsonText::AsciiOutput &escaped = JsonText::asciiOutputs[c];
                std::memcpy(p, &escaped, sizeof escaped);
                p += escaped.length;
            } else {
                *p++ = static_cast<char>(c);
            }
        }
        advanceTo(p);
    }
}

void JsonWriter::appendDate(const QDateTime &date)
{
    reserveMore(Rfc3339::writtenLength);
    advanceTo(Rfc3339::write(cursor(), date));
}

void JsonWriter::appendUuid(const QUuid &id)
{
    reserveMore(UuidText::length);
    advanceTo(UuidText::write(cursor(), id));
}

void JsonWriter::flush()
{
    if (!m_failed && m_used > 0)
        m_failed = !(*m_sink)(QByteArrayView(m_buffer.constData(), m_used));
    m_flushed += m_used;
    m_used = 0;
}
