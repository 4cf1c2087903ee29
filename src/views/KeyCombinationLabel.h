// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QPainterPath>

// A key combination such as "⌥ ⇧ V", drawn with every key at one size.
// Fonts rarely hold the key symbols, so they come from whatever fallback
// font has them, at that font's size; here each symbol is scaled to the
// height of the capital letters instead. The label's text stays as given.
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
