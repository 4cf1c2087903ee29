// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QPainterPath>

// A key combination such as "⌥ ⇧ V", drawn with every key at one size and
// weight. Fonts rarely hold the key symbols, and fallback fonts draw them at
// sizes and weights of their own: Option and Shift are drawn here as strokes
// as thick as the font's stems and as tall as its capitals; any other symbol
// is scaled to the capitals' height. The label's text stays as given.
class KeyCombinationLabel final : public QLabel {
    Q_OBJECT
public:
    explicit KeyCombinationLabel(const QString &keys, QWidget *parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The keys' outlines side by side, baseline at y = 0, starting at x = 0.
    [[nodiscard]] QList<QPainterPath> keyOutlines() const;
};
