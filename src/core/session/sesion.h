#pragma once
// A practice session: what the practice window shows and when, without the window. Random
// mode draws questions from the generator; bulletin mode walks a bulletin's lines. The wait
// before the solution may be shown is counted in ticks the caller's timer delivers.

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bulletins/boletines.h"
#include "core/engine/database.h"
#include "core/practice/comprobar.h"
#include "core/practice/juez.h"

namespace veliora {

class GeneradorConsultas;

// What one check leaves on show, once the session has taken it in.
struct ResultadoPractica {
    ResultadoComprobacion resultado;  // the verdict and its message
    bool solucionDisponible = false;  // after this check
    // The detail of the check (see SesionPractica::Detalle); empty when it has none.
    std::string detalle;
};

class SesionPractica {
  public:
    // Either database may be null: nothing can be generated, read or judged then.
    SesionPractica(std::shared_ptr<engine::Database> usuario,
                   std::shared_ptr<engine::Database> auxiliar);
    ~SesionPractica();
    const std::shared_ptr<engine::Database>& Usuario() const { return usuario_; }
    SesionPractica(const SesionPractica&) = delete;
    SesionPractica& operator=(const SesionPractica&) = delete;

    // ---- Random mode ----
    // Back to random mode: no question, no solution, no wait.
    void ModoAleatorio();
    // Draws a new question of one of the ticked kinds (index 0 = box 1) and puts it on show.
    // False when none came out (or in bulletin mode): the current question stays.
    bool NuevaPregunta(const std::array<bool, 5>& marcadas);
    struct PreguntaGenerada {
        std::string solucion;
        std::string pregunta;
    };
    // The drawing alone, loading the generator on first use. It touches nothing else of the
    // session, so it may run on another thread while the caller uses the rest; one call at
    // a time. The caller puts the result on show with FijarPregunta.
    std::optional<PreguntaGenerada> Generar(const std::array<bool, 5>& marcadas);
    // A question given from outside (as the generator would leave it).
    void FijarPregunta(std::string solucion, std::string pregunta);

    // ---- Bulletin mode ----
    // Reads the bulletin and goes to its first line. False when it has none or cannot be
    // read; the session is then in bulletin mode with no question.
    bool AbrirBoletin(std::string_view nombre);
    bool ModoBoletin() const { return modoBoletin_; }
    std::size_t Posicion() const { return posicion_; }  // from 0
    std::size_t TotalPreguntas() const { return lineas_.size(); }
    bool HayAnterior() const { return posicion_ > 0; }
    bool HaySiguiente() const { return posicion_ + 1 < lineas_.size(); }
    // Moves one line; false (nothing changes) at either end.
    bool Siguiente();
    bool Anterior();

    // ---- The question on show ----
    // Empty when there is none.
    std::string Pregunta() const;
    std::string Solucion() const;
    // The bulletin's number of the line on show; 0 in random mode or with no line.
    int NumeroPregunta() const;

    // ---- Checking ----
    // Judges `respuesta` against the current solution and takes the result in (Anotar).
    ResultadoPractica Comprobar(std::string_view respuesta);
    // The judging alone, bound to the solution on show now, with what the judge adds: the
    // differences of a wrong answer (the missing rows always computed) or a counterexample
    // to a right one. It may run on another thread whatever the session does meanwhile.
    // Hand its result to Anotar on the session's own thread.
    std::function<Juicio()> Comprobacion(std::string respuesta) const;
    // Takes a check's result in: a right answer makes the solution available at once (a
    // running wait still counts), and the check's detail stays on show until the next one.
    ResultadoPractica Anotar(Juicio juicio);
    // The detail of the last check as the student may see it now: a wrong answer's
    // differences, whose missing rows reveal part of the solution and so show only once it
    // is available, or the message of a counterexample. Empty when there is none.
    std::string Detalle() const;

    // "Evitar preguntas triviales": read from the settings; a change is saved there and
    // applies from the next question. Not while Generar runs.
    bool EvitaTriviales() const { return evitarTriviales_; }
    void EvitarTriviales(bool activa);

    // ---- The wait before the solution ----
    // Starts the wait of the question just shown: five one-minute ticks for a student, none
    // for a teacher, one one-second tick in bulletin mode for everyone.
    void EmpezarEspera(bool profesor);
    // One tick of the caller's timer; true when the wait is over (stop the timer).
    bool Tick();
    bool SolucionDisponible() const { return disponible_; }
    // Ticks left; a tick is a second in bulletin mode, a minute otherwise.
    int TicksRestantes() const { return ticks_; }
    bool TicksDeUnSegundo() const { return modoBoletin_; }
    // Whether the caller's timer must run.
    bool Esperando() const { return esperando_; }

  private:
    bool CargarGenerador();
    // A new question: the last check's detail no longer applies.
    void OlvidarComprobacion();

    std::shared_ptr<engine::Database> usuario_;
    std::shared_ptr<engine::Database> auxiliar_;
    std::unique_ptr<GeneradorConsultas> generador_;
    bool generadorCargado_ = false;
    bool evitarTriviales_;
    OpcionesJuez juez_;
    // Of the last check taken in.
    std::optional<Diferencias> diferencias_;
    std::string contraejemplo_;

    bool modoBoletin_ = false;
    std::string solucion_;
    std::string pregunta_;
    std::vector<LineaBoletin> lineas_;
    std::size_t posicion_ = 0;

    int ticks_ = 0;
    bool esperando_ = false;
    bool disponible_ = false;
};

}  // namespace veliora
