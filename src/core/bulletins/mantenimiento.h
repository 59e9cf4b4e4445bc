#pragma once
// Editing bulletins by hand: headers (CabBoletines) and numbered lines (LBoletines). Every
// statement binds its names and numbers as parameters; question and answer texts are
// stored scrambled.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bulletins/boletines.h"
#include "core/engine/database.h"

namespace veliora {

// The question number a text stands for: digits only, 1 to kMaxNumPregunta. Anything else
// (empty, 0, signs, blanks, letters, too large) gives nothing, so that it can never reach
// a statement or a stored row.
std::optional<int> NumeroPregunta(std::string_view texto);

// Whether a name can be a bulletin's: it holds something besides blanks and control
// characters.
bool NombreBoletinValido(std::string_view nombre);

struct ResumenBoletin {
    std::string Nombre;
    int Lineas = 0;
};
// Every bulletin with its number of lines, in name order.
std::vector<ResumenBoletin> ResumenBoletines(engine::Database& auxiliar, engine::Error& error);

// Whether a bulletin of that name exists (compared as the database compares names).
bool ExisteBoletin(engine::Database& auxiliar, std::string_view nombre, engine::Error& error);
// Inserts the header of a new bulletin; a name NombreBoletinValido refuses is not stored.
bool CrearBoletin(engine::Database& auxiliar, std::string_view nombre, engine::Error& error);

enum class PasoEliminacion { Ninguno, Cabecera, Lineas };
// Deletes a bulletin's header and its lines in one transaction: both go, or neither. On
// failure returns false with `fallido` telling which step failed.
bool EliminarBoletin(engine::Database& auxiliar, std::string_view nombre, engine::Error& error,
                     PasoEliminacion* fallido = nullptr);

// The bulletin's highest question number plus 1 (1 for a bulletin without lines); gaps
// below the highest are never proposed. 0 with `error` set on failure.
int SiguienteNumero(engine::Database& auxiliar, std::string_view nombre, engine::Error& error);
bool ExistePregunta(engine::Database& auxiliar, std::string_view nombre, int numero,
                    engine::Error& error);

// Stores a new line; refused (nothing stored) when a text cannot be scrambled, the number
// is out of range or already taken.
bool InsertarLinea(engine::Database& auxiliar, std::string_view nombre, int numero,
                   std::string_view pregunta, std::string_view respuesta, engine::Error& error);
// Replaces the texts of an existing line; its number and bulletin never change.
bool ModificarLinea(engine::Database& auxiliar, std::string_view nombre, int numero,
                    std::string_view pregunta, std::string_view respuesta, engine::Error& error);
// Deletes one line; the other lines keep their numbers. False (Code::NoSuchLine) when there
// is no such line.
bool EliminarLinea(engine::Database& auxiliar, std::string_view nombre, int numero,
                   engine::Error& error);

// The lines of a bulletin as a cursor: a snapshot read once, positioned before the first
// line, kept in step with the changes made through it.
class CursorLineas {
  public:
    CursorLineas() = default;
    explicit CursorLineas(std::vector<LineaBoletin> lineas) : lineas_(std::move(lineas)) {}

    // Both hold on a cursor without lines.
    bool Bof() const { return pos_ < 0 || lineas_.empty(); }
    bool Eof() const { return pos_ >= long(lineas_.size()) || lineas_.empty(); }
    // The line on show; null before the first, after the last or after a deletion.
    const LineaBoletin* Actual() const;
    void MoveFirst() { Ir(0); }
    void MoveLast() { Ir(long(lineas_.size()) - 1); }
    void MoveNext();
    void MovePrevious();
    // Moves to the line of that number; false (position unchanged) when there is none.
    bool Buscar(int numero);
    // Keeps the snapshot in step with a line inserted, changed or deleted in the database.
    void Insertada(LineaBoletin linea);
    void Modificada(int numero, std::string pregunta, std::string respuesta);
    void Eliminada(int numero);
    std::size_t size() const { return lineas_.size(); }

  private:
    void Ir(long pos);
    std::vector<LineaBoletin> lineas_;
    long pos_ = -1;
    bool sinActual_ = false;  // the line at pos_ was deleted: next goes to pos_ itself
};

}  // namespace veliora
