#pragma once
// The judge that teaches: the verdict of ComprobarRespuesta, then, on a wrong answer, what
// differs, and on a right one, a search for data on which it would not be right.

#include <chrono>
#include <optional>
#include <string_view>

#include "core/practice/comprobar.h"
#include "core/practice/contraejemplo.h"
#include "core/practice/diferencias.h"

namespace veliora {

struct OpcionesJuez {
    bool contraejemplo = true;
    std::chrono::milliseconds presupuesto{300};  // of the counterexample search
    bool revelar = false;  // whether the solution's rows may be shown (the missing ones)
};

// From veliora.ini: PRESUPUESTOCONTRAEJEMPLO in ms, 0 turns the search off (the key and its
// bounds in core/shell/registro.h).
OpcionesJuez LeerOpcionesJuez();

struct Juicio {
    ResultadoComprobacion resultado;
    std::optional<Contraejemplo> contraejemplo;  // when the verdict is CorrectoSoloAqui
    // When the verdict is Erroneo and both results fitted within kMaximoGuardado.
    std::optional<Diferencias> diferencias;
};

// ComprobarRespuesta, then the differences of a wrong answer, or the counterexample search
// of a right one, which turns the verdict into CorrectoSoloAqui with its message: 1800,
// what the variant changed, and the two results on it.
Juicio Juzgar(engine::Database& usuario, std::string_view solucion, std::string_view respuesta,
              const OpcionesJuez& opciones);

}  // namespace veliora
