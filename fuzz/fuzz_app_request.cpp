// libFuzzer target for the request a later launch sends over the instance
// socket. Whatever arrives: no crash, and a request is accepted only when
// the line, trimmed, is exactly one of the request names; what is accepted
// encodes to one line that decodes to the same request.
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
    check(QString::fromUtf8(line).trimmed() == QString::fromUtf8(encoded).trimmed(),
          "accepted a line that is not a request name");
    check(AppRequest::decode(encoded) == request, "round trip changed the request");
    return 0;
}
