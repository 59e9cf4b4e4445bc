#pragma once
// Default dictionary names derived from an object's own name by the Spanish ending rules.
// The dictionary initialisation writes them, and the question wording falls back to them
// for an object that has no dictionary row.

#include <string>
#include <string_view>

namespace veliora {

struct NombresPorDefecto {
    std::string Singular;
    std::string Plural;
    bool Masculino = true;
};

// Rules, first that applies: ends in "as" -> drop the s, feminine; ends in "s" -> drop the
// s, masculine; ends in "a" -> add "s", feminine; ends in e/i/o/u -> add "s", masculine;
// otherwise add "es", masculine. Only unaccented vowels count; letter case is ignored for
// the test and kept in the result; the added endings are lower case.
NombresPorDefecto NombresDeObjeto(std::string_view nombre);

}  // namespace veliora
