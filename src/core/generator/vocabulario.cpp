#include "core/generator/vocabulario.h"

#include "core/base/textos.h"
#include "core/shell/registro.h"

namespace veliora::generador {

Idioma LeerIdiomaPreguntas() {
    std::string valor;
    if (GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdiomaPreguntas,
                    valor)) {
        if (valor == "0")
            return Idioma::Castellano;
        if (valor == "1")
            return Idioma::Valenciano;
    }
    return DesplazamientoTextos() != 0 ? Idioma::Valenciano : Idioma::Castellano;
}

const char* CodigoIdioma(Idioma idioma) {
    return idioma == Idioma::Valenciano ? "va" : "es";
}

bool IdiomaDeCodigo(const std::string& codigo, Idioma& idioma) {
    if (codigo != "es" && codigo != "va")
        return false;
    idioma = codigo == "va" ? Idioma::Valenciano : Idioma::Castellano;
    return true;
}

namespace {

void Castellano(Vocabulario& v) {
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

    v.Cuantos = {"cuántas", "cuántos"};
    v.Maximo = {"la máxima", "el máximo"};
    v.Minimo = {"la mínima", "el mínimo"};
    v.ArticuloPlural = {"las", "los"};
    v.ArticuloSingular = {"la", "el"};
    v.Media = "la media de";
    v.SumaDe = "la suma de";
    v.NumeroDe = "el número de";
    v.De = "de";
    v.Y = "y";
    v.O = "o";
    v.Sea = " sea ";
    v.Este = " esté ";
    v.EsteEntre = " esté entre";
    v.NoEsteEntre = " no esté entre";
    v.SeaHaving = "sea";
    v.AgrupadoPor = " agrupado por";
    v.Valenciano = false;
}

// Where the Valencian wording departs from the Spanish structure, the builders say so; the
// words themselves are those a Valencian teacher would write.
void Valenciano(Vocabulario& v) {
    v.Verbos = {"Seleccionar", "Obtindre", "Mostrar"};
    v.FrasesSuma = {"quant sumen", "la suma de"};
    v.FrasesTodo = {"tota la informació", "totes les dades"};
    v.FrasesExistencia = {"hi ha", "existeixen"};
    // The possessive relative ("cuyo") is "del qual" after the noun, agreeing with the
    // antecedent, always a plural table here: entry 1 masculine, entry 3 feminine.
    v.Conectores = {"amb", "dels quals", "que tenen", "de les quals"};
    v.Comparaciones = {"igual a",    "major que", "menor que", "major o igual a", "menor o igual a",
                       "distint de", "entre",     "igual a",   "distinta de"};
    v.FrasesParaCada = {"que compleix que per a cada", "amb la condició que per a cada",
                        "tenint en compte que per a cada", "de tal manera que per a cada"};
    v.FrasesNoExisten = {"de manera que no existeixen",     "de forma que no existeixen",
                         "de tal manera que no existeixen", "de manera que no hi ha",
                         "de forma que no hi ha",           "de tal manera que no hi ha"};
    v.Distintos = {"distints", "diferents", "distintes", "diferents"};

    v.Cuantos = {"quantes", "quants"};
    v.Maximo = {"màxima", "màxim"};
    v.Minimo = {"mínima", "mínim"};
    v.ArticuloPlural = {"les", "els"};
    v.ArticuloSingular = {"la", "el"};
    v.Media = "la mitjana de";
    v.SumaDe = "la suma de";
    v.NumeroDe = "el nombre de";
    v.De = "de";
    v.Y = "i";
    v.O = "o";
    v.Sea = "siga";
    v.Este = "estiga";
    v.EsteEntre = "estiga entre";
    v.NoEsteEntre = "no estiga entre";
    v.SeaHaving = "siga";
    v.AgrupadoPor = "agrupant per";
    v.Valenciano = true;
}

}  // namespace

void InicializarVocabulario(Vocabulario& v, Idioma idioma) {
    if (idioma == Idioma::Valenciano)
        Valenciano(v);
    else
        Castellano(v);
}

}  // namespace veliora::generador
