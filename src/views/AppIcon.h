// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>

// Quillmark's own icon, the one the desktop shows for it (packaging/
// quillmark.svg, compiled into the binary), for the title bars and the
// taskbar of every window. The tray keeps its accent-coloured symbol.
namespace AppIcon {

// Each size is drawn from the SVG when first asked for; needs a
// QGuiApplication.
[[nodiscard]] QIcon icon();

} // namespace AppIcon
