#include "core/generator/generador.h"

#include "core/generator/motor.h"

namespace veliora {

struct GeneradorConsultas::Estado {
    generador::Motor motor;
};

GeneradorConsultas::GeneradorConsultas(std::shared_ptr<engine::Database> usuario,
                                       std::shared_ptr<engine::Database> auxiliar)
    : estado_(new Estado{generador::Motor(std::move(usuario), std::move(auxiliar))}) {}

GeneradorConsultas::~GeneradorConsultas() = default;

bool GeneradorConsultas::Cargar(engine::Error& error) {
    return estado_->motor.Cargar(error);
}

bool GeneradorConsultas::GenerarPregunta(const std::array<bool, 5>& marcadas) {
    return estado_->motor.GenerarPregunta(marcadas);
}

const std::string& GeneradorConsultas::SolucionSQL() const {
    return estado_->motor.SolucionSQL;
}
const std::string& GeneradorConsultas::TextoPregunta() const {
    return estado_->motor.TextoPregunta;
}
const ColTablas& GeneradorConsultas::EstructuraBD() const {
    return estado_->motor.EstructuraBD;
}

const generador::Generacion& GeneradorConsultas::UltimaGeneracion() const {
    return estado_->motor.Ultima();
}

void GeneradorConsultas::EvitarTriviales(bool activa) {
    estado_->motor.Calidad.activa = activa;
}

void GeneradorConsultas::FijarIdioma(generador::Idioma idioma) {
    estado_->motor.FijarIdioma(idioma);
}

generador::Idioma GeneradorConsultas::IdiomaPreguntas() const {
    return estado_->motor.IdiomaPreguntas();
}

}  // namespace veliora
