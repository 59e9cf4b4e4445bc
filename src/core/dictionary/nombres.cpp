#include "core/dictionary/nombres.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "core/dictionary/valenciano.h"

namespace veliora {

namespace {
char Mayuscula(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
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

// ---------------------------------------------------------------- Valencian

namespace veliora {

namespace {

struct Final {
    int quitar = 0;          // letters taken off the end
    const char* poner = "";  // ending added (lower case)
};

using Finales = std::initializer_list<std::pair<const char*, Final>>;

// The change of the first ending in `tabla` the word has.
const Final* Buscar(const icu::UnicodeString& w, Finales tabla) {
    for (const auto& [final, cambio] : tabla)
        if (w.endsWith(icu::UnicodeString::fromUTF8(final)))
            return &cambio;
    return nullptr;
}

// The plural ending of a lower-case word. Sources: Acadèmia Valenciana de la Llengua,
// Gramàtica normativa valenciana (2006), plural of nouns and adjectives; its usage guide
// prefers -os after -sc, -st and -xt ("boscos", "gustos", "textos"). Words ending in a
// stressed vowel mostly take -ns ("germans", "camins", "raons", "cançons"); the loanwords
// ending in -é, -è or -ú mostly take -s ("cafès", "menús"), which is kept. A stressed -s
// doubles after à, è and é ("compassos", "interessos") as most such nouns do; an unstressed
// final -s leaves the word unchanged ("llapis", "virus").
Final FinalPlural(const icu::UnicodeString& w) {
    static const Finales kSinAcento = {
        {"gua", {2, "ües"}}, {"qua", {2, "ües"}}, {"ca", {2, "ques"}}, {"ga", {2, "gues"}},
        {"ça", {2, "ces"}},  {"ja", {2, "ges"}},  {"a", {1, "es"}},    {"à", {1, "ans"}},
        {"í", {1, "ins"}},   {"ó", {1, "ons"}},   {"sc", {0, "os"}},   {"st", {0, "os"}},
        {"xt", {0, "os"}},   {"ç", {0, "os"}},    {"tx", {0, "os"}},   {"ix", {0, "os"}}};
    if (const Final* f = Buscar(w, kSinAcento))
        return *f;
    std::string utf8;
    w.toUTF8String(utf8);
    const bool aguda = valenciano::EsAguda(utf8);
    const UChar ultima = w.charAt(w.length() - 1);
    if (ultima == u'x')
        return {0, aguda ? "os" : "s"};
    if (ultima != u's')
        return {0, "s"};
    if (!aguda || w.length() < 2)
        return {0, ""};
    static const Finales kAgudaEnS = {
        {"às", {2, "assos"}}, {"ès", {2, "essos"}}, {"és", {2, "essos"}}, {"ís", {2, "isos"}},
        {"ós", {2, "osos"}},  {"òs", {2, "osos"}},  {"ús", {2, "usos"}}};
    if (const Final* f = Buscar(w, kAgudaEnS))
        return *f;
    // "mes" -> "mesos", "vers" -> "versos"; "temps", "fons" stay as they are.
    const UChar antes = w.charAt(w.length() - 2);
    if (icu::UnicodeString(u"aeiourl").indexOf(antes) >= 0)
        return {0, "os"};
    return {0, ""};
}

bool Femenino(const icu::UnicodeString& w) {
    static const Finales kFemeninos = {
        {"a", {}}, {"ció", {}}, {"sió", {}}, {"xió", {}}, {"tat", {}}};
    return Buscar(w, kFemeninos) != nullptr;
}

}  // namespace

NombresPorDefecto NombresValencianos(std::string_view nombre) {
    const icu::UnicodeString n =
        icu::UnicodeString::fromUTF8(icu::StringPiece(nombre.data(), int32_t(nombre.size())));
    // The rules look at the last word: "Lineas Pedido" is a kind of "Pedido".
    int32_t inicio = n.length();
    while (inicio > 0 && u_isalpha(n.char32At(n.moveIndex32(inicio, -1))))
        inicio = n.moveIndex32(inicio, -1);
    icu::UnicodeString palabra = n.tempSubString(inicio);
    icu::UnicodeString minuscula = palabra;
    minuscula.toLower(icu::Locale::getRoot());

    NombresPorDefecto r;
    r.Singular = std::string(nombre);
    r.Masculino = !Femenino(minuscula);
    if (palabra.isEmpty()) {
        r.Plural = nombre.empty() ? std::string() : r.Singular + "s";
        return r;
    }
    const Final f = FinalPlural(minuscula);
    icu::UnicodeString final = icu::UnicodeString::fromUTF8(f.poner);
    if (u_isupper(n.char32At(n.moveIndex32(n.length(), -1))))
        final.toUpper(icu::Locale::getRoot());
    icu::UnicodeString plural = n;
    plural.truncate(n.length() - f.quitar);
    plural.append(final);
    plural.toUTF8String(r.Plural);
    return r;
}

}  // namespace veliora
