#include "core/dictionary/nombres.h"

namespace veliora {

namespace {
char Mayuscula(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
}  // namespace

NombresPorDefecto NombresDeObjeto(std::string_view nombre) {
    const std::string n(nombre);
    if (n.empty())
        return {n, "es", true};
    // The tests look at bytes: an accented last letter is a multi-byte sequence in UTF-8,
    // so it never matches an unaccented vowel and falls to the last rule, as it should.
    const char ultima = Mayuscula(n.back());
    const char penultima = n.size() >= 2 ? Mayuscula(n[n.size() - 2]) : '\0';
    if (ultima == 'S')
        return {n.substr(0, n.size() - 1), n, penultima != 'A'};
    if (ultima == 'A')
        return {n, n + "s", false};
    if (ultima == 'E' || ultima == 'I' || ultima == 'O' || ultima == 'U')
        return {n, n + "s", true};
    return {n, n + "es", true};
}

}  // namespace veliora
