#pragma once
// The structure of a user database as the windows show it beside an answer and in the
// diagram: tables in the schema model's order, their fields with declared types and keys,
// the dictionary's names when there is a dictionary, and the relations between the tables.

#include <optional>
#include <string>
#include <vector>

#include "core/dictionary/diagrama.h"
#include "core/engine/database.h"

namespace veliora {

struct CampoVista {
    std::string Nombre;
    std::string Tipo;      // as declared
    bool Clave = false;    // part of the primary key
    bool Ajena = false;    // part of a foreign key
    std::string Singular;  // dictionary names; empty without a row
    std::string Plural;
};

struct TablaVista {
    std::string Nombre;
    std::vector<CampoVista> Campos;
    std::string Singular;
    std::string Plural;
    std::optional<diagrama::Punto> Posicion;  // stored diagram position
};

struct RelacionVista {
    std::string Nombre;
    int Origen = -1;  // index of the primary table in Tablas; -1 when it is not there
    int Destino = -1;
    bool Muchos = true;  // false when each primary row has at most one related row
};

struct VistaEsquema {
    std::vector<TablaVista> Tablas;
    std::vector<RelacionVista> Relaciones;
};

// Reads the structure of `usuario` and, when `auxiliar` is given, the dictionary's names and
// stored positions. False on an engine error of the user database; the dictionary is read as
// far as it can be.
bool LeerVistaEsquema(engine::Database& usuario, engine::Database* auxiliar, VistaEsquema& vista,
                      engine::Error& error);

// Whether a word is one of those a statement reads as its own (select, from, and...).
bool PalabraReservada(std::string_view palabra);
// Whether a name must go between brackets to be read as one name in a statement.
bool NecesitaCorchetes(std::string_view nombre);
// The name as it is typed in a statement: bracketed when it needs it.
std::string NombreEnSql(std::string_view nombre);

// The boxes of the tables: at their stored positions, the others placed automatically in a
// diagram `anchoDiagrama` twips wide, all of the template's size.
std::vector<diagrama::Caja> CajasIniciales(const VistaEsquema& vista, int anchoDiagrama);

}  // namespace veliora
