// The settings reader on any settings file: every numeric setting comes back within its
// bounds, whatever the file holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/shell/directorio.h"
#include "core/shell/registro.h"

using namespace veliora;

namespace {

const std::filesystem::path& Carpeta() {
    static const std::filesystem::path carpeta = [] {
        std::string plantilla =
            (std::filesystem::temp_directory_path() / "veliora-fuzz-XXXXXX").string();
        if (!mkdtemp(plantilla.data()))
            std::abort();
        FijarDirectorioAplicacion(plantilla);
        FijarReceptorAvisos([](const std::string&) {});
        return std::filesystem::path(plantilla);
    }();
    return carpeta;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    {
        std::ofstream ini(Carpeta() / "veliora.ini", std::ios::binary | std::ios::trunc);
        ini.write(reinterpret_cast<const char*>(datos), std::streamsize(n));
    }
    for (const AjusteNumerico& a : {kAjusteIdioma, kAjusteEvitarTriviales,
                                    kAjustePresupuestoCalidad, kAjustePresupuestoContraejemplo}) {
        const long long v = LeerAjusteNumerico(a);
        if (v < a.minimo || v > a.maximo)
            std::abort();
    }
    std::string texto;
    GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, "TAMANO_frmVLRQuerys", texto);
    return 0;
}
