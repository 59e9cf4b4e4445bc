// veliora-cli without QtGui: the commands that draw run in veliora-cli-graficos, which is
// given the same arguments and takes this process's place (see cli/comun.h).
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/comun.h"
#include "core/shell/directorio.h"

namespace veliora::cli {

namespace {

constexpr const char* kAyudante = "veliora-cli-graficos";

int ConGraficos() {
    const std::filesystem::path ayudante = RutaAyudante(kAyudante);
    if (ayudante.empty()) {
        std::fprintf(stderr, "veliora-cli: %s is missing: drawing needs it\n", kAyudante);
        return kExitError;
    }
    char** argv = ArgumentosOriginales();
    std::fflush(stdout);
    std::fflush(stderr);
    ::execv(ayudante.c_str(), argv);
    std::fprintf(stderr, "veliora-cli: cannot run %s: %s\n", ayudante.c_str(),
                 std::strerror(errno));
    return kExitError;
}

}  // namespace

int ComandoDiagrama(const std::vector<std::string>&) {
    return ConGraficos();
}

int ExportarBoletinPdf(engine::Database&, const std::string&, Disposicion,
                       const std::filesystem::path&) {
    return ConGraficos();
}

}  // namespace veliora::cli
