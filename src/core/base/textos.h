#pragma once
// The localised string table: texts by id, the Valencian text of id n at n + 10000.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace veliora {

// The language offset added to every string id: 0 Spanish, 10000 Valencian. Only the
// application object (core/app) sets it; below it, a floor reads it here.
void FijarDesplazamientoTextos(std::int32_t desplazamiento);
std::int32_t DesplazamientoTextos();

// Text of id + the language offset; the empty text when the table has no such id.
std::string Texto(int id);
// Text of id + the language offset with its "%1" replaced by `valor`.
std::string Texto(int id, const std::string& valor);
// Text of id + the language offset with "%1", "%2"... replaced by `valores` in order.
std::string Texto(int id, std::initializer_list<std::string> valores);
// Text of the exact id, without the language offset.
std::string TextoAbsoluto(int id);
// Whether the table holds that exact id.
bool ExisteTexto(int id);
// Number of entries of the table (both languages).
int NumeroTextos();

}  // namespace veliora
