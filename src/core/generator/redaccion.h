#pragma once
// The question being written, piece by piece. In Spanish every piece is followed by one
// blank and blanks are never collapsed: checkers compare blank for blank. In Valencian the
// words are joined by single blanks with the language's apostrophes and contractions, also
// across pieces ("de" + "els alumnes" -> "dels alumnes"), and nothing is left at the end.
// Values are written as they are in both.

#include <string>
#include <string_view>
#include <vector>

namespace veliora::generador {

class Redaccion {
  public:
    explicit Redaccion(bool valenciano) : valenciano_(valenciano) {}

    // Words of the question: a list entry, a dictionary name, a phrase.
    void Pieza(std::string_view pieza);
    // A value from the database, shown as it is.
    void Valor(std::string_view valor);
    // The word between two values ("1 y 2", "1 i 2").
    void Enlace(std::string_view palabra);
    // A statement written before (a subquery's): its first word joins the words before it.
    void Enunciado(std::string_view texto);
    // The blank the Spanish statements keep after a condition's place.
    void Hueco();

    std::string Texto();

  private:
    void Volcar();
    void Separar();

    bool valenciano_;
    std::string hecho_;
    std::vector<std::string> palabras_;  // Valencian words not joined yet
};

}  // namespace veliora::generador
