// The scrambling of bulletin texts on any input: whatever Encriptar accepts comes back
// whole from Desencriptar, and the byte forms are each other's inverse, for any key.
#include "core/bulletins/encriptar.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace veliora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string_view todo(reinterpret_cast<const char*>(datos), n);
    // The first byte says how long the key is; the rest is the text.
    const std::size_t largo = n == 0 ? 0 : std::min<std::size_t>(datos[0] % 16, n - 1);
    const std::string_view clave = n == 0 ? todo : todo.substr(1, largo);
    const std::string_view texto = n == 0 ? todo : todo.substr(1 + largo);
    if (DesencriptarBytes(EncriptarBytes(texto, clave), clave) != texto && !clave.empty())
        std::abort();
    // A refusal names the character, or the text is not UTF-8 (which the conversion refuses
    // too).
    std::string caracter;
    if (auto cifrado = Encriptar(texto, kClaveRespuestas, &caracter)) {
        if (Desencriptar(*cifrado, kClaveRespuestas) != texto)
            std::abort();
    } else if (caracter.empty() && Utf8ACp1252(texto)) {
        std::abort();
    }
    (void)Desencriptar(texto, clave);
    return 0;
}
