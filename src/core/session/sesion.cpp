#include "core/session/sesion.h"

#include "core/base/textos.h"
#include "core/generator/calidad.h"
#include "core/generator/generador.h"
#include "core/shell/registro.h"

namespace veliora {

namespace {
constexpr int kTicksAlumno = 5;   // minutes
constexpr int kTicksBoletin = 1;  // seconds
}  // namespace

SesionPractica::SesionPractica(std::shared_ptr<engine::Database> usuario,
                               std::shared_ptr<engine::Database> auxiliar)
    : usuario_(std::move(usuario)),
      auxiliar_(std::move(auxiliar)),
      evitarTriviales_(generador::LeerOpcionesCalidad().activa),
      juez_(LeerOpcionesJuez()) {
    // The window decides what of the missing rows to show.
    juez_.revelar = true;
}

SesionPractica::~SesionPractica() = default;

void SesionPractica::ModoAleatorio() {
    modoBoletin_ = false;
    lineas_.clear();
    posicion_ = 0;
    solucion_.clear();
    pregunta_.clear();
    ticks_ = 0;
    esperando_ = false;
    disponible_ = false;
    OlvidarComprobacion();
}

bool SesionPractica::CargarGenerador() {
    if (generadorCargado_)
        return true;
    if (!usuario_ || !auxiliar_)
        return false;
    if (!generador_)
        generador_ = std::make_unique<GeneradorConsultas>(usuario_, auxiliar_);
    engine::Error error;
    generadorCargado_ = generador_->Cargar(error);
    generador_->EvitarTriviales(evitarTriviales_);
    return generadorCargado_;
}

std::optional<SesionPractica::PreguntaGenerada> SesionPractica::Generar(
    const std::array<bool, 5>& marcadas) {
    if (!CargarGenerador() || !generador_->GenerarPregunta(marcadas))
        return std::nullopt;
    return PreguntaGenerada{generador_->SolucionSQL(), generador_->TextoPregunta()};
}

bool SesionPractica::NuevaPregunta(const std::array<bool, 5>& marcadas) {
    if (modoBoletin_)
        return false;
    auto nueva = Generar(marcadas);
    if (!nueva)
        return false;
    FijarPregunta(std::move(nueva->solucion), std::move(nueva->pregunta));
    return true;
}

void SesionPractica::FijarPregunta(std::string solucion, std::string pregunta) {
    solucion_ = std::move(solucion);
    pregunta_ = std::move(pregunta);
}

bool SesionPractica::AbrirBoletin(std::string_view nombre) {
    ModoAleatorio();
    modoBoletin_ = true;
    // A bulletin that cannot be read is shown as an empty one.
    engine::Error error;
    if (auxiliar_)
        lineas_ = LeerBoletin(*auxiliar_, nombre, error);
    return !lineas_.empty();
}

bool SesionPractica::Siguiente() {
    if (!HaySiguiente())
        return false;
    ++posicion_;
    return true;
}

bool SesionPractica::Anterior() {
    if (!HayAnterior())
        return false;
    --posicion_;
    return true;
}

std::string SesionPractica::Pregunta() const {
    if (!modoBoletin_)
        return pregunta_;
    return posicion_ < lineas_.size() ? lineas_[posicion_].Pregunta : std::string();
}

int SesionPractica::NumeroPregunta() const {
    return modoBoletin_ && posicion_ < lineas_.size() ? lineas_[posicion_].NumPregunta : 0;
}

std::string SesionPractica::Solucion() const {
    if (!modoBoletin_)
        return solucion_;
    return posicion_ < lineas_.size() ? lineas_[posicion_].Respuesta : std::string();
}

ResultadoPractica SesionPractica::Comprobar(std::string_view respuesta) {
    return Anotar(Comprobacion(std::string(respuesta))());
}

std::function<Juicio()> SesionPractica::Comprobacion(std::string respuesta) const {
    return [usuario = usuario_, solucion = Solucion(), respuesta = std::move(respuesta),
            opciones = juez_] {
        if (!usuario || !usuario->IsOpen())
            return Juicio{{Veredicto::SolucionInvalida,
                           MensajeVeredicto(Veredicto::SolucionInvalida),
                           {},
                           Motivo::Ninguno},
                          {},
                          {}};
        return Juzgar(*usuario, solucion, respuesta, opciones);
    };
}

ResultadoPractica SesionPractica::Anotar(Juicio juicio) {
    // Right on this data is still the right result: the solution may be compared with it.
    const Veredicto v = juicio.resultado.veredicto;
    if (v == Veredicto::Correcto || v == Veredicto::CorrectoSoloAqui)
        disponible_ = true;
    diferencias_ = std::move(juicio.diferencias);
    contraejemplo_ = juicio.contraejemplo ? juicio.resultado.mensaje : std::string();
    return {std::move(juicio.resultado), disponible_, Detalle()};
}

void SesionPractica::OlvidarComprobacion() {
    diferencias_.reset();
    contraejemplo_.clear();
}

std::string SesionPractica::Detalle() const {
    if (!diferencias_)
        return contraejemplo_;
    if (disponible_ || diferencias_->faltan.filas.empty())
        return TextoDiferencias(*diferencias_);
    Diferencias visibles = *diferencias_;
    visibles.faltan = {};
    return TextoDiferencias(visibles) + "\r\n" + Texto(1820);
}

void SesionPractica::EvitarTriviales(bool activa) {
    evitarTriviales_ = activa;
    GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorEvitarTriviales,
                 activa ? "1" : "0");
    if (generador_)
        generador_->EvitarTriviales(activa);
}

void SesionPractica::EmpezarEspera(bool profesor) {
    disponible_ = false;
    OlvidarComprobacion();
    if (modoBoletin_)
        ticks_ = kTicksBoletin;
    else
        ticks_ = profesor ? 0 : kTicksAlumno;
    esperando_ = ticks_ > 0;
    disponible_ = !esperando_;
}

bool SesionPractica::Tick() {
    if (!esperando_)
        return true;
    if (--ticks_ < 1) {
        ticks_ = 0;
        esperando_ = false;
        disponible_ = true;
    }
    return !esperando_;
}

}  // namespace veliora
