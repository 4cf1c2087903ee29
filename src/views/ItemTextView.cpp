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

namespace {

// Pieces are this long at most, and at least half of it when they end at a
// line break; a piece inside one long line ends after a space if there is
// one near the end.
constexpr qsizetype kPieceLength = 4096;
constexpr qsizetype kSpaceSearch = 256;
// Laid-out pieces kept for repainting and hit tests.
constexpr qsizetype kCachedLayouts = 24;

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Lines a piece has before wrapping: its breaks start new lines, except one
// that ends the piece (the next piece starts on a new line anyway).
int hardLinesOf(QStringView piece)
{
    int lines = 1;
    const qsizetype size = piece.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = piece[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 == size || piece[i + 1] != u'\n')))
            ++lines;
    }
    if (size > 0 && isLineBreak(piece[size - 1]))
        --lines;
    return lines;
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
    setText(QString(), QString());
}

ItemTextView::~ItemTextView() = default;

void ItemTextView::setText(const QString &text, const QString &query)
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
    m_hardLines.clear();
    const QStringView text(m_text);
    const qsizetype size = text.size();
    qsizetype start = 0;
    do {
        qsizetype end = size;
        if (size - start > kPieceLength) {
            end = start + kPieceLength;
            qsizetype cut = -1;
            for (qsizetype i = end - 1; i >= start + kPieceLength / 2; --i) {
                if (isLineBreak(text[i])) {
                    cut = i + 1;
                    break;
                }
            }
            if (cut > 0 && text[cut - 1] == u'\r' && cut < size && text[cut] == u'\n')
                ++cut; // a CR LF pair stays together
            for (qsizetype i = end - 1; cut < 0 && i >= end - kSpaceSearch; --i) {
                if (text[i] == u' ' || text[i] == u'\t')
                    cut = i + 1;
            }
            if (cut < 0)
                cut = text[end - 1].isHighSurrogate() ? end - 1 : end;
            end = cut;
        }
        m_starts.append(start);
        m_hardLines.append(hardLinesOf(text.mid(start, end - start)));
        start = end;
    } while (start < size);
    m_starts.append(size);
}

int ItemTextView::pieceOf(qsizetype offset) const
{
    const auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend() - 1, offset);
    return std::max(0, int(it - m_starts.cbegin()) - 1);
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

    const QStringView pieceText =
        QStringView(m_text).mid(m_starts[piece], m_starts[piece + 1] - m_starts[piece]);
    const QFont textFont = font();
    auto layout = std::make_unique<QTextLayout>(layoutTextOf(pieceText), textFont);
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
    // Matches do not overlap and the scan resumes after each, so where a
    // piece's matches fall depends on the pieces before it: the scan runs
    // through them once and remembers where it stood at each piece start.
    while (m_resume.size() <= piece)
        m_resume.append(scanMarks(int(m_resume.size()) - 1, nullptr));
    QList<TextRange> marks;
    scanMarks(piece, &marks);
    return marks;
}

qsizetype ItemTextView::scanMarks(int piece, QList<TextRange> *marks) const
{
    const qsizetype start = m_starts[piece];
    const qsizetype end = m_starts[piece + 1];
    const qsizetype length = m_matcher.query().size();
    qsizetype from = m_resume[piece];
    if (marks && from > start)
        marks->append({0, std::min(from, end) - start}); // a match from the piece before
    // Only matches starting inside the piece are looked for.
    const QStringView window = QStringView(m_text).left(std::min(m_text.size(), end + length - 1));
    if (from < end) {
        const QList<TextRange> found = m_matcher.ranges(window, from);
        for (const TextRange &range : found)
            if (marks)
                marks->append(
                    {range.start - start, std::min(range.start + length, end) - range.start});
        if (!found.isEmpty())
            from = found.constLast().start + length;
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
    return m_text.mid(range.start, range.length);
}

void ItemTextView::setSelection(qsizetype anchor, qsizetype position)
{
    m_selectionAnchor = std::clamp<qsizetype>(anchor, 0, m_text.size());
    m_selectionPosition = std::clamp<qsizetype>(position, 0, m_text.size());
    viewport()->update();
}

void ItemTextView::selectAll()
{
    setSelection(0, m_text.size());
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

TextRange ItemTextView::visibleRange()
{
    qsizetype first = -1;
    qsizetype last = 0;
    const int height = viewport()->height();
    forEachVisiblePiece([&](int piece, QTextLayout &layout, int top) {
        for (int line = 0; line < layout.lineCount(); ++line) {
            const int y = top + line * lineHeight();
            if (y + lineHeight() <= 0 || y >= height)
                continue;
            const QTextLine textLine = layout.lineAt(line);
            if (first < 0)
                first = m_starts[piece] + textLine.textStart();
            last = m_starts[piece] + textLine.textStart() + textLine.textLength();
        }
        return true;
    });
    return {std::max<qsizetype>(first, 0), last - std::max<qsizetype>(first, 0)};
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

qsizetype ItemTextView::laidOutLength() const
{
    qsizetype length = 0;
    for (const auto &[piece, cached] : m_layouts)
        length += cached.layout->text().size();
    return length;
}

void ItemTextView::selectWordAt(qsizetype offset)
{
    qsizetype start = std::clamp<qsizetype>(offset, 0, m_text.size());
    qsizetype end = start;
    while (start > 0 && isWordCharacter(m_text[start - 1]))
        --start;
    while (end < m_text.size() && isWordCharacter(m_text[end]))
        ++end;
    if (start == end)
        end = std::min(m_text.size(), end + 1);
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
