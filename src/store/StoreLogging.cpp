#include "StoreLogging.h"

Q_LOGGING_CATEGORY(lcStore, "quillmark.store")
