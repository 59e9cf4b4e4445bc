#pragma once
// The bulletin lines the practice window uses: storing a generated question and reading a
// bulletin's questions back. Pregunta and Respuesta are stored scrambled.

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"

namespace veliora {

// Appends a line to `boletin` in the auxiliary database: NumPregunta = the bulletin's
// highest number + 1 (1 for a bulletin without lines), Pregunta = the question wording,
// Respuesta = the SQL, both scrambled with the answer key. One transaction: either the
// line is stored or nothing changes. Returns the number given, or 0 with `error` set.
int AlmacenarPregunta(engine::Database& auxiliar, std::string_view boletin,
                      std::string_view pregunta, std::string_view sql, engine::Error& error);

// Highest question number a line may carry: the number box holds seven digits.
inline constexpr int kMaxNumPregunta = 9'999'999;

struct LineaBoletin {
    int NumPregunta = 0;
    std::string Pregunta;   // plain text
    std::string Respuesta;  // plain text
};

// The lines of a bulletin in the order of their numbers, unscrambled. Empty (with `error`
// set) on an engine error, or when a stored number is not one from 1 to kMaxNumPregunta
// (a row edited by hand): such a line is refused by name, not shown under another number.
std::vector<LineaBoletin> LeerBoletin(engine::Database& auxiliar, std::string_view boletin,
                                      engine::Error& error);

// Names of the bulletins (CabBoletines), in name order.
std::vector<std::string> NombresBoletines(engine::Database& auxiliar, engine::Error& error);

}  // namespace veliora
