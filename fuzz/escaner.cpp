// The SQL scanner on any text: its stretches follow one another without gap or overlap to
// the end of the text, and the readers built on it (the conditions a question's quality
// check drops) keep to the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/engine/sql_scanner.h"
#include "core/sql/piezas_sql.h"

using veliora::engine::SqlScanner;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string_view sql(reinterpret_cast<const char*>(datos), n);
    std::size_t siguiente = 0;
    for (SqlScanner s(sql); !s.Done(); s.Next()) {
        const auto& tramo = s.Stretch();
        if (tramo.begin != siguiente || tramo.end <= tramo.begin || tramo.end > sql.size() ||
            s.Depth() < 0)
            std::abort();
        if (!tramo.code())
            (void)veliora::engine::StretchContent(sql, tramo);
        siguiente = tramo.end;
    }
    if (siguiente != sql.size())
        std::abort();
    for (const std::string& mutante : veliora::SinCadaCondicion(sql)) (void)mutante;
    (void)veliora::SinClausula(sql, false);
    return 0;
}
