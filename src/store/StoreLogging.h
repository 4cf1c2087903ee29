// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// Diagnostics of the store layer (not the lines printed by design).
Q_DECLARE_LOGGING_CATEGORY(lcStore)
