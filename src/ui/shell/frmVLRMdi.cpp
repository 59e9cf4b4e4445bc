#include "ui/shell/frmVLRMdi.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <filesystem>

#include "core/access/conversion.h"
#include "core/app/aplicacion.h"
#include "core/aula/clase.h"
#include "core/aula/textos.h"
#include "core/base/textos.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "core/shell/registro.h"
#include "ui/aula/envio_clase.h"
#include "ui/aula/frmVLRClase.h"
#include "ui/aula/frmVLRMiProgreso.h"
#include "ui/aula/frmVLRSeguimiento.h"
#include "ui/bulletins/frmVLRExportarBoletin.h"
#include "ui/bulletins/frmVLRImportarBoletines.h"
#include "ui/bulletins/frmVLRMBoletines.h"
#include "ui/dictionary/frmVLRCrearBDAuxiliar.h"
#include "ui/dictionary/frmVLRDefinirDatos.h"
#include "ui/practice/frmVLREjecutarQuery.h"
#include "ui/practice/frmVLRGuardarQuery.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/ayuda.h"
#include "ui/shell/escritorio.h"
#include "ui/shell/frmVLRAbout.h"
#include "ui/shell/frmVLRAyuda.h"
#include "ui/shell/frmVLRCambiarIdioma.h"
#include "ui/shell/frmVLRConvertirAccess.h"
#include "ui/shell/frmVLRLogin.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/traduccion_qt.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {
QString DesdeRuta(const std::filesystem::path& ruta) {
    return QString::fromStdString(ruta.string());
}

// Shows a child window of class W, after `preparar` has set its properties.
template <class W, class F>
W* AbrirHija(F preparar) {
    W* ventana = ObtenerVentana<W>();
    preparar(*ventana);
    MostrarVentana(ventana);
    return ventana;
}
template <class W>
W* AbrirHija() {
    return AbrirHija<W>([](W&) {});
}

// A modal dialog exists only while it runs; QPointer survives a dialog that deletes
// itself on close.
template <class W, class F>
void AbrirModal(QWidget* padre, F preparar) {
    QPointer<W> dialogo = new W(padre);
    dialogo->setObjectName(NombreVentana(W::staticMetaObject));
    preparar(*dialogo);
    dialogo->exec();
    delete dialogo.data();
}
}  // namespace

frmVLRMdi::frmVLRMdi(QWidget* parent) : QMainWindow(parent) {
    InicializarRecursos();
    setObjectName(QStringLiteral("frmVLRMdi"));
    setWindowTitle(QStringLiteral("VELIORA"));  // the product name, in every language

    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    FijarAreaMdi(area_);

    mnuArchivo_ = NuevoMenu("mnuArchivo");
    mnuAbrir_ = NuevaAccion(mnuArchivo_, "mnuAbrir");
    NuevoSeparador(mnuArchivo_, "mnuSepClase");
    mnuUnirseClase_ = NuevaAccion(mnuArchivo_, "mnuUnirseClase");
    mnuMiProgreso_ = NuevaAccion(mnuArchivo_, "mnuMiProgreso");
    NuevoSeparador(mnuArchivo_, "mnuSepImpBoletines");
    mnuImportarBoletines_ = NuevaAccion(mnuArchivo_, "mnuImportarBoletines");
    NuevoSeparador(mnuArchivo_, "mnuSepSelIdioma");
    mnuSelIdioma_ = NuevaAccion(mnuArchivo_, "mnuSelIdioma");
    NuevoSeparador(mnuArchivo_, "mnuSepSalir");
    mnuSalir_ = NuevaAccion(mnuArchivo_, "mnuSalir");

    mnuBD_ = NuevoMenu("mnuBD");
    mnuVerEstructura_ = NuevaAccion(mnuBD_, "mnuVerEstructura");
    mnuCompletarBD_ = NuevaAccion(mnuBD_, "mnuCompletarBD");
    mnuCrearBDAuxiliar_ = NuevaAccion(mnuBD_, "mnuCrearBDAuxiliar");

    mnuConsultas_ = NuevoMenu("mnuConsultas");
    mnuRealizarConsultasAleatorias_ = NuevaAccion(mnuConsultas_, "mnuRealizarConsultasAleatorias");
    mnuRealizarConsultasBoletines_ = NuevaAccion(mnuConsultas_, "mnuRealizarConsultasBoletines");
    mnuRealizarConsultasDirectas_ = NuevaAccion(mnuConsultas_, "mnuRealizarConsultasDirectas");

    mnuBoletines_ = NuevoMenu("mnuBoletines");
    mnuMantBoletines_ = NuevaAccion(mnuBoletines_, "mnuMantBoletines");
    mnuExpBoletines_ = NuevaAccion(mnuBoletines_, "mnuExpBoletines");

    mnuClase_ = NuevoMenu("mnuClase");
    mnuCrearClase_ = NuevaAccion(mnuClase_, "mnuCrearClase");
    mnuPublicarClase_ = NuevaAccion(mnuClase_, "mnuPublicarClase");
    mnuSeguimientoClase_ = NuevaAccion(mnuClase_, "mnuSeguimientoClase");

    mnuAyuda_ = NuevoMenu("mnuAyuda");
    mnuAyudaIndice_ = NuevaAccion(mnuAyuda_, "mnuAyudaIndice");
    mnuAyudaSQL_ = NuevaAccion(mnuAyuda_, "mnuAyudaSQL");
    NuevoSeparador(mnuAyuda_, "mnuSepAyuda");
    mnuAyudaBD_ = NuevaAccion(mnuAyuda_, "mnuAyudaBD");
    NuevoSeparador(mnuAyuda_, "mnuSepAyudaBD");
    mnuAyudaAcercaDe_ = NuevaAccion(mnuAyuda_, "mnuAyudaAcercaDe");
    mnuVentana_ = CrearMenuVentana(this, area_, mnuAyuda_);
    mnuAbrir_->setShortcut(QKeySequence::Open);
    mnuAyudaIndice_->setShortcut(QKeySequence::HelpContents);
    CrearBarraEstado(this);
    trabajoClase_ = new Trabajo(this);
    statusBar()->addWidget(trabajoClase_);

    // Not taken from the string table: the same caption in both languages.
    mnuImportarBoletines_->setText(QStringLiteral("Importar boletines"));
    mnuSelIdioma_->setText(QStringLiteral("Seleccionar idioma"));

    // Nothing to show before a database has been opened.
    mnuAyudaBD_->setEnabled(false);

    auto enlazar = [this](QAction* accion, void (frmVLRMdi::*manejador)()) {
        connect(accion, &QAction::triggered, this, [this, manejador] { (this->*manejador)(); });
    };
    enlazar(mnuAbrir_, &frmVLRMdi::mnuAbrir_Click);
    enlazar(mnuUnirseClase_, &frmVLRMdi::mnuUnirseClase_Click);
    enlazar(mnuMiProgreso_, &frmVLRMdi::mnuMiProgreso_Click);
    enlazar(mnuCrearClase_, &frmVLRMdi::mnuCrearClase_Click);
    enlazar(mnuPublicarClase_, &frmVLRMdi::mnuPublicarClase_Click);
    enlazar(mnuSeguimientoClase_, &frmVLRMdi::mnuSeguimientoClase_Click);
    enlazar(mnuImportarBoletines_, &frmVLRMdi::mnuImportarBoletines_Click);
    enlazar(mnuSelIdioma_, &frmVLRMdi::mnuSelIdioma_Click);
    enlazar(mnuSalir_, &frmVLRMdi::mnuSalir_Click);
    enlazar(mnuVerEstructura_, &frmVLRMdi::mnuVerEstructura_Click);
    enlazar(mnuCompletarBD_, &frmVLRMdi::mnuCompletarBD_Click);
    enlazar(mnuCrearBDAuxiliar_, &frmVLRMdi::mnuCrearBDAuxiliar_Click);
    enlazar(mnuRealizarConsultasAleatorias_, &frmVLRMdi::mnuRealizarConsultasAleatorias_Click);
    enlazar(mnuRealizarConsultasBoletines_, &frmVLRMdi::mnuRealizarConsultasBoletines_Click);
    enlazar(mnuRealizarConsultasDirectas_, &frmVLRMdi::mnuRealizarConsultasDirectas_Click);
    enlazar(mnuMantBoletines_, &frmVLRMdi::mnuMantBoletines_Click);
    enlazar(mnuExpBoletines_, &frmVLRMdi::mnuExpBoletines_Click);
    enlazar(mnuAyudaIndice_, &frmVLRMdi::mnuAyudaIndice_Click);
    enlazar(mnuAyudaSQL_, &frmVLRMdi::mnuAyudaSQL_Click);
    enlazar(mnuAyudaBD_, &frmVLRMdi::mnuAyudaBD_Click);
    enlazar(mnuAyudaAcercaDe_, &frmVLRMdi::mnuAyudaAcercaDe_Click);

    RestaurarGeometria(this);
}

frmVLRMdi::~frmVLRMdi() {
    if (AreaMdi() == area_)
        FijarAreaMdi(nullptr);
}

QMenu* frmVLRMdi::NuevoMenu(const char* nombre) {
    QMenu* menu = menuBar()->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(nombre));
    // The menu bar entry too, so that either can be looked up by the control's name.
    menu->menuAction()->setObjectName(QString::fromLatin1(nombre));
    return menu;
}

QAction* frmVLRMdi::NuevaAccion(QMenu* menu, const char* nombre) {
    QAction* accion = menu->addAction(QString());
    accion->setObjectName(QString::fromLatin1(nombre));
    return accion;
}

void frmVLRMdi::NuevoSeparador(QMenu* menu, const char* nombre) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(nombre));
}

void frmVLRMdi::HabilitarMenu(QMenu* menu, bool habilitado) {
    menu->menuAction()->setEnabled(habilitado);
    menu->setEnabled(habilitado);
}

void frmVLRMdi::Iniciar(const QStringList& argumentos, const EjecutorLogin& ejecutarLogin) {
    // A warning about the settings may come from a worker: it is shown on the window thread,
    // once the window is up.
    FijarReceptorAvisos([](const std::string& texto) {
        QMetaObject::invokeMethod(
            qApp,
            [texto] {
                Mensaje(QString::fromStdString(texto), Icono::Exclamacion, Botones::Aceptar,
                        QStringLiteral("VELIORA"));
            },
            Qt::QueuedConnection);
    });
    Aplicacion::Actual().LeerIdioma();
    TraducirQt();
    SembrarDirectorioAplicacion();
    RestaurarGeometria(this);
    CargarTextos();
    DeshabilitarMenus();

    if (PideModoProfesor(argumentos)) {
        // Centred on the screen while the main window is not shown yet.
        frmVLRLogin login(isVisible() ? this : nullptr);
        if (ejecutarLogin)
            ejecutarLogin(login);
        else
            login.exec();
    }

    HabilitarMenuClase();
    const QString baseDatos = BaseDatosDeLineaComandos(argumentos);
    if (!baseDatos.isEmpty())
        AbrirBaseDatos(baseDatos);

    // The joined class: what was left to send goes now; a newer version is offered.
    EnvioClase& envio = EnvioClase::Instancia();
    connect(&envio, &EnvioClase::versionNueva, this, &frmVLRMdi::OfrecerVersion,
            Qt::UniqueConnection);
    envio.Enviar();
    envio.BuscarVersionNueva();
}

void frmVLRMdi::HabilitarMenuClase() {
    mnuClase_->menuAction()->setVisible(Aplicacion::Actual().Profesor());
    mnuPublicarClase_->setEnabled(Aplicacion::Actual().UsuarioAbierto());
}

bool frmVLRMdi::PideModoProfesor(const QStringList& argumentos) {
    return argumentos.join(QLatin1Char(' ')).toUpper().contains(QStringLiteral("/PROFESOR"));
}

QString frmVLRMdi::BaseDatosDeLineaComandos(const QStringList& argumentos) {
    if (argumentos.isEmpty())
        return {};
    const QString& ultimo = argumentos.last();
    // A switch such as /PROFESOR is not a file; an absolute path to one is.
    const QFileInfo archivo(ultimo);
    if (ultimo.isEmpty() || !archivo.exists() || !archivo.isFile())
        return {};
    return archivo.absoluteFilePath();
}

void frmVLRMdi::CargarTextos() {
    mnuArchivo_->setTitle(T(101));
    mnuAbrir_->setText(T(102));
    mnuSalir_->setText(T(103));
    mnuBD_->setTitle(T(104));
    mnuVerEstructura_->setText(T(105));
    mnuCompletarBD_->setText(T(106));
    mnuCrearBDAuxiliar_->setText(T(107));
    mnuConsultas_->setTitle(T(108));
    mnuRealizarConsultasAleatorias_->setText(T(109));
    mnuRealizarConsultasBoletines_->setText(T(110));
    mnuRealizarConsultasDirectas_->setText(T(111));
    mnuBoletines_->setTitle(T(112));
    mnuMantBoletines_->setText(T(113));
    mnuExpBoletines_->setText(T(114));
    mnuAyuda_->setTitle(T(115));
    mnuAyudaIndice_->setText(T(116));
    mnuAyudaSQL_->setText(T(117));
    mnuAyudaAcercaDe_->setText(T(118));
    mnuAyudaBD_->setText(T(119));
    mnuUnirseClase_->setText(T(2320));
    mnuMiProgreso_->setText(T(2337));
    mnuClase_->setTitle(T(2342));
    mnuCrearClase_->setText(T(2343));
    mnuPublicarClase_->setText(T(2344));
    mnuSeguimientoClase_->setText(T(2345));
    TextosMenuVentana(mnuVentana_);
    PonerMnemonicos(menuBar());
}

void frmVLRMdi::DeshabilitarMenus() {
    HabilitarMenu(mnuBD_, false);
    HabilitarMenu(mnuConsultas_, false);
    HabilitarMenu(mnuBoletines_, false);
    HabilitarMenuClase();
}

void frmVLRMdi::HabilitarMenus() {
    HabilitarMenu(mnuBD_, true);
    HabilitarMenu(mnuConsultas_, true);
    HabilitarMenu(mnuBoletines_, true);
    mnuCompletarBD_->setEnabled(Aplicacion::Actual().Profesor());
    mnuCrearBDAuxiliar_->setEnabled(Aplicacion::Actual().Profesor());
    HabilitarMenu(mnuBoletines_, Aplicacion::Actual().Profesor());
    HabilitarMenuClase();
    ComprobarAyudaBD();
}

void frmVLRMdi::ComprobarAyudaBD() {
    const std::filesystem::path pagina = Aplicacion::Actual().RutaAyuda();
    std::error_code ec;
    mnuAyudaBD_->setEnabled(!pagina.empty() && std::filesystem::is_regular_file(pagina, ec));
}

void frmVLRMdi::AbrirBaseDatos(const QString& ruta) {
    // One opening at a time; the windows close whatever this open ends in: typed work goes
    // only when the user says.
    if (convirtiendo_ ||
        (HayTrabajoEscrito() &&
         Mensaje(T(2436) + QStringLiteral("\r\n") + T(2439), Icono::Exclamacion,
                 Botones::SiNoPorDefectoNo, QStringLiteral("VELIORA"), this) != Respuesta::Si)) {
        emit baseAbierta(false);
        return;
    }
    if (!access::EsArchivoAccess(ruta.toStdString())) {
        emit baseAbierta(AbrirBases(ruta));
        return;
    }
    // Converted here, with progress and Cancel; AbrirBases then finds it ready.
    convirtiendo_ = true;
    auto* conversion = new frmVLRConvertirAccess(ruta, this);
    conversion->Ejecutar([this, conversion, ruta](bool ok, const engine::Error& error) {
        conversion->deleteLater();
        convirtiendo_ = false;
        emit baseAbierta(TrasConvertir(*conversion, ok, error) && AbrirBases(ruta));
    });
}

bool frmVLRMdi::TrasConvertir(const frmVLRConvertirAccess& conversion, bool ok,
                              const engine::Error& error) {
    if (!ok) {
        if (access::Cancelada(error))
            return false;  // cancelled: the open database stays as it was
        Mensaje(T(202) + QLatin1Char('\n') + QString::fromStdString(TextoDeError(error)),
                Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        DeshabilitarMenus();
        return false;
    }
    if (const QString notas = frmVLRConvertirAccess::Notas(conversion.Resultado());
        !notas.isEmpty())
        Mensaje(notas, Icono::Exclamacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    return true;
}

bool frmVLRMdi::AbrirBases(const QString& ruta) {
    // Every child window works on the open databases: none may go on showing or using the
    // previous ones, whatever this open ends in.
    CerrarVentanas();
    setWindowTitle(QStringLiteral("VELIORA"));
    // The status bar names what the user opened (an Access file, not its conversion), and
    // nothing while no database opened.
    setProperty(kArchivoAbierto, QString());
    if (Aplicacion::Actual().AbrirUsuario(ruta.toStdString()) != 0) {
        Mensaje(T(202), Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        DeshabilitarMenus();
        return false;
    }
    if (Aplicacion::Actual().AbrirAuxiliar(QFileInfo(ruta).fileName().toStdString()) != 0) {
        Mensaje(T(203), Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        DeshabilitarMenus();
        return false;
    }
    setWindowTitle(QStringLiteral("VELIORA - ") + QFileInfo(ruta).fileName());
    setProperty(kArchivoAbierto, QFileInfo(ruta).absoluteFilePath());
    HabilitarMenus();
    return true;
}

void frmVLRMdi::closeEvent(QCloseEvent* event) {
    GuardarGeometria(this);
    // The child windows cancel their work as they close.
    area_->closeAllSubWindows();
    // A worker that ignored its interrupt still holds the user database: it goes when the
    // worker lets go of it, not under its feet.
    Aplicacion::Actual().CerrarBases();
    event->accept();
}

void frmVLRMdi::mnuAbrir_Click() {
    QFileDialog dialogo(this, T(201));
    dialogo.setObjectName(QStringLiteral("CommonDialog1"));
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setFileMode(QFileDialog::ExistingFile);
    dialogo.setDefaultSuffix(QStringLiteral("db"));
    dialogo.setNameFilters(
        {T(2437), QStringLiteral("BD SQLite (*.db *.sqlite *.sqlite3)"), T(1608), T(150)});
    // Where the open database is, when one is.
    const QString abierta = property(kArchivoAbierto).toString();
    if (!abierta.isEmpty())
        dialogo.setDirectory(QFileInfo(abierta).absolutePath());
    if (dialogo.exec() != QDialog::Accepted)
        return;
    const QStringList elegidos = dialogo.selectedFiles();
    if (elegidos.isEmpty() || elegidos.first().isEmpty())
        return;
    AbrirBaseDatos(elegidos.first());
}

void frmVLRMdi::mnuUnirseClase_Click() {
    AbrirModal<frmVLRClase>(this, [this](frmVLRClase& w) {
        w.setModo(frmVLRClase::Modo::Unirse);
        connect(&w, &frmVLRClase::cerradas, this, [this] {
            setWindowTitle(QStringLiteral("VELIORA"));
            DeshabilitarMenus();
        });
        connect(&w, &frmVLRClase::unida, this,
                [this](const QString& ruta) { AbrirBaseDatos(ruta); });
    });
}

void frmVLRMdi::mnuMiProgreso_Click() {
    AbrirHija<frmVLRMiProgreso>([](frmVLRMiProgreso& w) { w.Actualizar(); });
}

void frmVLRMdi::mnuCrearClase_Click() {
    AbrirModal<frmVLRClase>(this, [](frmVLRClase& w) { w.setModo(frmVLRClase::Modo::Crear); });
}

void frmVLRMdi::mnuPublicarClase_Click() {
    AbrirModal<frmVLRClase>(this, [](frmVLRClase& w) { w.setModo(frmVLRClase::Modo::Publicar); });
}

void frmVLRMdi::mnuSeguimientoClase_Click() {
    AbrirHija<frmVLRSeguimiento>([](frmVLRSeguimiento& w) { w.Actualizar(); });
}

void frmVLRMdi::OfrecerVersion(int version) {
    if (trabajoClase_->Ocupado() || Mensaje(T(2341).arg(version), Icono::Ninguno, Botones::SiNo,
                                            QStringLiteral("VELIORA"), this) != Respuesta::Si)
        return;
    const std::filesystem::path directorio = DirectorioAplicacion();
    aula::Error e;
    const auto membresia = aula::LeerMembresia(directorio, e);
    if (!membresia)
        return;
    // The download replaces the class's database: closed first, never written under.
    if (const auto usuario = Aplicacion::Actual().Usuario();
        usuario && usuario->Name() == membresia->bd) {
        CerrarVentanas();
        Aplicacion::Actual().SoltarBases();
        setWindowTitle(QStringLiteral("VELIORA"));
        DeshabilitarMenus();
    }
    const auto auxiliar = Aplicacion::Actual().Auxiliar();
    trabajoClase_->Lanzar(T(2369), auxiliar, [=, this, m = *membresia]() -> Trabajo::Entrega {
        aula::Error error;
        auto almacen = aula::AlmacenAlumno(directorio, m.servidor, m.clase, error);
        const auto nueva =
            almacen ? aula::DescargarMaterial(directorio, *almacen, m, error, auxiliar.get())
                    : std::nullopt;
        if (!nueva)
            return [this, error] {
                Mensaje(QString::fromStdString(aula::ExplicarFallo(error)), Icono::Exclamacion,
                        Botones::Aceptar, QStringLiteral("VELIORA"), this);
            };
        return [this, ruta = QString::fromStdString(nueva->bd)] { AbrirBaseDatos(ruta); };
    });
}

void frmVLRMdi::mnuImportarBoletines_Click() {
    AbrirHija<frmVLRImportarBoletines>();
}

void frmVLRMdi::mnuSelIdioma_Click() {
    AbrirHija<frmVLRCambiarIdioma>();
}

void frmVLRMdi::mnuSalir_Click() {
    // Ends at once: no window is asked to close.
    QCoreApplication::exit(0);
}

void frmVLRMdi::mnuVerEstructura_Click() {
    AbrirHija<frmVLRDefinirDatos>([](frmVLRDefinirDatos& w) { w.setDatosModificables(false); });
}

void frmVLRMdi::mnuCompletarBD_Click() {
    AbrirHija<frmVLRDefinirDatos>([](frmVLRDefinirDatos& w) { w.setDatosModificables(true); });
}

void frmVLRMdi::mnuCrearBDAuxiliar_Click() {
    AbrirHija<frmVLRCrearBDAuxiliar>();
}

void frmVLRMdi::mnuRealizarConsultasAleatorias_Click() {
    frmVLRQuerys* ventana =
        AbrirHija<frmVLRQuerys>([](frmVLRQuerys& w) { w.setNombreBoletin(QString()); });
    if (auto* pregunta = ventana->findChild<QWidget*>(QStringLiteral("txtPregunta")))
        pregunta->setFocus();
}

void frmVLRMdi::mnuRealizarConsultasBoletines_Click() {
    AbrirModal<frmVLRGuardarQuery>(this, [](frmVLRGuardarQuery& w) { w.setModoConsultas(true); });
}

void frmVLRMdi::mnuRealizarConsultasDirectas_Click() {
    AbrirHija<frmVLREjecutarQuery>();
}

void frmVLRMdi::mnuMantBoletines_Click() {
    AbrirHija<frmVLRMBoletines>();
}

void frmVLRMdi::mnuExpBoletines_Click() {
    AbrirHija<frmVLRExportarBoletin>();
}

void frmVLRMdi::mnuAyudaIndice_Click() {
    MostrarAyuda(DesdeRuta(DirectorioAplicacion() / "AYUDA" / Texto(204)));
}

void frmVLRMdi::mnuAyudaSQL_Click() {
    MostrarAyuda(DesdeRuta(DirectorioAplicacion() / "AYUDA" / Texto(205)));
}

void frmVLRMdi::mnuAyudaBD_Click() {
    const std::filesystem::path pagina = Aplicacion::Actual().RutaAyuda();
    if (!pagina.empty())
        MostrarAyuda(DesdeRuta(pagina));
}

void frmVLRMdi::mnuAyudaAcercaDe_Click() {
    AbrirModal<frmVLRAbout>(this, [](frmVLRAbout&) {});
}

}  // namespace veliora::ui
