#pragma once

#include <QLoggingCategory>

// Diagnostics of the store layer (not the lines printed by design).
Q_DECLARE_LOGGING_CATEGORY(lcStore)
