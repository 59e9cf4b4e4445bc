#pragma once
// The data dictionary kept in the auxiliary database: reading and writing the rows of one
// table, field or relation, the diagram positions, and the initialisation that fills the
// whole dictionary with default names. Texts always travel as bound parameters, so names
// with quotes ("l'alumne") are stored as typed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/esquema.h"
#include "core/engine/database.h"

namespace veliora {

// The Valencian names of a table or field, kept beside the Spanish ones (TablasVa,
// CamposVa). Without a row, the default Valencian names (Guardada false).
struct NombresVa {
    std::string NombreSingular;
    std::string NombrePlural;
    bool MascFeme = true;
    bool Guardada = false;
};

// The Valencian phrases of a relation (RelacionesVa), with their own flags.
struct TraduccionesVa {
    std::string Traduccion = "de";
    std::string Traduccion2 = "de";
    bool NoConcatenar = false;
    bool NoConcatenar2 = false;
    bool Guardada = false;
};

// An object without a dictionary row reads as its default names (Guardada false); saving
// it then inserts its row instead of updating. `Va` holds its Valencian half.
struct DatosTabla {
    std::string Nombre;
    std::string NombreSingular;
    std::string NombrePlural;
    bool MascFeme = true;
    std::int64_t PosX = 0;  // twips; 0,0 means no stored position
    std::int64_t PosY = 0;
    bool Guardada = false;
    NombresVa Va;
};

struct DatosCampo {
    std::string NombreTabla;
    std::string Nombre;
    std::string NombreSingular;
    std::string NombrePlural;
    bool MascFeme = true;
    bool PermiteSum = false;
    bool Guardada = false;
    NombresVa Va;
};

struct DatosRelacion {
    std::string Nombre;
    std::string Traduccion = "de";
    std::string Traduccion2 = "de";
    bool NoConcatenar = false;
    bool NoConcatenar2 = false;
    bool Guardada = false;
    TraduccionesVa Va;
};

// Default rows, as the initialisation writes them.
DatosTabla TablaPorDefecto(std::string_view nombre);
DatosCampo CampoPorDefecto(std::string_view tabla, std::string_view campo);
DatosRelacion RelacionPorDefecto(std::string_view nombre);

// Read the stored rows (Spanish and Valencian) into `datos`, or the defaults of the ones
// that are missing. False only on an engine error.
bool LeerDatosTabla(engine::Database& aux, std::string_view nombre, DatosTabla& datos,
                    engine::Error& error);
bool LeerDatosCampo(engine::Database& aux, std::string_view tabla, std::string_view campo,
                    DatosCampo& datos, engine::Error& error);
bool LeerDatosRelacion(engine::Database& aux, std::string_view nombre, DatosRelacion& datos,
                       engine::Error& error);

// Store the names (not the position) of one object: an update of its row when `Guardada`,
// an insert otherwise (then `Guardada` becomes true). An update that finds no row fails:
// the row vanished since it was read.
bool GuardarDatosTabla(engine::Database& aux, DatosTabla& datos, engine::Error& error);
bool GuardarDatosCampo(engine::Database& aux, DatosCampo& datos, engine::Error& error);
bool GuardarDatosRelacion(engine::Database& aux, DatosRelacion& datos, engine::Error& error);

// Store the Valencian half (`Va`) of one object, inserting or replacing its row and
// creating the Valencian tables when the file lacks them.
bool GuardarDatosTablaVa(engine::Database& aux, DatosTabla& datos, engine::Error& error);
bool GuardarDatosCampoVa(engine::Database& aux, DatosCampo& datos, engine::Error& error);
bool GuardarDatosRelacionVa(engine::Database& aux, DatosRelacion& datos, engine::Error& error);

// Creates the Valencian dictionary tables (TablasVa, CamposVa, RelacionesVa) when missing.
bool CrearTablasValenciano(engine::Database& aux, engine::Error& error);

// The stored diagram position of a table, in twips. False when none is stored: no row, a
// failed read, or (0, 0).
bool LeerPosicion(engine::Database& aux, std::string_view tabla, std::int64_t& x, std::int64_t& y);
// Stores a position; a table without a row gets one with its default names.
bool GuardarPosicion(engine::Database& aux, std::string_view tabla, std::int64_t x, std::int64_t y,
                     engine::Error& error);

// Context string ids of the initialisation's row errors.
inline constexpr int kTextoInsertandoTablas = 406;
inline constexpr int kTextoInsertandoCampos = 407;
inline constexpr int kTextoInsertandoRelaciones = 408;

// The same for the Valencian rows.
inline constexpr int kTextoInsertandoTablasVa = 2601;
inline constexpr int kTextoInsertandoCamposVa = 2602;
inline constexpr int kTextoInsertandoRelacionesVa = 2603;

struct ErrorFila {
    engine::Error error;
    int contexto = 0;  // string id: 406, 407, 408 or 2601 to 2603
};

struct ResultadoInicializacion {
    // Set when nothing was changed: the structure could not be read, or the dictionary could
    // not be emptied or committed. `contexto` says which step (string id).
    engine::Error error;
    int contexto = 0;
    int Tablas = 0, Campos = 0, Relaciones = 0;  // rows written (Spanish; the Valencian alike)
    std::vector<ErrorFila> Errores;              // rows skipped
    bool Correcto() const { return !error.failed(); }
};

inline constexpr int kTextoLeyendoEstructura = 356;
inline constexpr int kTextoVaciandoDiccionario = 357;

// Replaces the whole dictionary (Tablas, Campos, Relaciones and their Valencian twins, made
// when missing; never the bulletins) with default rows in both languages for every table,
// field and relation of `usuario`, loading its structure into
// `estructura`. The structure is read before anything is deleted and the whole replacement
// is one transaction: on any failure before the commit the previous dictionary stays. A row
// the engine rejects is reported in `Errores` and skipped; the others are still written.
ResultadoInicializacion GenerarDatosAuxiliares(engine::Database& usuario, engine::Database& aux,
                                               ColTablas& estructura);

}  // namespace veliora
