// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

// Where a window opens: at the size it asks for where the screen has room,
// otherwise as large as the screen's available area allows (never with its
// title bar or bottom out of reach), centred on that area.
namespace WindowPlacement {

// Room for the title bar and borders that a window manager adds around a
// window before it is shown (and so before its real frame is known).
inline constexpr QMargins kFrameAllowance{4, 32, 4, 4};

// The client rectangle for a window that wants `size` (and cannot be made
// smaller than `minimum`) on a screen whose available area is `available`.
// The returned rectangle plus `frame` lies within `available`; the window's
// minimum must then be lowered to the returned size where it is larger.
[[nodiscard]] QRect centredGeometry(QSize size, QRect available, QMargins frame = kFrameAllowance);

// Applies centredGeometry() to a top-level window on its screen, lowering
// its minimum size where the screen is smaller than that minimum.
void placeCentred(QWidget *window, QSize size);

} // namespace WindowPlacement
