#pragma once
// Settings store in the style of the system registry, kept in the INI file veliora.ini
// of the application directory.

#include <string>

namespace veliora {

enum class RaizRegistro { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

inline constexpr const char* kClaveAplicacion = "SOFTWARE\\VELIORA";
inline constexpr const char* kValorIdioma = "IDIOMA";
// The language of generated questions: "0" Spanish, "1" Valencian, absent = the interface's.
inline constexpr const char* kValorIdiomaPreguntas = "IDIOMAPREGUNTAS";

// Reads a value into `texto`; false (and `texto` emptied) when the key or value is missing.
// An empty value name reads the key's default value.
bool GetKeyValue(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor,
                 std::string& texto);
// Creates the key if it does not exist. False when the store cannot be written.
bool CrearClave(RaizRegistro raiz, const std::string& clave);
// Writes a text value into the key. False when the store cannot be written.
bool GuardarValor(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor,
                  const std::string& texto);

// Sets DesplazamientoIdioma from the setting, creating it with "0" when missing. A value
// other than 0 or 1 means Spanish.
void LeerIdioma();

}  // namespace veliora
