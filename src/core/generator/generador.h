#pragma once
// A generation session: what the practice window keeps to produce random questions
// (schema model, word lists, the current solution and question). One press of the
// query button is one call to GenerarPregunta.

#include <array>
#include <memory>
#include <string>

#include "core/dictionary/esquema.h"
#include "core/engine/database.h"
#include "core/generator/vocabulario.h"

namespace veliora {

namespace generador {
class Motor;
struct Generacion;
}  // namespace generador

class GeneradorConsultas {
  public:
    GeneradorConsultas(std::shared_ptr<engine::Database> usuario,
                       std::shared_ptr<engine::Database> auxiliar);
    ~GeneradorConsultas();

    // Loads the word lists and the schema model (EstructuraBD). False on an engine error.
    bool Cargar(engine::Error& error);

    // One press of the query button with the ticked kinds (index 0 = box 1 ... 4 = box 5).
    // True when a new question is ready; false when generation ended without one (the
    // previous question and solution stay).
    bool GenerarPregunta(const std::array<bool, 5>& marcadas);

    const std::string& SolucionSQL() const;
    const std::string& TextoPregunta() const;
    const ColTablas& EstructuraBD() const;

    // The last press: kind and driver chosen, draws spent, the plan and the raw texts
    // (core/generator/motor.h).
    const generador::Generacion& UltimaGeneracion() const;

    // "Evitar preguntas triviales": whether the quality gate redraws empty and trivial
    // questions (on by default, as veliora.ini says).
    void EvitarTriviales(bool activa);

    // The language of the questions: the settings' (LeerIdiomaPreguntas) unless set here.
    void FijarIdioma(generador::Idioma idioma);
    generador::Idioma IdiomaPreguntas() const;

  private:
    struct Estado;
    std::unique_ptr<Estado> estado_;
};

}  // namespace veliora
