#include "core/bulletins/encriptar.h"

#include <array>
#include <cstdint>

namespace veliora {

namespace {

// Code points of the Windows-1252 codes 0x80 to 0x9F. The five codes the code page leaves
// undefined keep their C1 control code point, so that every byte value round-trips.
constexpr std::array<char32_t, 32> kAltos = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t PuntoDeCodigo(unsigned char codigo) {
    return (codigo >= 0x80 && codigo <= 0x9F) ? kAltos[codigo - 0x80] : char32_t(codigo);
}

// -1 when Windows-1252 has no code for the character.
int CodigoDe(char32_t punto) {
    if (punto < 0x80 || (punto >= 0xA0 && punto <= 0xFF))
        return int(punto);
    for (std::size_t i = 0; i < kAltos.size(); ++i)
        if (kAltos[i] == punto)
            return int(0x80 + i);
    return -1;
}

void AnadirUtf8(std::string& destino, char32_t punto) {
    if (punto < 0x80) {
        destino += char(punto);
    } else if (punto < 0x800) {
        destino += char(0xC0 | (punto >> 6));
        destino += char(0x80 | (punto & 0x3F));
    } else {  // every code point of the code page fits in three bytes
        destino += char(0xE0 | (punto >> 12));
        destino += char(0x80 | ((punto >> 6) & 0x3F));
        destino += char(0x80 | (punto & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; false on a malformed one. `longitud` is how many bytes
// the character (or the malformed start) takes.
bool LeerUtf8(std::string_view texto, std::size_t pos, char32_t& punto, std::size_t& longitud) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(texto[i]); };
    unsigned char b0 = byte(pos);
    longitud = 1;
    if (b0 < 0x80) {
        punto = b0;
        return true;
    }
    std::size_t resto;
    char32_t minimo;
    if ((b0 & 0xE0) == 0xC0) {
        resto = 1, punto = b0 & 0x1F, minimo = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        resto = 2, punto = b0 & 0x0F, minimo = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        resto = 3, punto = b0 & 0x07, minimo = 0x10000;
    } else {
        return false;
    }
    if (pos + resto >= texto.size())
        return false;
    for (std::size_t i = 1; i <= resto; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return false;
        punto = (punto << 6) | (byte(pos + i) & 0x3F);
    }
    longitud = resto + 1;
    return punto >= minimo && punto <= 0x10FFFF && !(punto >= 0xD800 && punto <= 0xDFFF);
}

// Reverses the order of the eight bits of a code: 1 <-> 128, 2 <-> 64, 4 <-> 32, 8 <-> 16.
constexpr unsigned char InvertirBits(unsigned char x) {
    x = static_cast<unsigned char>((x & 0xF0) >> 4 | (x & 0x0F) << 4);
    x = static_cast<unsigned char>((x & 0xCC) >> 2 | (x & 0x33) << 2);
    x = static_cast<unsigned char>((x & 0xAA) >> 1 | (x & 0x55) << 1);
    return x;
}

// The key is text like the scrambled texts; a key the code page cannot hold is used as bytes.
std::string ClaveEnCodigos(std::string_view clave) {
    auto codigos = Utf8ACp1252(clave);
    return codigos ? *codigos : std::string(clave);
}

}  // namespace

std::optional<std::string> Utf8ACp1252(std::string_view utf8, std::string* caracter) {
    std::string resultado;
    resultado.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t punto = 0;
        std::size_t longitud = 1;
        if (!LeerUtf8(utf8, pos, punto, longitud)) {
            if (caracter)
                caracter->clear();
            return std::nullopt;
        }
        int codigo = CodigoDe(punto);
        if (codigo < 0) {
            if (caracter)
                *caracter = utf8.substr(pos, longitud);
            return std::nullopt;
        }
        resultado += static_cast<char>(codigo);
        pos += longitud;
    }
    return resultado;
}

std::string Cp1252AUtf8(std::string_view bytes) {
    std::string resultado;
    resultado.reserve(bytes.size() * 2);
    for (char c : bytes) AnadirUtf8(resultado, PuntoDeCodigo(static_cast<unsigned char>(c)));
    return resultado;
}

std::string EncriptarBytes(std::string_view bytes, std::string_view clave) {
    if (clave.empty())
        return {};
    std::string resultado(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto codigo = InvertirBits(static_cast<unsigned char>(bytes[i]));
        resultado[i] =
            static_cast<char>(codigo ^ static_cast<unsigned char>(clave[i % clave.size()]));
    }
    return resultado;
}

std::string DesencriptarBytes(std::string_view bytes, std::string_view clave) {
    if (clave.empty())
        return {};
    std::string resultado(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto codigo =
            static_cast<unsigned char>(static_cast<unsigned char>(bytes[i]) ^
                                       static_cast<unsigned char>(clave[i % clave.size()]));
        resultado[i] = static_cast<char>(InvertirBits(codigo));
    }
    return resultado;
}

std::optional<std::string> Encriptar(std::string_view textoUtf8, std::string_view clave,
                                     std::string* caracter) {
    if (clave.empty())
        return std::string();
    auto codigos = Utf8ACp1252(textoUtf8, caracter);
    if (!codigos)
        return std::nullopt;
    return EncriptarBytes(*codigos, ClaveEnCodigos(clave));
}

std::string Desencriptar(std::string_view bytes, std::string_view clave) {
    if (clave.empty())
        return {};
    return Cp1252AUtf8(DesencriptarBytes(bytes, ClaveEnCodigos(clave)));
}

}  // namespace veliora
