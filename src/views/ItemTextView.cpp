// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ItemTextView.h"

#include "HighlightStyle.h"
#include "PreviewText.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <cstring>

namespace {

// Pieces are this many bytes long at most, and at least half of it when
// they end at a line break; a piece inside one long line ends after a space
// if there is one near the end. (Line breaks, spaces and tabs are single
// bytes in UTF-8 that no other character contains.)
constexpr qsizetype kPieceLength = 4096;
constexpr qsizetype kSpaceSearch = 256;
// Laid-out pieces kept for repainting and hit tests.
constexpr qsizetype kCachedLayouts = 24;

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Where the last line break of `bytes` is, or -1.
qsizetype lastLineBreak(const char *bytes, qsizetype size)
{
    const auto *newline = static_cast<const char *>(memrchr(bytes, '\n', size_t(size)));
    const qsizetype from = newline ? newline - bytes + 1 : 0;
    const auto *ret = static_cast<const char *>(memrchr(bytes + from, '\r', size_t(size - from)));
    return ret ? ret - bytes : newline ? newline - bytes : -1;
}

// What a piece holds: its UTF-16 length and the lines it has before
// wrapping. Its breaks start new lines, except one that ends the piece (the
// next piece starts on a new line anyway). This runs over the whole text
// when it is shown, so it counts in blocks the compiler can vectorise.
struct PieceCounts {
    qsizetype units = 0;
    int hardLines = 1;
};

PieceCounts countPiece(const char *bytes, qsizetype size)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    qsizetype units = 0;
    qsizetype newlines = 0;
    qsizetype returns = 0;
    const auto count = [&](const unsigned char *block, qsizetype length) {
        // A character is one unit, two from four bytes on; continuation
        // bytes count nothing.
        unsigned blockUnits = 0;
        unsigned blockNewlines = 0;
        unsigned blockReturns = 0;
        for (qsizetype i = 0; i < length; ++i) {
            const unsigned char b = block[i];
            blockUnits += unsigned((b & 0xC0) != 0x80) + unsigned(b >= 0xF0);
            blockNewlines += unsigned(b == '\n');
            blockReturns += unsigned(b == '\r');
        }
        units += blockUnits;
        newlines += blockNewlines;
        returns += blockReturns;
    };
    constexpr qsizetype kBlock = 64;
    qsizetype i = 0;
    for (; i + kBlock <= size; i += kBlock)
        count(in + i, kBlock);
    count(in + i, size - i);

    qsizetype lines = 1 + newlines;
    if (returns > 0) {
        // A CR is a break of its own unless an LF follows it.
        for (qsizetype j = 0; j < size; ++j)
            if (in[j] == '\r' && (j + 1 == size || in[j + 1] != '\n'))
                ++lines;
    }
    if (size > 0 && isLineBreak(bytes[size - 1]))
        --lines;
    return {units, int(lines)};
}

// The piece as laid out: without the break that ends it, other breaks
// turned into line separators.
QString layoutTextOf(QStringView piece)
{
    if (piece.endsWith(u'\n'))
        piece.chop(1);
    if (piece.endsWith(u'\r'))
        piece.chop(1);
    return PreviewText::withLineSeparators(piece.toString());
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

} // namespace

ItemTextView::ItemTextView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    m_lineHeight = std::max(1, int(std::ceil(QFontMetricsF(font()).lineSpacing())));
    setText(ItemText(), QString());
}

ItemTextView::~ItemTextView() = default;

void ItemTextView::setText(const ItemText &text, const QString &query)
{
    m_text = text;
    m_matcher = TextMatcher(query);
    m_selectionAnchor = m_selectionPosition = 0;
    m_selecting = false;
    m_anchor = {};
    m_pinnedToEnd = false;
    cutIntoPieces();
    m_resume = {0};
    resetLineCounts();
    updateScrollRange();
    viewport()->update();
}

void ItemTextView::setMargin(int margin)
{
    m_margin = std::max(0, margin);
    resetLineCounts();
    updateScrollRange();
    viewport()->update();
}

void ItemTextView::cutIntoPieces()
{
    m_starts.clear();
    m_byteStarts.clear();
    m_hardLines.clear();
    const char *text = m_text.utf8().constData();
    const qsizetype size = m_text.utf8Size();
    qsizetype start = 0;
    qsizetype units = 0;
    do {
        qsizetype end = size;
        if (size - start > kPieceLength) {
            end = start + kPieceLength;
            qsizetype cut = lastLineBreak(text + start + kPieceLength / 2, kPieceLength / 2);
            if (cut >= 0)
                cut += start + kPieceLength / 2 + 1;
            if (cut > 0 && text[cut - 1] == '\r' && cut < size && text[cut] == '\n')
                ++cut; // a CR LF pair stays together
            for (qsizetype i = end - 1; cut < 0 && i >= end - kSpaceSearch; --i) {
                if (text[i] == ' ' || text[i] == '\t')
                    cut = i + 1;
            }
            if (cut < 0) {
                cut = end; // at the start of a character
                while (isContinuationByte(text[cut]))
                    --cut;
            }
            end = cut;
        }
        const PieceCounts counts = countPiece(text + start, end - start);
        m_starts.append(units);
        m_byteStarts.append(start);
        m_hardLines.append(counts.hardLines);
        units += counts.units;
        start = end;
    } while (start < size);
    m_starts.append(units);
    m_byteStarts.append(size);
    m_length = units;
}

int ItemTextView::pieceOf(qsizetype offset) const
{
    const auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend() - 1, offset);
    return std::max(0, int(it - m_starts.cbegin()) - 1);
}

QString ItemTextView::pieceText(int piece) const
{
    return QString::fromUtf8(m_text.utf8().constData() + m_byteStarts[piece],
                             m_byteStarts[piece + 1] - m_byteStarts[piece]);
}

QString ItemTextView::textAt(int piece, qsizetype units) const
{
    const qsizetype pieceUnits = m_starts[piece + 1] - m_starts[piece];
    if (units <= pieceUnits)
        return pieceText(piece).left(units);
    // A code unit takes at most three bytes.
    const QByteArray &utf8 = m_text.utf8();
    qsizetype end = std::min(utf8.size(), m_byteStarts[piece + 1] + 3 * (units - pieceUnits));
    while (end < utf8.size() && isContinuationByte(utf8[end]))
        ++end;
    const qsizetype begin = m_byteStarts[piece];
    return QString::fromUtf8(utf8.constData() + begin, end - begin).left(units);
}

qreal ItemTextView::layoutWidth() const
{
    return std::max(1, viewport()->width() - 2 * m_margin);
}

void ItemTextView::resetLineCounts()
{
    m_layouts.clear(); // laid out for the old width or font
    const int count = pieceCount();
    const qreal advance = std::max<qreal>(1, QFontMetricsF(font()).horizontalAdvance(u'x'));
    const qsizetype perLine = std::max<qsizetype>(1, qsizetype(layoutWidth() / advance));
    m_lineCounts.resize(count);
    m_tree.fill(0, count + 1);
    m_totalLines = 0;
    for (int piece = 0; piece < count; ++piece) {
        const qsizetype length = m_starts[piece + 1] - m_starts[piece];
        const auto wrapped = int((length + perLine - 1) / perLine);
        m_lineCounts[piece] = std::max(m_hardLines[piece], wrapped);
        m_totalLines += m_lineCounts[piece];
        // Building the tree in place: each node passes its sum to its parent.
        const int node = piece + 1;
        m_tree[node] += m_lineCounts[piece];
        if (const int parent = node + (node & -node); parent <= count)
            m_tree[parent] += m_tree[node];
    }
    m_countedWidth = layoutWidth();
}

void ItemTextView::setLineCount(int piece, int lines)
{
    const int delta = lines - m_lineCounts[piece];
    m_lineCounts[piece] = lines;
    if (delta == 0)
        return;
    m_totalLines += delta;
    for (int node = piece + 1; node <= pieceCount(); node += node & -node)
        m_tree[node] += delta;
}

int ItemTextView::linesBefore(int piece) const
{
    int sum = 0;
    for (int node = piece; node > 0; node -= node & -node)
        sum += m_tree[node];
    return sum;
}

ItemTextView::Anchor ItemTextView::anchorForLine(int line) const
{
    const int count = pieceCount();
    if (line >= m_totalLines)
        return {count - 1, m_lineCounts[count - 1] - 1};
    int piece = 0;
    int rest = std::max(0, line);
    int step = 1;
    while (step * 2 <= count)
        step *= 2;
    for (; step > 0; step /= 2) {
        if (piece + step <= count && m_tree[piece + step] <= rest) {
            piece += step;
            rest -= m_tree[piece];
        }
    }
    return {piece, rest};
}

int ItemTextView::pageLines() const
{
    return std::max(1, (viewport()->height() - 2 * m_margin) / lineHeight());
}

void ItemTextView::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    const int maximum = std::max(0, m_totalLines - pageLines());
    int value = linesBefore(m_anchor.piece) + m_anchor.line;
    if (value > maximum || (m_pinnedToEnd && value < maximum)) {
        // Laying out changed the count: the end moved, and a view scrolled
        // to the end stays there.
        m_anchor = anchorForLine(maximum);
        value = maximum;
        viewport()->update();
    }
    const QSignalBlocker blocker(bar);
    bar->setRange(0, maximum);
    bar->setPageStep(pageLines());
    bar->setSingleStep(1);
    bar->setValue(value);
}

QTextLayout &ItemTextView::layoutOf(int piece)
{
    if (auto it = m_layouts.find(piece); it != m_layouts.end()) {
        it->second.lastUse = ++m_useCounter;
        return *it->second.layout;
    }
    if (m_layouts.size() >= kCachedLayouts) {
        auto oldest = m_layouts.begin();
        for (auto it = m_layouts.begin(); it != m_layouts.end(); ++it)
            if (it->second.lastUse < oldest->second.lastUse)
                oldest = it;
        m_layouts.erase(oldest);
    }

    const QFont textFont = font();
    auto layout = std::make_unique<QTextLayout>(layoutTextOf(pieceText(piece)), textFont);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(textFont).horizontalAdvance(u' ') * 8);
    layout->setTextOption(option);
    layout->setFormats(HighlightStyle::formats(marksOf(piece), textFont, layout->text().size()));
    layout->setCacheEnabled(true);

    const qreal width = layoutWidth();
    int lines = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, lines * lineHeight()));
        ++lines;
    }
    layout->endLayout();
    setLineCount(piece, std::max(1, lines));

    auto &cached = m_layouts[piece];
    cached.layout = std::move(layout);
    cached.lastUse = ++m_useCounter;
    return *cached.layout;
}

QList<TextRange> ItemTextView::marksOf(int piece)
{
    if (m_matcher.isEmpty())
        return {};
    QList<TextRange> marks;
    if (m_matcher.query().size() == 1) {
        // A match of one code unit never reaches into the next piece.
        scanMarks(piece, m_starts[piece], &marks);
        return marks;
    }
    // Matches do not overlap and the scan resumes after each, so where a
    // piece's matches fall depends on the pieces before it: the scan runs
    // through them once and remembers where it stood at each piece start.
    while (m_resume.size() <= piece) {
        const int last = int(m_resume.size()) - 1;
        m_resume.append(scanMarks(last, m_resume[last], nullptr));
    }
    scanMarks(piece, m_resume[piece], &marks);
    return marks;
}

qsizetype ItemTextView::scanMarks(int piece, qsizetype from, QList<TextRange> *marks) const
{
    const qsizetype start = m_starts[piece];
    const qsizetype end = m_starts[piece + 1];
    // A match spans at most four units of text per unit of the query (a
    // letter and its marks compose to one).
    const qsizetype reach = 4 * m_matcher.query().size();
    if (marks && from > start)
        marks->append({0, std::min(from, end) - start}); // a match from the piece before
    if (from < end) {
        // Only matches starting inside the piece are looked for: its text
        // and as much after it as a match can reach, from the piece start.
        const QString window = textAt(piece, std::min(m_length, end + reach) - start);
        for (const TextRange &range : m_matcher.ranges(window, from - start)) {
            if (range.start >= end - start)
                break;
            if (marks)
                marks->append(
                    {range.start, std::min(range.start + range.length, end - start) - range.start});
            from = start + range.start + range.length;
        }
    }
    return std::max(from, end);
}

QList<ItemTextView::PlacedPiece> ItemTextView::visiblePieces()
{
    // Laying out a piece makes its line count exact, which may move the
    // end of the scroll range and with it a view pinned there: place again
    // until the top stays put.
    const int bottom = viewport()->height();
    QList<PlacedPiece> placed;
    for (int pass = 0; pass < 4; ++pass) {
        placed.clear();
        int piece = m_anchor.piece;
        layoutOf(piece);
        m_anchor.line = std::min(m_anchor.line, m_lineCounts[piece] - 1);
        const Anchor before = m_anchor;
        int top = m_margin - m_anchor.line * lineHeight();
        while (true) {
            layoutOf(piece);
            placed.append({piece, top});
            top += m_lineCounts[piece] * lineHeight();
            if (top >= bottom || ++piece >= pieceCount())
                break;
        }
        updateScrollRange();
        if (m_anchor.piece == before.piece && m_anchor.line == before.line)
            break;
    }
    return placed;
}

template <typename Visit> void ItemTextView::forEachVisiblePiece(Visit visit)
{
    for (const PlacedPiece &placed : visiblePieces())
        if (!visit(placed.piece, layoutOf(placed.piece), placed.top))
            break;
}

void ItemTextView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const TextRange selected = selection();
    QTextCharFormat selectionFormat;
    selectionFormat.setBackground(palette().brush(QPalette::Highlight));
    selectionFormat.setForeground(palette().brush(QPalette::HighlightedText));
    const QRectF clip(event->rect());
    forEachVisiblePiece([&](int piece, QTextLayout &layout, int top) {
        QList<QTextLayout::FormatRange> selections;
        const qsizetype start = m_starts[piece];
        const qsizetype from = std::max(selected.start, start) - start;
        const qsizetype to =
            std::min(selected.start + selected.length, start + layout.text().size()) - start;
        if (to > from)
            selections.append({int(from), int(to - from), selectionFormat});
        layout.draw(&painter, QPointF(m_margin, top), selections, clip);
        return true;
    });
}

void ItemTextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (layoutWidth() != m_countedWidth)
        resetLineCounts();
    updateScrollRange();
}

void ItemTextView::scrollContentsBy(int, int)
{
    const QScrollBar *bar = verticalScrollBar();
    m_anchor = anchorForLine(bar->value());
    m_pinnedToEnd = bar->value() > 0 && bar->value() == bar->maximum();
    viewport()->update();
}

void ItemTextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_lineHeight = std::max(1, int(std::ceil(QFontMetricsF(font()).lineSpacing())));
        resetLineCounts();
        updateScrollRange();
    }
    viewport()->update();
}

TextRange ItemTextView::selection() const
{
    const qsizetype start = std::min(m_selectionAnchor, m_selectionPosition);
    return {start, std::max(m_selectionAnchor, m_selectionPosition) - start};
}

QString ItemTextView::selectedText() const
{
    const TextRange range = selection();
    if (range.length == 0)
        return {};
    // The pieces holding the selection, converted, then cut in UTF-16 as
    // the offsets count.
    const int first = pieceOf(range.start);
    const int last = pieceOf(range.start + range.length - 1);
    const qsizetype begin = m_byteStarts[first];
    return QString::fromUtf8(m_text.utf8().constData() + begin, m_byteStarts[last + 1] - begin)
        .mid(range.start - m_starts[first], range.length);
}

void ItemTextView::setSelection(qsizetype anchor, qsizetype position)
{
    m_selectionAnchor = std::clamp<qsizetype>(anchor, 0, m_length);
    m_selectionPosition = std::clamp<qsizetype>(position, 0, m_length);
    viewport()->update();
}

void ItemTextView::selectAll()
{
    setSelection(0, m_length);
    publishSelection();
}

void ItemTextView::copy() const
{
    if (selection().length > 0)
        QGuiApplication::clipboard()->setText(selectedText());
}

void ItemTextView::publishSelection() const
{
    // X11 users paste the selected text with the middle button.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && selection().length > 0)
        clipboard->setText(selectedText(), QClipboard::Selection);
}

qsizetype ItemTextView::offsetAt(const QPoint &viewportPos)
{
    qsizetype offset = -1;
    int lastPiece = 0;
    forEachVisiblePiece([&](int piece, QTextLayout &layout, int top) {
        lastPiece = piece;
        const int lines = m_lineCounts[piece];
        if (viewportPos.y() >= top + lines * lineHeight())
            return true;
        const int line = std::clamp((viewportPos.y() - top) / lineHeight(), 0, lines - 1);
        const QTextLine textLine = layout.lineAt(line);
        offset = m_starts[piece] +
                 (textLine.isValid() ? textLine.xToCursor(viewportPos.x() - m_margin) : 0);
        return false;
    });
    return offset >= 0 ? offset : m_starts[lastPiece + 1];
}

QList<TextRange> ItemTextView::visibleMarks()
{
    QList<int> pieces;
    forEachVisiblePiece([&](int piece, QTextLayout &, int) {
        pieces.append(piece);
        return true;
    });
    QList<TextRange> marks;
    for (const int piece : std::as_const(pieces))
        for (const TextRange &mark : marksOf(piece))
            marks.append({m_starts[piece] + mark.start, mark.length});
    return marks;
}

void ItemTextView::selectWordAt(qsizetype offset)
{
    // A word may run across pieces (a long line without spaces is cut
    // anywhere): the walk converts each piece it enters.
    int piece = -1;
    QString text;
    const auto at = [&](qsizetype unit) {
        if (piece < 0 || unit < m_starts[piece] || unit >= m_starts[piece + 1]) {
            piece = pieceOf(unit);
            text = pieceText(piece);
        }
        return text[unit - m_starts[piece]];
    };
    qsizetype start = std::clamp<qsizetype>(offset, 0, m_length);
    qsizetype end = start;
    while (start > 0 && isWordCharacter(at(start - 1)))
        --start;
    while (end < m_length && isWordCharacter(at(end)))
        ++end;
    if (start == end)
        end = std::min(m_length, end + 1);
    setSelection(start, end);
}

void ItemTextView::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *bar = verticalScrollBar();
    if (event == QKeySequence::Copy)
        copy();
    else if (event == QKeySequence::SelectAll)
        selectAll();
    else if (event == QKeySequence::MoveToStartOfDocument || event->key() == Qt::Key_Home)
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
    else if (event == QKeySequence::MoveToEndOfDocument || event->key() == Qt::Key_End)
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void ItemTextView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype offset = offsetAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier)
        setSelection(m_selectionAnchor, offset);
    else
        setSelection(offset, offset);
    m_selecting = true;
}

void ItemTextView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting)
        return;
    // Dragging past an edge scrolls a line a move.
    QPoint pos = event->position().toPoint();
    QScrollBar *bar = verticalScrollBar();
    if (pos.y() < 0)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (pos.y() >= viewport()->height())
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    pos.setY(std::clamp(pos.y(), 0, viewport()->height() - 1));
    setSelection(m_selectionAnchor, offsetAt(pos));
}

void ItemTextView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting)
        return;
    m_selecting = false;
    publishSelection();
}

void ItemTextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    selectWordAt(offsetAt(event->position().toPoint()));
    publishSelection();
}

void ItemTextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("Copy"), this, &ItemTextView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(selection().length > 0);
    menu.addSeparator();
    QAction *selectAllAction = menu.addAction(tr("Select All"), this, &ItemTextView::selectAll);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    selectAllAction->setEnabled(!m_text.isEmpty());
    menu.exec(event->globalPos());
}
