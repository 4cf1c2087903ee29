// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the request a later launch sends over the instance
// socket. Whatever arrives: no crash, and a request is accepted only when
// the line, trimmed, is one of the request names, alone or followed by one
// word (the activation token); what is accepted encodes to one line that
// decodes to the same request.
#include "AppRequest.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<AppRequest> request = AppRequest::decode(line);
    if (!request)
        return 0;
    const QByteArray encoded = request->encode();
    check(encoded.endsWith('\n') && encoded.count('\n') == 1, "not one line");
    const QByteArray trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(' ');
    check((space < 0 ? trimmed : trimmed.left(space)) ==
              AppRequest::actionName(request->action).toUtf8(),
          "accepted a line that does not start with a request name");
    check(space < 0 || trimmed.indexOf(' ', space + 1) < 0, "accepted more than one word");
    check(AppRequest::decode(encoded) == request, "round trip changed the request");
    return 0;
}
