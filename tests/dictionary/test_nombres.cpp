#include <gtest/gtest.h>

#include "core/dictionary/nombres.h"
#include "core/dictionary/valenciano.h"

namespace veliora {
namespace {

struct Caso {
    const char* nombre;
    const char* singular;
    const char* plural;
    bool masculino;
};

// Every case through the rules of one language.
template <std::size_t N>
void Comprobar(const Caso (&casos)[N], NombresPorDefecto (*reglas)(std::string_view)) {
    for (const Caso& c : casos) {
        const NombresPorDefecto n = reglas(c.nombre);
        EXPECT_EQ(n.Singular, c.singular) << c.nombre;
        EXPECT_EQ(n.Plural, c.plural) << c.nombre;
        EXPECT_EQ(n.Masculino, c.masculino) << c.nombre;
    }
}

TEST(NombresDeObjeto, ReglasDeTerminacion) {
    const Caso casos[] = {
        {"Alumnos", "Alumno", "Alumnos", true},
        {"ASIGNATURAS", "ASIGNATURA", "ASIGNATURAS", false},
        {"Nota", "Nota", "Notas", false},
        {"Nombre", "Nombre", "Nombres", true},
        {"Dni", "Dni", "Dnis", true},
        {"Ciudad", "Ciudad", "Ciudades", true},
        {"Fecha_alta", "Fecha_alta", "Fecha_altas", false},
        {"Menú", "Menú", "Menúes", true},
        {"s", "", "s", true},
        {"AS", "A", "AS", false},
        {"IdCliente", "IdCliente", "IdClientes", true},
        {"Línea pedido", "Línea pedido", "Línea pedidos", true},
        {"l'alumna", "l'alumna", "l'alumnas", false},
    };
    Comprobar(casos, NombresDeObjeto);
}

// The Valencian endings, with the spelling changes of the plural and the stress that decides
// the plural of -s and -x.
TEST(NombresValencianos, ReglasDeTerminacion) {
    const Caso casos[] = {
        {"Nota", "Nota", "Notes", false},
        {"Banca", "Banca", "Banques", false},
        {"Botiga", "Botiga", "Botigues", false},
        {"Plaça", "Plaça", "Places", false},
        {"Platja", "Platja", "Platges", false},
        {"Llengua", "Llengua", "Llengües", false},
        {"Pasqua", "Pasqua", "Pasqües", false},
        {"NOTA", "NOTA", "NOTES", false},
        {"Fecha_alta", "Fecha_alta", "Fecha_altes", false},
        {"Inscripció", "Inscripció", "Inscripcions", false},
        {"Professió", "Professió", "Professions", false},
        {"Connexió", "Connexió", "Connexions", false},
        {"Ciutat", "Ciutat", "Ciutats", false},
        {"Camí", "Camí", "Camins", true},
        {"Germà", "Germà", "Germans", true},
        {"Menú", "Menú", "Menús", true},
        {"Curs", "Curs", "Cursos", true},
        {"Mes", "Mes", "Mesos", true},
        {"Interès", "Interès", "Interessos", true},
        {"Permís", "Permís", "Permisos", true},
        {"Llapis", "Llapis", "Llapis", true},
        {"Alumnos", "Alumnos", "Alumnos", true},
        {"Temps", "Temps", "Temps", true},
        {"Braç", "Braç", "Braços", true},
        {"Peix", "Peix", "Peixos", true},
        {"Despatx", "Despatx", "Despatxos", true},
        {"Reflex", "Reflex", "Reflexos", true},
        {"Índex", "Índex", "Índexs", true},
        {"Bosc", "Bosc", "Boscos", true},
        {"Gust", "Gust", "Gustos", true},
        {"Text", "Text", "Textos", true},
        {"Alumne", "Alumne", "Alumnes", true},
        {"Lineas Pedido", "Lineas Pedido", "Lineas Pedidos", true},
        {"Campo1", "Campo1", "Campo1s", true},
        {"", "", "", true},
    };
    Comprobar(casos, NombresValencianos);
}

// Articles and prepositions joined to the word after them.
TEST(Valenciano, ApostrofosYContracciones) {
    const std::pair<std::vector<std::string>, const char*> casos[] = {
        {{"de", "els", "alumnes"}, "dels alumnes"},
        {{"la", "assignatura"}, "l'assignatura"},
        {{"la", "universitat"}, "la universitat"},
        {{"la", "història"}, "la història"},
        {{"la", "idea"}, "la idea"},
        {{"la", "humitat"}, "la humitat"},
        {{"la", "illa"}, "l'illa"},
        {{"la", "ungla"}, "l'ungla"},
        {{"la", "hora"}, "l'hora"},
        {{"el", "home"}, "l'home"},
        {{"el", "institut"}, "l'institut"},
        {{"el", "iogurt"}, "el iogurt"},
        {{"la", "hiena"}, "la hiena"},
        {{"de", "el", "import"}, "de l'import"},
        {{"de", "el", "preu"}, "del preu"},
        {{"a", "el", "màxim"}, "al màxim"},
        {{"a", "els", "preus"}, "als preus"},
        {{"per", "el", "nom"}, "pel nom"},
        {{"per", "els", "noms"}, "pels noms"},
        {{"per", "a", "el", "client"}, "per al client"},
        {{"de", "alumnes"}, "d'alumnes"},
        {{"de", "hores"}, "d'hores"},
        {{"de", "universitats"}, "d'universitats"},
        {{"de", "les", "notes"}, "de les notes"},
        {{"De", "El", "Preu"}, "Del Preu"},
        {{"amb", "", "la", "edat"}, "amb l'edat"},
    };
    for (const auto& [palabras, esperado] : casos)
        EXPECT_EQ(valenciano::Unir(palabras), esperado) << esperado;
}

}  // namespace
}  // namespace veliora
