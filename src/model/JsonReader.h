// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "HistoryCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string_view>
#include <utility>

// A strict single-pass JSON reader for the history file: it decodes the
// strings it needs straight into UTF-16 or UTF-8, checks everything it
// skips, keeps no tree, and nests through an explicit stack (deep input
// cannot exhaust the call stack). Any fault is reported with its byte
// offset. Internal to the history codec.
class JsonReader {
public:
    explicit JsonReader(QByteArrayView json, const HistoryCodec::Consumed *consumed = nullptr)
        : m_begin(reinterpret_cast<const uchar *>(json.data())), m_pos(m_begin),
          m_end(m_begin + json.size()), m_consumed(consumed && *consumed ? consumed : nullptr),
          m_reported(m_begin)
    {
    }

    // Tells the caller, every few megabytes, how far the reader is done.
    void reportProgress(const uchar *pos)
    {
        if (m_consumed != nullptr && pos - m_reported >= kProgressStep) {
            m_reported = pos;
            (*m_consumed)(pos - m_begin);
        }
    }
    void reportProgress() { reportProgress(m_pos); }

    [[nodiscard]] const QString &error() const { return m_error; }
    [[nodiscard]] bool atEnd() const { return m_pos == m_end; }
    // Goes on at `offset`, ahead, past bytes known to be well-formed.
    void moveTo(qsizetype offset) { m_pos = m_begin + offset; }
    [[nodiscard]] qsizetype offset() const { return m_pos - m_begin; }
    [[nodiscard]] uchar peek() const { return m_pos < m_end ? *m_pos : 0; }

    void skipWhitespace()
    {
        while (m_pos < m_end &&
               (*m_pos == ' ' || *m_pos == '\n' || *m_pos == '\r' || *m_pos == '\t'))
            ++m_pos;
    }

    // Consumes `c` after optional white space.
    [[nodiscard]] bool expect(uchar c)
    {
        skipWhitespace();
        if (peek() != c)
            return fail();
        ++m_pos;
        return true;
    }

    bool fail(const char *what = "malformed JSON");

    // A string at the current position (after white space), decoded into
    // UTF-16 (`Unit` char16_t: the result is `text()`) or into UTF-8 (`Unit`
    // char: the result is `utf8Text()`, mostly a copy of the bytes between
    // the quotes, checked on the way). Either is valid until the next
    // string of its kind is read. With NoteForm (UTF-8 only),
    // `inWritersForm()` then tells whether the string was written as
    // JsonWriter::appendStringBody() writes it: no raw `/`, and every escape
    // the writer's own (raw UTF-8 is written back as it is).
    template <typename Unit, bool NoteForm = false> [[nodiscard]] bool readString();

    // Before an item's text: the buffer grows, if it must, to the size of
    // the literal ahead (its UTF-8 form is never longer), so a text of any
    // size is decoded once, in place, and utf8Text() hands a large one over
    // without a copy. Loading a huge item then needs its size once more
    // than the file, not two or three times.
    void prepareForLiteral();

    [[nodiscard]] std::u16string_view text() const
    {
        return {reinterpret_cast<const char16_t *>(m_scratch.constData()),
                static_cast<std::size_t>(m_length)};
    }
    // The string just read into UTF-8. A short one is copied to a buffer of
    // its size; a long one takes the buffer with it (the room to spare,
    // never touched, takes no memory).
    [[nodiscard]] QByteArray utf8Text()
    {
        if (m_utf8Length < 65536)
            return {m_utf8Scratch.constData(), m_utf8Length};
        m_utf8Scratch.truncate(m_utf8Length);
        return std::exchange(m_utf8Scratch, QByteArray());
    }
    [[nodiscard]] bool inWritersForm() const { return m_inWritersForm; }

    // Checks one value of any kind and moves past it.
    [[nodiscard]] bool skipValue();

private:
    [[nodiscard]] bool readLiteral(std::string_view literal);
    [[nodiscard]] bool readNumber();
    [[nodiscard]] int readHex4();
    [[nodiscard]] int readUnicodeEscape(char16_t *units);
    // The buffer that strings of `Unit` are decoded into, with room for at
    // least `size` units.
    template <typename Unit> Unit *scratch(qsizetype size);
    template <typename Unit> [[nodiscard]] qsizetype scratchSize() const;

    const uchar *const m_begin;
    const uchar *m_pos;
    const uchar *const m_end;
    static constexpr qsizetype kProgressStep = 8 * 1024 * 1024;
    const HistoryCodec::Consumed *const m_consumed;
    const uchar *m_reported;
    QString m_scratch; // grown with resize(), which leaves new room uninitialised
    qsizetype m_length = 0;
    QByteArray m_utf8Scratch;
    qsizetype m_utf8Length = 0;
    bool m_inWritersForm = false;
    QString m_error;
};

extern template bool JsonReader::readString<char16_t, false>();
extern template bool JsonReader::readString<char, false>();
extern template bool JsonReader::readString<char, true>();
