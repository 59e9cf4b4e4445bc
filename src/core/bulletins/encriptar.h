#pragma once
// Scrambling of the question and answer texts of bulletins.

#include <optional>
#include <string>
#include <string_view>

namespace veliora {

inline constexpr std::string_view kClaveRespuestas = "Tuvalco";

// Scrambles a UTF-8 text: converted to Windows-1252, each code bit-reversed and XORed with
// the cycling key. The result holds exactly one byte per character. Returns nothing when
// the text holds a character Windows-1252 cannot represent (that character in `caracter`)
// or is not UTF-8 (`caracter` empty).
// An empty key gives the empty text.
std::optional<std::string> Encriptar(std::string_view textoUtf8, std::string_view clave,
                                     std::string* caracter = nullptr);
// Unscrambles bytes made by Encriptar back into UTF-8 text.
std::string Desencriptar(std::string_view bytes, std::string_view clave);

// Byte-level forms on Windows-1252 codes, without text conversion.
std::string EncriptarBytes(std::string_view bytes, std::string_view clave);
std::string DesencriptarBytes(std::string_view bytes, std::string_view clave);

// Windows-1252 conversions; nothing when a character cannot be represented (as Encriptar).
std::optional<std::string> Utf8ACp1252(std::string_view utf8, std::string* caracter = nullptr);
std::string Cp1252AUtf8(std::string_view bytes);

}  // namespace veliora
