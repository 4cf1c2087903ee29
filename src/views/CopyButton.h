// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractButton>
#include <QColor>

// The "Copy" button of rows and of the item sheet: the document symbol and
// a bold label on the accent colour, in a rounded rectangle. The row paints
// the same look itself (it has no widget per row) through paintLook().
class CopyButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CopyButton(QWidget *parent = nullptr);

    void setColors(const QColor &accent, const QColor &foreground);

    [[nodiscard]] QSize sizeHint() const override;

    // The size of the padded label; `minimumHeight` is 36 in rows, 0 elsewhere.
    [[nodiscard]] static QSizeF lookSize(qreal minimumHeight = 0);
    static void paintLook(QPainter *painter, const QRectF &rect, const QColor &accent,
                          const QColor &foreground, bool pressed);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    bool m_keyboardFocus = false;
    QColor m_accent;
    QColor m_foreground;
};
