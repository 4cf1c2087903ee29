// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The history file is read and written by code of our own (JsonReader,
// JsonWriter, JsonText, Rfc3339, UuidText) rather than a JSON library,
// because every start decodes the whole history: bench_codec decodes
// 100,000 items in about 120 ms of CPU on our test machine, against 385 ms
// for simdjson's DOM and 1,039 ms for QJsonDocument. Should a library come
// close, use it instead.

#include "HistoryCodec.h"

#include "ItemText.h"
#include "JsonReader.h"
#include "JsonWriter.h"
#include "Rfc3339.h"
#include "UuidText.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

// What writeElement() puts around an item's text, its date and its id.
constexpr std::string_view elementHead = "\n  {\n    \"content\" : \"";
constexpr std::string_view afterContent = ",\n    \"createdAt\" : \""; // after its quote
constexpr std::string_view afterDate = "\",\n    \"id\" : \"";
constexpr std::string_view afterId = "\"\n  }";
constexpr qsizetype elementTailLength = qsizetype(afterContent.size()) + Rfc3339::writtenLength +
                                        qsizetype(afterDate.size()) + UuidText::length +
                                        qsizetype(afterId.size());

void writeElement(JsonWriter &out, const ClipboardItem &item)
{
    out.append("  {\n    \"content\" : \"");
    out.appendStringBody(item.content.utf8());
    out.append("\",\n    \"createdAt\" : \"");
    out.appendDate(item.createdAt);
    out.append("\",\n    \"id\" : \"");
    out.appendUuid(item.id);
    out.append("\"\n  }");
}

void writeItems(JsonWriter &out, const QList<ClipboardItem> &items, QList<qint64> *elementEnds)
{
    out.append(HistoryCodec::arrayStart);
    bool first = true;
    for (const ClipboardItem &item : items) {
        if (out.failed())
            return;
        if (!first)
            out.append(HistoryCodec::separator);
        first = false;
        writeElement(out, item);
        if (elementEnds)
            elementEnds->append(out.position());
    }
    out.append(HistoryCodec::arrayEnd);
}

[[nodiscard]] bool startsWith(const uchar *p, const uchar *end, std::string_view text)
{
    return end - p >= qsizetype(text.size()) && std::memcmp(p, text.data(), text.size()) == 0;
}

// Whether the bytes at `p`, just after the quote that ends an item's text,
// are exactly what writeElement() puts there up to the element's "}". Only
// the layout is looked at: the reader checks the rest (digits, fields in
// range) and fails the whole file when it is wrong. What is left of the
// date and the id is their form: whole seconds in UTC, upper-case hex.
[[nodiscard]] bool isWritersElementTail(const uchar *p, const uchar *end)
{
    if (end - p < elementTailLength || !startsWith(p, end, afterContent))
        return false;
    p += afterContent.size();
    if (p[10] != 'T' || p[19] != 'Z')
        return false;
    p += Rfc3339::writtenLength;
    if (!startsWith(p, end, afterDate))
        return false;
    p += afterDate.size();
    // No byte above '`' (hex digits, '-' and 'A'-'F' are all below it),
    // eight at a time: adding 0x1F to each byte sets its top bit exactly
    // when it is 0x61 or more (bytes of 0x80 or more have it already).
    constexpr quint64 ones = 0x0101010101010101;
    quint64 above = 0;
    for (qsizetype i = 0; i < UuidText::length; i += 8) {
        quint64 word = 0;
        std::memcpy(&word, p + i, std::size_t(qMin<qsizetype>(8, UuidText::length - i)));
        above |= (word + ones * 0x1F) | word;
    }
    return (above & ones * 0x80) == 0 && startsWith(p + UuidText::length, end, afterId);
}

// The date and the id of an element whose tail isWritersElementTail()
// found at `p`, read where they stand. They are read this way only when
// both are plain digits, letters and separators, whole strings with nothing
// to unescape, so that the reader would read them the same. False
// otherwise, for the reader to read them (and tell what is wrong).
[[nodiscard]] bool readWritersDateAndId(const uchar *p, std::optional<qint64> &ms, QUuid &id)
{
    const auto *const date = reinterpret_cast<const char *>(p) + afterContent.size();
    const std::optional<qint64> when = Rfc3339::readWritten(date);
    const std::optional<QUuid> uuid =
        UuidText::readWritten(date + Rfc3339::writtenLength + afterDate.size());
    if (!when || !uuid)
        return false;
    ms = when;
    id = *uuid;
    return true;
}

QByteArrayView asView(std::string_view text)
{
    return {text.data(), qsizetype(text.size())};
}

QString itemError(qsizetype index, const char *what)
{
    return QStringLiteral("item %1: %2").arg(index + 1).arg(QLatin1String(what));
}

} // namespace

QByteArray HistoryCodec::encode(const QList<ClipboardItem> &items)
{
    if (items.isEmpty())
        return QByteArrayLiteral("[]");

    // Room for the common worst case (three bytes per code unit) up front:
    // pages that stay unused cost nothing, a regrowth costs a copy.
    qsizetype expected = 16;
    for (const ClipboardItem &item : items)
        expected += item.content.utf8Size() + item.content.utf8Size() / 8 + 140;
    JsonWriter out(expected);
    writeItems(out, items, nullptr);
    return out.take();
}

bool HistoryCodec::encode(const QList<ClipboardItem> &items, const Sink &sink,
                          QList<qint64> *elementEnds)
{
    if (items.isEmpty())
        return sink(emptyArray);
    JsonWriter out(sink);
    writeItems(out, items, elementEnds);
    out.flush();
    return !out.failed();
}

bool HistoryCodec::encodeElement(const ClipboardItem &item, const Sink &sink)
{
    // A buffer the size of a common element, and never more than the
    // writer's megabyte, however big the text.
    JsonWriter out(sink, item.content.utf8Size() + item.content.utf8Size() / 8 + 140);
    writeElement(out, item);
    out.flush();
    return !out.failed();
}

bool HistoryCodec::decode(QByteArrayView json, QList<ClipboardItem> &items, QString &error)
{
    return decode(json, items, error, {});
}

bool HistoryCodec::decode(QByteArrayView json, QList<ClipboardItem> &items, QString &error,
                          const Consumed &consumed, Layout *layout)
{
    // A byte-order mark is not JSON, but harmless: skip it.
    qsizetype skipped = 0;
    if (json.startsWith("\xEF\xBB\xBF")) {
        json = json.sliced(3);
        skipped = 3;
    }
    // Whether the input is in the writer's form is seen as it is read: the
    // bytes of an element before and after its text are looked at just
    // before the reader takes them (after that, their memory may be given
    // back), and the text as the reader decodes it.
    const auto *const bytes = reinterpret_cast<const uchar *>(json.data());
    const uchar *const bytesEnd = bytes + json.size();
    bool canonical = layout != nullptr && skipped == 0 && json.startsWith('[');
    QList<qint64> ends;
    const Consumed fromStart =
        consumed ? Consumed([&](qsizetype n) { consumed(n + skipped); }) : Consumed();
    JsonReader reader(json, &fromStart);
    reader.skipWhitespace();
    if (reader.atEnd()) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    if (reader.peek() != '[') {
        error = QStringLiteral("not a JSON array");
        return false;
    }

    enum Member { content, createdAt, id, memberCount };
    static constexpr std::array<std::u16string_view, memberCount> memberNames{u"content",
                                                                              u"createdAt", u"id"};
    static constexpr std::array<const char *, memberCount> notAString{
        "\"content\" is not a string", "\"createdAt\" is not a string", "\"id\" is not a string"};
    static constexpr std::array<const char *, memberCount> missing{
        "\"content\" is missing", "\"createdAt\" is missing", "\"id\" is missing"};

    QList<ClipboardItem> decoded;
    auto failed = [&](QString message) {
        error = std::move(message);
        return false;
    };

    if (!reader.expect('['))
        return failed(reader.error());
    reader.skipWhitespace();
    bool more = reader.peek() != ']';
    if (!more && !reader.expect(']'))
        return failed(reader.error());
    canonical = canonical && (more || json == asView(emptyArray));
    for (qsizetype index = 0; more; ++index) {
        qsizetype elementEnd = 0;
        // The first occurrence of each member counts; anything else is
        // checked and ignored.
        ClipboardItem item;
        std::array<bool, memberCount> seen{};
        std::optional<qint64> ms;
        bool moreMembers = true;
        // Just after the "[" (white space already passed) or the ",".
        const qsizetype headStart = index == 0 ? 1 : reader.offset();
        if (canonical)
            canonical = startsWith(bytes + headStart, bytesEnd, elementHead);
        if (canonical) {
            // The writer's head ends with the quote that opens the text, the
            // first member. What follows the text, up to the "}", is still
            // there to look at; when it is the writer's too, the date and
            // the id are read where they stand.
            reader.moveTo(headStart + qsizetype(elementHead.size()) - 1);
            reader.prepareForLiteral();
            if (!reader.readString<char, true>())
                return failed(reader.error());
            item.content = ItemText::fromUtf8(reader.utf8Text());
            seen[content] = true;
            const uchar *const tail = bytes + reader.offset();
            canonical = reader.inWritersForm() && isWritersElementTail(tail, bytesEnd);
            elementEnd = reader.offset() + elementTailLength;
            if (canonical && readWritersDateAndId(tail, ms, item.id)) {
                seen[createdAt] = seen[id] = true;
                reader.moveTo(elementEnd);
                moreMembers = false;
            } else {
                // The other members as in any file, which also tells
                // what is wrong with them.
                reader.skipWhitespace();
                moreMembers = reader.peek() == ',';
                if (!reader.expect(moreMembers ? ',' : '}'))
                    return failed(reader.error());
            }
        } else {
            reader.skipWhitespace();
            if (reader.peek() != '{') {
                if (reader.atEnd() || reader.peek() == ']') {
                    reader.fail();
                    return failed(reader.error());
                }
                return failed(itemError(index, "not a JSON object"));
            }
            if (!reader.expect('{'))
                return failed(reader.error());
            reader.skipWhitespace();
            moreMembers = reader.peek() != '}';
            if (!moreMembers && !reader.expect('}'))
                return failed(reader.error());
        }
        while (moreMembers) {
            if (!reader.readString<char16_t>() || !reader.expect(':'))
                return failed(reader.error());
            int member = 0;
            while (member < memberCount && reader.text() != memberNames[member])
                ++member;
            if (member == memberCount || seen[member]) {
                if (!reader.skipValue())
                    return failed(reader.error());
            } else {
                reader.skipWhitespace();
                if (reader.peek() != '"')
                    return failed(itemError(index, notAString[member]));
                if (member == content)
                    reader.prepareForLiteral();
                if (member == content) {
                    if (!reader.readString<char>())
                        return failed(reader.error());
                } else if (!reader.readString<char16_t>()) {
                    return failed(reader.error());
                }
                seen[member] = true;
                if (member == content) {
                    item.content = ItemText::fromUtf8(reader.utf8Text());
                } else if (member == createdAt) {
                    ms = Rfc3339::parse(reader.text());
                    if (!ms)
                        return failed(
                            itemError(index, "\"createdAt\" is not a date-time with a time zone"));
                } else {
                    const std::optional<QUuid> uuid = UuidText::parse(reader.text());
                    if (!uuid)
                        return failed(itemError(index, "\"id\" is not a UUID"));
                    item.id = *uuid;
                }
            }
            reader.skipWhitespace();
            moreMembers = reader.peek() == ',';
            if (!reader.expect(moreMembers ? ',' : '}'))
                return failed(reader.error());
        }
        for (int member = 0; member < memberCount; ++member)
            if (!seen[member])
                return failed(itemError(index, missing[member]));
        item.createdAt = QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC);
        decoded.append(std::move(item));
        if (canonical) {
            const QByteArrayView rest = json.sliced(reader.offset());
            canonical = reader.offset() == elementEnd &&
                        (rest.startsWith(separator.front()) || rest == asView(arrayEnd));
            ends.append(elementEnd);
        }
        reader.reportProgress();

        reader.skipWhitespace();
        more = reader.peek() == ',';
        if (!reader.expect(more ? ',' : ']'))
            return failed(reader.error());
    }
    reader.skipWhitespace();
    if (!reader.atEnd()) {
        reader.fail();
        return failed(reader.error());
    }
    items = std::move(decoded);
    if (layout) {
        layout->canonical = canonical;
        layout->elementEnds = canonical ? std::move(ends) : QList<qint64>();
    }
    return true;
}
