// A hostile auxiliary database, as a teacher's diskette could bring one: its check for the
// import, then its bulletins read and written out as the export does. No crash, whatever
// the file holds.
#include "core/bulletins/boletines.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/bulletins/exportar.h"
#include "core/session/apertura.h"

using namespace veliora;

namespace {

std::filesystem::path Archivo() {
    static const std::filesystem::path archivo = [] {
        std::string plantilla =
            (std::filesystem::temp_directory_path() / "veliora-fuzz-XXXXXX").string();
        if (!mkdtemp(plantilla.data()))
            std::abort();
        return std::filesystem::path(plantilla) / "disco.db_";
    }();
    return archivo;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    {
        std::ofstream f(Archivo(), std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(datos), std::streamsize(n));
    }
    if (!EsBaseAuxiliar(Archivo()))
        return 0;
    engine::Error error;
    auto aux = engine::Database::Open(Archivo().string(), engine::Database::Kind::User, error);
    if (!aux)
        return 0;
    for (const std::string& nombre : NombresBoletines(*aux, error)) {
        const auto lineas = LeerBoletin(*aux, nombre, error);
        for (auto d : {Disposicion::Continuas, Disposicion::Separadas}) {
            (void)TextoBoletin(lineas, d);
            (void)HtmlBoletin(nombre, lineas, d);
        }
        for (const auto& l : lineas)
            if (l.NumPregunta < 1 || l.NumPregunta > kMaxNumPregunta)
                std::abort();
    }
    return 0;
}
