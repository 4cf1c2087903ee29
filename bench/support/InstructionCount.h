// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Marks for counting instructions under callgrind, where wall time on a
// busy machine says little. Outside valgrind (or without its headers) they
// cost a few instructions and do nothing.
//
//   valgrind --tool=callgrind --separate-threads=yes ./bench_capture ...
//
// `dump("setup")` before a loop and `dump(name)` after it leave a profile
// holding just that loop, on every thread (a dump starts all threads' counts
// afresh; zeroing would reset only the calling thread's). `toggle()` around
// a piece, with --collect-atstart=no, counts only that piece on the thread
// that runs it.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define QUILLMARK_HAVE_CALLGRIND 1
#endif

namespace InstructionCount {

inline void dump([[maybe_unused]] const char *name)
{
#ifdef QUILLMARK_HAVE_CALLGRIND
    CALLGRIND_DUMP_STATS_AT(name);
#endif
}

inline void toggle()
{
#ifdef QUILLMARK_HAVE_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
#endif
}

} // namespace InstructionCount
