// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StoreLogging.h"

Q_LOGGING_CATEGORY(lcStore, "quillmark.store")
