#pragma once
// The fixed Spanish word lists from which questions are worded.

#include <string>
#include <vector>

namespace veliora::generador {

struct Vocabulario {
    std::vector<std::string> Verbos;
    std::vector<std::string> FrasesSuma;
    std::vector<std::string> FrasesTodo;
    std::vector<std::string> FrasesExistencia;
    std::vector<std::string> Conectores;
    std::vector<std::string> Comparaciones;
    std::vector<std::string> FrasesParaCada;
    std::vector<std::string> FrasesNoExisten;
    std::vector<std::string> Distintos;
};

// Fills the nine lists. Questions are always Spanish, whatever the interface language.
void InicializarVocabulario(Vocabulario& v);

}  // namespace veliora::generador
