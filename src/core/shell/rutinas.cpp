#include "core/shell/rutinas.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace veliora {

std::string Entrecomillar(std::string_view texto) {
    std::string resultado;
    resultado.reserve(texto.size() + 2);
    resultado += '\'';
    resultado += texto;
    resultado += '\'';
    return resultado;
}

namespace {

std::uint64_t SemillaInicial() {
    // A fixed seed makes a whole run repeatable (bug reports, tests of the windows).
    if (const char* texto = std::getenv("VELIORA_SEED"); texto && *texto) {
        char* fin = nullptr;
        std::uint64_t semilla = std::strtoull(texto, &fin, 10);
        if (fin && *fin == '\0')
            return semilla;
    }
    std::random_device dispositivo;
    return (std::uint64_t(dispositivo()) << 32) ^ dispositivo();
}

}  // namespace

std::mt19937_64& FuenteAleatoria() {
    static std::mt19937_64 fuente(SemillaInicial());
    return fuente;
}

void SembrarAleatorio(std::uint64_t semilla) {
    FuenteAleatoria().seed(semilla);
}

std::int32_t Aleatorio(std::int32_t Min, std::int32_t Max) {
    // 53 random bits give a real in [0, 1) that can never round up to 1.
    double r = double(FuenteAleatoria()() >> 11) * 0x1.0p-53;
    std::int64_t amplitud = std::int64_t(Max) - std::int64_t(Min) + 1;
    std::int64_t valor = std::int64_t(std::floor(r * double(amplitud))) + Min;
    // Only a reversed range (Max below Min - 1) can step outside the 32-bit range.
    constexpr std::int64_t menor = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t mayor = std::numeric_limits<std::int32_t>::max();
    if (valor < menor)
        valor = menor;
    if (valor > mayor)
        valor = mayor;
    return std::int32_t(valor);
}

}  // namespace veliora
