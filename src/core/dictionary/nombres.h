#pragma once
// Default dictionary names derived from an object's own name by the ending rules of Spanish
// and of Valencian. The dictionary initialisation writes them, and the question wording
// falls back to them for an object that has no dictionary row.

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

// The Valencian names: the singular is the name itself; the gender is feminine for -a,
// -ció, -sió, -xió and -tat, masculine otherwise; the plural follows the regular patterns
// of the last word (-a -> -es with its spelling changes, stressed -à/-í/-ó -> -ans/-ins/
// -ons, -s/-ç/-x/-ix/-tx/-sc/-st/-xt -> -os where the norm asks for it, an unstressed -s
// unchanged, -s otherwise). The changed ending is upper case when the name ends in a
// capital.
NombresPorDefecto NombresValencianos(std::string_view nombre);

}  // namespace veliora
