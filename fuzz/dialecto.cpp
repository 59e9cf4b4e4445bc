// The program's SQL dialect translated to SQLite's, on any text: no crash, and a text
// without dates, counts or quoted literals ('#', '(' or '\'') comes back as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/engine/database.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string_view sql(reinterpret_cast<const char*>(datos), n);
    const std::string traducida = veliora::engine::TranslateDialect(sql);
    if (sql.find_first_of("#('") == std::string_view::npos && traducida != sql)
        std::abort();
    return 0;
}
