// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The history file codec at 10,000 and 100,000 items (about 30 MB), against
// QJsonDocument as the baseline it has to beat.
#include "ClipboardStore.h"
#include "DateFormatter.h"
#include "HistoryCodec.h"
#include "SampleHistory.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <algorithm>
#include <map>

namespace {

const QDateTime sampleNow(QDate(2026, 12, 5), QTime(21, 4, 7), Qt::UTC);

const QList<ClipboardItem> &sample(int count)
{
    static std::map<int, QList<ClipboardItem>> cache;
    auto it = cache.find(count);
    if (it == cache.end()) {
        QList<ClipboardItem> items = makeSampleHistory(count, sampleNow);
        // Files are read back in any order; shuffle so the sort has work to do.
        std::reverse(items.begin() + items.size() / 2, items.end());
        it = cache.emplace(count, std::move(items)).first;
    }
    return it->second;
}

const QByteArray &sampleJson(int count)
{
    static std::map<int, QByteArray> cache;
    auto it = cache.find(count);
    if (it == cache.end())
        it = cache.emplace(count, HistoryCodec::encode(sample(count))).first;
    return it->second;
}

void setBytes(benchmark::State &state, qsizetype bytes)
{
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Encode(benchmark::State &state)
{
    const QList<ClipboardItem> &items = sample(static_cast<int>(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray json = HistoryCodec::encode(items);
        size = json.size();
        benchmark::DoNotOptimize(json.constData());
    }
    setBytes(state, size);
}

// Encoding as a save does it: piece by piece into a sink (here one that
// only counts), with a buffer of about a megabyte.
void BM_EncodeStreamed(benchmark::State &state)
{
    const QList<ClipboardItem> &items = sample(static_cast<int>(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state) {
        size = 0;
        const bool ok = HistoryCodec::encode(items, [&](QByteArrayView piece) {
            size += piece.size();
            benchmark::DoNotOptimize(piece.data());
            return true;
        });
        benchmark::DoNotOptimize(ok);
    }
    setBytes(state, size);
}

void BM_Decode(benchmark::State &state)
{
    const QByteArray &json = sampleJson(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QList<ClipboardItem> items;
        QString error;
        if (!HistoryCodec::decode(json, items, error))
            state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(items.constData());
    }
    setBytes(state, json.size());
}

// As the store decodes its own file at start: noting whether it is in the
// written form, and where each element ends.
void BM_DecodeKeepingLayout(benchmark::State &state)
{
    const QByteArray &json = sampleJson(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QList<ClipboardItem> items;
        QString error;
        HistoryCodec::Layout layout;
        if (!HistoryCodec::decode(json, items, error, {}, &layout) || !layout.canonical)
            state.SkipWithError("not decoded in the written form");
        benchmark::DoNotOptimize(items.constData());
    }
    setBytes(state, json.size());
}

// What the store does at start: read the file, decode, sort newest first.
void BM_Load(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clipboard-history.json"));
    const QByteArray &json = sampleJson(static_cast<int>(state.range(0)));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
            state.SkipWithError("cannot write the sample file");
    }
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read the sample file");
        const QByteArray bytes = file.readAll();
        QList<ClipboardItem> items;
        QString error;
        if (!HistoryCodec::decode(bytes, items, error))
            state.SkipWithError(qPrintable(error));
        ClipboardStore::sortNewestFirst(items);
        benchmark::DoNotOptimize(items.constData());
    }
    setBytes(state, json.size());
}

// The sort alone, by QDateTime comparison, for comparison with the store's keyed sort.
void BM_SortByQDateTime(benchmark::State &state)
{
    const QList<ClipboardItem> &original = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QList<ClipboardItem> items = original;
        state.ResumeTiming();
        std::stable_sort(items.begin(), items.end(),
                         [](const ClipboardItem &a, const ClipboardItem &b) {
                             return a.createdAt > b.createdAt;
                         });
        benchmark::DoNotOptimize(items.constData());
    }
}

void BM_SortByKey(benchmark::State &state)
{
    const QList<ClipboardItem> &original = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QList<ClipboardItem> items = original;
        state.ResumeTiming();
        ClipboardStore::sortNewestFirst(items);
        benchmark::DoNotOptimize(items.constData());
    }
}

// The baseline: QJsonDocument, with the same checks as far as Qt offers them.
void BM_DecodeQJsonDocument(benchmark::State &state)
{
    const QByteArray &json = sampleJson(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QJsonParseError parseError{};
        const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
        if (!document.isArray())
            state.SkipWithError("not an array");
        const QJsonArray array = document.array();
        QList<ClipboardItem> items;
        items.reserve(array.size());
        for (const QJsonValue &value : array) {
            const QJsonObject object = value.toObject();
            const QDateTime createdAt = QDateTime::fromString(
                object.value(QLatin1String("createdAt")).toString(), Qt::ISODate);
            const QUuid id(object.value(QLatin1String("id")).toString());
            if (!createdAt.isValid() || id.isNull())
                state.SkipWithError("bad element");
            items.append({id, object.value(QLatin1String("content")).toString(), createdAt});
        }
        benchmark::DoNotOptimize(items.constData());
    }
    setBytes(state, json.size());
}

// The other candidate: simdjson's DOM parser (strict, validating), with
// QString::fromUtf8 for the texts and the codec's own date and id checks
// left out, so this is a lower bound for a reader built on it.
void BM_DecodeSimdjsonDom(benchmark::State &state)
{
    const QByteArray &json = sampleJson(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        simdjson::dom::parser parser;
        simdjson::dom::element root;
        if (parser.parse(json.constData(), std::size_t(json.size())).get(root))
            state.SkipWithError("parse failed");
        QList<ClipboardItem> items;
        for (simdjson::dom::element element : root.get_array()) {
            std::string_view content, createdAt, id;
            if (element["content"].get(content) || element["createdAt"].get(createdAt) ||
                element["id"].get(id))
                state.SkipWithError("bad element");
            items.append({QUuid(QAnyStringView(QByteArrayView(id.data(), qsizetype(id.size())))),
                          QString::fromUtf8(content.data(), qsizetype(content.size())),
                          QDateTime()});
            benchmark::DoNotOptimize(createdAt.data());
        }
        benchmark::DoNotOptimize(items.constData());
    }
    setBytes(state, json.size());
}

void BM_EncodeQJsonDocument(benchmark::State &state)
{
    const QList<ClipboardItem> &items = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QJsonArray array;
        for (const ClipboardItem &item : items)
            array.append(QJsonObject{
                {QStringLiteral("content"), item.content.toString()},
                {QStringLiteral("createdAt"), item.createdAt.toString(Qt::ISODate)},
                {QStringLiteral("id"), item.id.toString(QUuid::WithoutBraces).toUpper()}});
        const QByteArray json = QJsonDocument(array).toJson(QJsonDocument::Indented);
        benchmark::DoNotOptimize(json.constData());
    }
}

void BM_FormatTimestamp(benchmark::State &state)
{
    const QList<ClipboardItem> &items = sample(10000);
    qsizetype i = 0;
    for (auto _ : state) {
        const QString text = timestampFormatter().format(items[i++ % items.size()].createdAt);
        benchmark::DoNotOptimize(text.constData());
    }
}

void BM_FormatTimestampQLocale(benchmark::State &state)
{
    const QList<ClipboardItem> &items = sample(10000);
    const QLocale c = QLocale::c();
    qsizetype i = 0;
    for (auto _ : state) {
        const QString text = c.toString(items[i++ % items.size()].createdAt.toLocalTime(),
                                        QStringLiteral("dd/MMM/yyyy hh:mm:ss AP"));
        benchmark::DoNotOptimize(text.constData());
    }
}

} // namespace

BENCHMARK(BM_Encode)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeStreamed)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeKeepingLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByKey)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByQDateTime)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeQJsonDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeSimdjsonDom)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeQJsonDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatTimestamp);
BENCHMARK(BM_FormatTimestampQLocale);

BENCHMARK_MAIN();
