#include "core/app/aplicacion.h"

#include <stdexcept>
#include <utility>

#include "core/base/textos.h"
#include "core/session/apertura.h"
#include "core/shell/registro.h"

namespace veliora {

namespace {

std::atomic<Aplicacion*> laActual{nullptr};

}  // namespace

Aplicacion::Aplicacion() : ejecutor_(std::make_unique<Ejecutor>()) {
    Aplicacion* ninguna = nullptr;
    if (!laActual.compare_exchange_strong(ninguna, this))
        throw std::logic_error("a second application object");
    FijarDesplazamientoTextos(0);
    FijarBasesAbiertas([this] { return Bases(); });
}

Aplicacion::~Aplicacion() {
    ejecutor_.reset();  // its jobs may still write files, refused over the open databases
    FijarBasesAbiertas(nullptr);
    FijarDesplazamientoTextos(0);
    laActual = nullptr;
}

Aplicacion& Aplicacion::Actual() {
    Aplicacion* actual = laActual.load();
    if (!actual)
        throw std::logic_error("no application object");
    return *actual;
}

BasesAbiertas Aplicacion::Bases() const {
    std::lock_guard<std::mutex> l(m_);
    return {usuario_, auxiliar_};
}

std::shared_ptr<engine::Database> Aplicacion::Usuario() const {
    std::lock_guard<std::mutex> l(m_);
    return usuario_;
}

std::shared_ptr<engine::Database> Aplicacion::Auxiliar() const {
    std::lock_guard<std::mutex> l(m_);
    return auxiliar_;
}

bool Aplicacion::UsuarioAbierto() const {
    const auto usuario = Usuario();
    return usuario && usuario->IsOpen();
}

int Aplicacion::AbrirUsuario(const std::string& ruta, engine::Error* error) {
    std::shared_ptr<engine::Database> bd = Usuario();
    std::unique_ptr<ArchivoProtegido> origen;
    const int numero = AbrirBDUsuario(ruta, bd, origen, error);
    if (numero == 0) {
        std::lock_guard<std::mutex> l(m_);
        usuario_.swap(bd);
        origen_.swap(origen);
    }
    return numero;  // the previous ones go here, outside the lock
}

int Aplicacion::AbrirAuxiliar(const std::string& nombreArchivo, engine::Error* error) {
    const std::shared_ptr<engine::Database> usuario = Usuario();
    std::shared_ptr<engine::Database> bd = Auxiliar();
    const int numero = AbrirBDAuxiliar(nombreArchivo, usuario.get(), bd, error);
    if (numero == 0) {
        std::lock_guard<std::mutex> l(m_);
        auxiliar_.swap(bd);
    }
    return numero;
}

void Aplicacion::SoltarBases() {
    BasesAbiertas soltadas;
    std::unique_ptr<ArchivoProtegido> origen;
    std::lock_guard<std::mutex> l(m_);
    soltadas = {std::move(usuario_), std::move(auxiliar_)};
    origen = std::move(origen_);
}

void Aplicacion::CerrarBases() {
    const BasesAbiertas bases = Bases();
    SoltarBases();
    if (ejecutor_->Pendientes() != 0)
        return;
    for (const auto& bd : {bases.usuario, bases.auxiliar})
        if (bd)
            bd->Close();
}

std::filesystem::path Aplicacion::RutaAyuda() const {
    return RutaAyudaBD(Auxiliar().get());
}

std::int32_t Aplicacion::DesplazamientoIdioma() const {
    return DesplazamientoTextos();
}

void Aplicacion::FijarDesplazamientoIdioma(std::int32_t desplazamiento) {
    FijarDesplazamientoTextos(desplazamiento);
}

void Aplicacion::LeerIdioma() {
    FijarDesplazamientoTextos(veliora::LeerIdioma());
}

}  // namespace veliora
