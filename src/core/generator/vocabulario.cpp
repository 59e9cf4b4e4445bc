#include "core/generator/vocabulario.h"

namespace veliora::generador {

void InicializarVocabulario(Vocabulario& v) {
    v.Verbos = {"Seleccionar", "Obtener", "Mostrar"};
    v.FrasesSuma = {"cuánto suman", "la suma de"};
    v.FrasesTodo = {"toda la información", "todos los datos"};
    v.FrasesExistencia = {"hay", "existen"};
    // Entry 3 is the feminine form of entry 1; 0 and 2 serve both genders.
    v.Conectores = {"con", "cuyo", "que tienen", "cuya"};
    // Indexed by operator code; 7 serves the two-value list and 8 is the feminine of 5.
    v.Comparaciones = {"igual a",    "mayor que", "menor que", "mayor o igual a", "menor o igual a",
                       "distinto a", "entre",     "igual a",   "distinta a"};
    v.FrasesParaCada = {"que cumple que para cada", "con la condición de que para cada",
                        "teniendo en cuenta que para cada", "de tal forma que para cada"};
    v.FrasesNoExisten = {"tal que no existen",       "de forma que no existen",
                         "de manera que no existen", "tal que no hay",
                         "de forma que no hay",      "de manera que no hay"};
    // Masculine forms first, then feminine ones ("diferentes" serves both).
    v.Distintos = {"distintos", "diferentes", "distintas", "diferentes"};
}

}  // namespace veliora::generador
