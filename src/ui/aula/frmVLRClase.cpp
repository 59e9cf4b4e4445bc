#include "ui/aula/frmVLRClase.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/aula/clase.h"
#include "core/aula/postgres.h"
#include "core/aula/textos.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"
#include "core/shell/registro.h"
#include "ui/aula/envio_clase.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {
namespace fs = std::filesystem;

constexpr const char* kValorServidor = "CLASE_SERVIDOR";
constexpr const char* kValorClase = "CLASE_CODIGO";

QString Recordado(const char* valor) {
    std::string texto;
    GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, valor, texto);
    return QString::fromStdString(texto);
}

std::string Texto(const QLineEdit* caja) {
    return caja->text().trimmed().toStdString();
}

// Whether the open user database is a class's download, which a new download replaces.
bool AbiertaDeClase() {
    if (!Aplicacion::Actual().UsuarioAbierto())
        return false;
    const fs::path clases = DirectorioAplicacion() / "clases";
    const fs::path abierta = fs::path(Aplicacion::Actual().Usuario()->Name()).lexically_normal();
    return abierta.string().rfind(clases.lexically_normal().string(), 0) == 0;
}
}  // namespace

QString ServidorRecordado() {
    return Recordado(kValorServidor);
}

QString ClaseRecordada() {
    return Recordado(kValorClase);
}

void RecordarClase(const QString& servidor, const QString& codigo) {
    // An address that holds a password is not kept: no password goes to the settings file.
    if (!aula::pg::NombraContrasena(servidor.toStdString()))
        GuardarValor(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, kValorServidor,
                     servidor.toStdString());
    GuardarValor(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, kValorClase,
                 codigo.toStdString());
}

frmVLRClase::frmVLRClase(QWidget* parent) : QDialog(parent) {
    auto* marco = new QWidget(this);
    formulario_ = new QFormLayout(marco);
    txtServidor_ = NuevaCaja("txtServidor");
    txtCodigo_ = NuevaCaja("txtCodigo");
    txtNombre_ = NuevaCaja("txtNombre");
    txtContrasena_ = NuevaCaja("txtContrasena");
    txtContrasena_->setEchoMode(QLineEdit::Password);
    txtServidor_->setText(ServidorRecordado());
    txtCodigo_->setText(ClaseRecordada());
    trabajo_ = new Trabajo(this);
    formulario_->addRow(trabajo_);
    cmdAceptar_ = new QPushButton(this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar_->setDefault(true);
    cmdCancelar_ = new QPushButton(this);
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    MarcoConBotones(this, marco, {cmdAceptar_, cmdCancelar_});
    connect(cmdAceptar_, &QPushButton::clicked, this, &frmVLRClase::cmdAceptar_Click);
    connect(cmdCancelar_, &QPushButton::clicked, this, &QDialog::reject);
    connect(trabajo_, &Trabajo::terminado, this, [this] { Ocupar(false); });
    setModo(Modo::Unirse);
    setMinimumWidth(420);
}

frmVLRClase::~frmVLRClase() = default;

QLineEdit* frmVLRClase::NuevaCaja(const char* nombre) {
    auto* caja = new QLineEdit(this);
    caja->setObjectName(QString::fromLatin1(nombre));
    formulario_->addRow(new QLabel(this), caja);
    return caja;
}

void frmVLRClase::setModo(Modo modo) {
    modo_ = modo;
    formulario_->setRowVisible(txtCodigo_, modo != Modo::Crear);
    CargarTextos();
}

void frmVLRClase::CargarTextos() {
    const int titulo[] = {2320, 2343, 2344};
    setWindowTitle(T(titulo[int(modo_)]));
    auto rotulo = [this](QLineEdit* caja, int id) {
        if (auto* l = qobject_cast<QLabel*>(formulario_->labelForField(caja)))
            l->setText(T(id));
    };
    rotulo(txtServidor_, 2321);
    rotulo(txtCodigo_, 2322);
    rotulo(txtNombre_, modo_ == Modo::Unirse ? 2323 : 2346);
    rotulo(txtContrasena_, modo_ == Modo::Unirse ? 2324 : 2362);
    formulario_->setRowVisible(txtNombre_, modo_ != Modo::Publicar);
    cmdAceptar_->setText(T(2325));
    cmdCancelar_->setText(T(2326));
}

void frmVLRClase::Ocupar(bool ocupado) {
    for (QWidget* w : {static_cast<QWidget*>(cmdAceptar_), static_cast<QWidget*>(txtServidor_),
                       static_cast<QWidget*>(txtCodigo_), static_cast<QWidget*>(txtNombre_),
                       static_cast<QWidget*>(txtContrasena_)})
        w->setEnabled(!ocupado);
}

void frmVLRClase::Avisar(const QString& texto) {
    Mensaje(texto, Icono::Exclamacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
}

void frmVLRClase::cmdAceptar_Click() {
    if (trabajo_->Ocupado())
        return;
    switch (modo_) {
        case Modo::Unirse:
            Unirse();
            break;
        case Modo::Crear:
            Crear();
            break;
        case Modo::Publicar:
            Publicar();
            break;
    }
    if (trabajo_->Ocupado())
        Ocupar(true);
}

void frmVLRClase::Unirse() {
    // The class's database open now is replaced by the download: closed, never written under.
    if (AbiertaDeClase()) {
        CerrarVentanas();
        Aplicacion::Actual().SoltarBases();
        emit cerradas();
    }
    const QString servidor = txtServidor_->text().trimmed();
    const QString codigo = txtCodigo_->text().trimmed();
    const std::string alumno = Texto(txtNombre_);
    const std::string contrasena = txtContrasena_->text().toStdString();
    const fs::path directorio = DirectorioAplicacion();
    // An auxiliary database the download replaces is loaded into, under the engine's lock.
    const std::shared_ptr<engine::Database> auxiliar = Aplicacion::Actual().Auxiliar();
    trabajo_->Lanzar(T(2327), auxiliar, [=, this]() -> Trabajo::Entrega {
        aula::Error e;
        const auto m = aula::UnirseAClase(directorio, servidor.toStdString(), codigo.toStdString(),
                                          alumno, contrasena, e, auxiliar.get());
        if (!m)
            return [this, e] { Avisar(QString::fromStdString(aula::ExplicarFallo(e))); };
        return [this, m = *m, servidor] {
            RecordarClase(servidor, QString::fromStdString(m.clase));
            EnvioClase::Instancia().Enviar();
            Mensaje(T(2328).arg(QString::fromStdString(m.nombreClase)), Icono::Informacion,
                    Botones::Aceptar, QStringLiteral("VELIORA"), this);
            emit unida(QString::fromStdString(m.bd));
            accept();
        };
    });
}

void frmVLRClase::Crear() {
    const QString servidor = txtServidor_->text().trimmed();
    const std::string nombre = Texto(txtNombre_);
    const std::string contrasena = txtContrasena_->text().toStdString();
    const fs::path directorio = DirectorioAplicacion();
    trabajo_->Lanzar(T(2365), nullptr, [=, this]() -> Trabajo::Entrega {
        aula::Error e;
        auto almacen = aula::AlmacenProfesor(directorio, servidor.toStdString(), contrasena, e);
        const auto clase = almacen ? almacen->CrearClase(nombre, e) : std::nullopt;
        if (!clase)
            return [this, e] { Avisar(QString::fromStdString(aula::ExplicarFallo(e))); };
        return [this, c = *clase, servidor] {
            const QString codigo = QString::fromStdString(c.codigo);
            RecordarClase(servidor, codigo);
            txtCodigo_->setText(codigo);
            Mensaje(T(2347).arg(QString::fromStdString(c.nombre), codigo), Icono::Informacion,
                    Botones::Aceptar, QStringLiteral("VELIORA"), this);
            accept();
        };
    });
}

void frmVLRClase::Publicar() {
    if (!Aplicacion::Actual().UsuarioAbierto())
        return;
    const QString servidor = txtServidor_->text().trimmed();
    const QString codigo = txtCodigo_->text().trimmed();
    const std::string contrasena = txtContrasena_->text().toStdString();
    const fs::path directorio = DirectorioAplicacion();
    const fs::path bd = Aplicacion::Actual().Usuario()->Name();
    const auto auxiliar = Aplicacion::Actual().Auxiliar();
    const fs::path aux = auxiliar ? fs::path(auxiliar->Name()) : fs::path();
    // The open database is read under the engine's lock: no window writes it meanwhile.
    trabajo_->Lanzar(T(2364), Aplicacion::Actual().Usuario(), [=, this]() -> Trabajo::Entrega {
        aula::Error e;
        auto almacen = aula::AlmacenProfesor(directorio, servidor.toStdString(), contrasena, e);
        const auto publicada = almacen ? aula::PublicarBaseDatos(*almacen, codigo.toStdString(), bd,
                                                                 aux, aula::NombrePublicado(bd), e)
                                       : std::nullopt;
        if (!publicada)
            return [this, e] { Avisar(QString::fromStdString(aula::ExplicarFallo(e))); };
        return [this, p = *publicada, servidor, codigo] {
            RecordarClase(servidor, codigo);
            Mensaje(T(2348).arg(p.version).arg(QString::fromStdString(p.hash)), Icono::Informacion,
                    Botones::Aceptar, QStringLiteral("VELIORA"), this);
            accept();
        };
    });
}

}  // namespace veliora::ui
