// The reading of the Access reader's output (the lines veliora-mdb writes) on any bytes, as
// a damaged file could make the reader write them: no crash, and what is reported adds up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/access/conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    veliora::access::Conversion c;
    veliora::engine::Error error;
    const bool hecha = veliora::access::ConvertirSalidaLector(
        std::string_view(reinterpret_cast<const char*>(datos), n), ":memory:", c, error);
    if (hecha == error.failed())
        std::abort();
    for (const auto& t : c.tablas)
        if (t.filas < 0 || (!t.convertida && t.filas != 0))
            std::abort();
    return 0;
}
