// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ItemText.h"
#include "TextMatcher.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QString>
#include <unordered_map>

#include <memory>

class QTextLayout;

// A read-only view of one item's whole text, however long: wrapped at the
// width, search matches marked, selectable with the mouse (and Ctrl+A) and
// copied with Ctrl+C or the context menu.
//
// The text stays as the item holds it, in UTF-8, cut into pieces of a few
// thousand bytes, ending at a line break where one is near. Only the pieces
// on screen are converted and laid out; the others count an estimate of
// their lines until they are. The scroll bar counts lines, so a text of
// fifty megabytes opens and scrolls as fast as a short one, and its memory
// is the item's own text (shared) plus a few numbers a piece. Offsets into
// the text count UTF-16 code units, as QString does.
class ItemTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ItemTextView(QWidget *parent = nullptr);
    ~ItemTextView() override;

    // Shows `text` from its start, marking the matches of `query` (a raw
    // search text). Clears the selection.
    void setText(const ItemText &text, const QString &query);
    [[nodiscard]] const ItemText &text() const { return m_text; }
    // The text's length in UTF-16 code units.
    [[nodiscard]] qsizetype length() const { return m_length; }
    // The blank band around the text, in pixels.
    void setMargin(int margin);

    // The selection, as a range of the text (empty when nothing is).
    [[nodiscard]] TextRange selection() const;
    [[nodiscard]] QString selectedText() const;
    void setSelection(qsizetype anchor, qsizetype position);
    void selectAll();
    // Puts the selection on the clipboard; nothing happens without one.
    void copy() const;

    // The text offset under a point of the viewport.
    [[nodiscard]] qsizetype offsetAt(const QPoint &viewportPos);
    // The marked ranges on screen now, as offsets into the text.
    [[nodiscard]] QList<TextRange> visibleMarks();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct CachedLayout {
        std::unique_ptr<QTextLayout> layout;
        quint64 lastUse = 0;
    };
    // Where the top of the viewport is: a line of a piece.
    struct Anchor {
        int piece = 0;
        int line = 0;
    };

    void cutIntoPieces();
    [[nodiscard]] int pieceCount() const { return int(m_starts.size()) - 1; }
    [[nodiscard]] int pieceOf(qsizetype offset) const;
    // The text from the start of `piece` on: `units` code units of it, or
    // up to the end of the text.
    [[nodiscard]] QString textAt(int piece, qsizetype units) const;
    [[nodiscard]] QString pieceText(int piece) const;
    [[nodiscard]] int lineHeight() const { return m_lineHeight; }
    [[nodiscard]] qreal layoutWidth() const;

    // Line counts: exact for pieces laid out at the current width, an
    // estimate for the others (laying out a piece corrects its count),
    // summed in a Fenwick tree.
    void resetLineCounts();
    void setLineCount(int piece, int lines);
    [[nodiscard]] int linesBefore(int piece) const;
    [[nodiscard]] Anchor anchorForLine(int line) const;
    [[nodiscard]] int pageLines() const;
    void updateScrollRange();

    QTextLayout &layoutOf(int piece);
    [[nodiscard]] QList<TextRange> marksOf(int piece);
    // Finds the matches starting in `piece` at or after `from`; returns
    // where the scan stands at the next piece's start.
    qsizetype scanMarks(int piece, qsizetype from, QList<TextRange> *marks) const;

    // The pieces on screen, laid out, with the viewport y of their first
    // lines.
    struct PlacedPiece {
        int piece = 0;
        int top = 0;
    };
    [[nodiscard]] QList<PlacedPiece> visiblePieces();
    // Calls `visit(piece, layout, top)` for the pieces on screen while it
    // returns true.
    template <typename Visit> void forEachVisiblePiece(Visit visit);
    void selectWordAt(qsizetype offset);
    void publishSelection() const;

    ItemText m_text;
    qsizetype m_length = 0; // in UTF-16 code units
    TextMatcher m_matcher;
    int m_margin = 0;
    int m_lineHeight = 1;

    QList<qsizetype> m_starts;     // piece starts, and the text's length at the end
    QList<qsizetype> m_byteStarts; // the same in UTF-8 bytes
    QList<int> m_hardLines;        // lines each piece has before wrapping
    QList<int> m_lineCounts;       // per piece, exact or estimated
    QList<int> m_tree;             // Fenwick tree over m_lineCounts, 1-based
    int m_totalLines = 0;
    qreal m_countedWidth = -1; // the width the counts are for
    QList<qsizetype> m_resume; // where the match scan stands at each piece start

    std::unordered_map<int, CachedLayout> m_layouts;
    quint64 m_useCounter = 0;
    Anchor m_anchor;
    bool m_pinnedToEnd = false; // scrolled to the end by the user

    qsizetype m_selectionAnchor = 0;
    qsizetype m_selectionPosition = 0;
    bool m_selecting = false;
};
