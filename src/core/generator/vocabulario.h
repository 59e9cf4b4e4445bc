#pragma once
// The fixed word lists from which questions are worded, in Spanish or in Valencian.

#include <array>
#include <string>
#include <vector>

namespace veliora::generador {

// The language the questions are worded in (not the interface's).
enum class Idioma { Castellano, Valenciano };

// The setting "IDIOMAPREGUNTAS" of veliora.ini: "0" Spanish, "1" Valencian; absent or any
// other value follows the interface language.
Idioma LeerIdiomaPreguntas();

// "es" or "va", as the command-line tool and its JSON name them; nothing for another text.
const char* CodigoIdioma(Idioma idioma);
bool IdiomaDeCodigo(const std::string& codigo, Idioma& idioma);

struct Vocabulario {
    // The nine lists; both languages have the same entries at the same positions, so that a
    // question draws the same numbers in either.
    std::vector<std::string> Verbos;
    std::vector<std::string> FrasesSuma;
    std::vector<std::string> FrasesTodo;
    std::vector<std::string> FrasesExistencia;
    std::vector<std::string> Conectores;
    std::vector<std::string> Comparaciones;
    std::vector<std::string> FrasesParaCada;
    std::vector<std::string> FrasesNoExisten;
    std::vector<std::string> Distintos;

    // The fixed words around them, by gender where they agree: [0] feminine, [1] masculine.
    std::array<std::string, 2> Cuantos, Maximo, Minimo, ArticuloPlural, ArticuloSingular;
    std::string Media, SumaDe, NumeroDe, De, Y, O;
    // The verbs of a condition: after "cuyo" (Spanish, with their own blanks), for between,
    // for (not) in, before a having comparison; and the grouping.
    std::string Sea, Este, EsteEntre, NoEsteEntre, SeaHaving, AgrupadoPor;

    // Valencian grammar: the maximum and minimum follow their noun ("l'import màxim"), the
    // relative of Conectores 1/3 follows the field and agrees with the table ("l'edat dels
    // quals"), a having comparison agrees with its subject, and words are joined with the
    // apostrophes and contractions of the language.
    bool Valenciano = false;
};

// Fills the lists of the language.
void InicializarVocabulario(Vocabulario& v, Idioma idioma = Idioma::Castellano);

}  // namespace veliora::generador
