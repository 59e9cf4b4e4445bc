#pragma once
// Settings store in the style of the system registry, kept in the INI file veliora.ini
// of the application directory.

#include <cstdint>
#include <functional>
#include <string>

namespace veliora {

enum class RaizRegistro { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

inline constexpr const char* kClaveAplicacion = "SOFTWARE\\VELIORA";
inline constexpr const char* kValorIdioma = "IDIOMA";
// The language of generated questions: "0" Spanish, "1" Valencian, absent = the interface's.
inline constexpr const char* kValorIdiomaPreguntas = "IDIOMAPREGUNTAS";
// The judge's counterexample search and the generator's quality gate (bounds below).
inline constexpr const char* kValorPresupuestoContraejemplo = "PRESUPUESTOCONTRAEJEMPLO";
inline constexpr const char* kValorEvitarTriviales = "EVITARTRIVIALES";
inline constexpr const char* kValorPresupuestoCalidad = "PRESUPUESTOCALIDAD";

// Reads a value into `texto`; false (and `texto` emptied) when the key or value is missing.
// An empty value name reads the key's default value.
bool GetKeyValue(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor,
                 std::string& texto);
// Creates the key if it does not exist. False when the store cannot be written.
bool CrearClave(RaizRegistro raiz, const std::string& clave);
// Writes a text value into the key. False when the store cannot be written.
bool GuardarValor(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor,
                  const std::string& texto);

// The numeric settings of veliora.ini (values of SOFTWARE\VELIORA under HKEY_LOCAL_MACHINE),
// each with its bounds; README.md lists them too. A value that is not a whole number within
// its bounds is replaced by the default, with a warning (once per run):
//   IDIOMA                    0 Spanish, 1 Valencian                             default 0
//   EVITARTRIVIALES           0 off, 1 on (refuse trivial generated questions)   default 1
//   PRESUPUESTOCALIDAD        0 to 1000 ms of quality checks per generated question  150
//   PRESUPUESTOCONTRAEJEMPLO  0 (off) to 2000 ms of counterexample search per check  300
// and, under HKEY_CURRENT_USER, TAMANO_<window>: width x height, each 100 to 16384 pixels
// (otherwise the window keeps its own size).
struct AjusteNumerico {
    const char* nombre;
    long long minimo, maximo, porDefecto;
};
inline constexpr AjusteNumerico kAjusteIdioma{kValorIdioma, 0, 1, 0};
inline constexpr AjusteNumerico kAjusteEvitarTriviales{kValorEvitarTriviales, 0, 1, 1};
inline constexpr AjusteNumerico kAjustePresupuestoCalidad{kValorPresupuestoCalidad, 0, 1000, 150};
inline constexpr AjusteNumerico kAjustePresupuestoContraejemplo{kValorPresupuestoContraejemplo, 0,
                                                                2000, 300};
inline constexpr long long kTamanoVentanaMinimo = 100, kTamanoVentanaMaximo = 16384;

// The setting's value (HKEY_LOCAL_MACHINE, application key): its default when absent, or
// with a warning when it is not a whole number within its bounds.
long long LeerAjusteNumerico(const AjusteNumerico& ajuste);
// Whether `texto` is a whole number within [minimo, maximo]; when not, warns (once per run
// for a name and value) that `nombre` takes `porDefecto` instead.
bool ValorEnLimites(const std::string& nombre, const std::string& texto, long long minimo,
                    long long maximo, const std::string& porDefecto, long long& valor);

// The settings file is read only when it is a regular file that parses, with no line over
// 64 KiB; otherwise it is ignored (the defaults serve, nothing is written to it) with one
// warning when it is found so. Warnings about the settings go to the receiver set here
// (standard error when none).
void FijarReceptorAvisos(std::function<void(const std::string&)> receptor);
void Avisar(const std::string& texto);

// The language offset of the setting (0 Spanish, 10000 Valencian), creating it with "0"
// when missing. A value other than 0 or 1 means Spanish (with a warning).
std::int32_t LeerIdioma();

}  // namespace veliora
