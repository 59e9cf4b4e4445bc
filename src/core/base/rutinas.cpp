#include "core/base/rutinas.h"

#include <cmath>
#include <cstdio>
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

std::size_t SecuenciaUtf8(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n;
    unsigned char minimo = 0x80, maximo = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            minimo = 0xA0;
        if (c == 0xED)
            maximo = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            minimo = 0x90;
        if (c == 0xF4)
            maximo = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size() || byte(i + 1) < minimo || byte(i + 1) > maximo)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return n;
}

std::string TextoVisible(std::string_view texto) {
    std::string out;
    out.reserve(texto.size());
    char buf[8];
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const auto c = static_cast<unsigned char>(texto[i]);
        if (c >= 0x80) {
            const std::size_t n = SecuenciaUtf8(texto, i);
            if (n == 2 && c == 0xC2 && static_cast<unsigned char>(texto[i + 1]) < 0xA0) {
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(texto[i + 1]));
                out += buf;
            } else if (n == 0) {
                std::snprintf(buf, sizeof buf, "\\x%02x", c);
                out += buf;
            } else {
                out.append(texto.substr(i, n));
            }
            i += n > 0 ? n - 1 : 0;
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out;
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
