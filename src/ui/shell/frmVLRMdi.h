#pragma once
// The main window: the MDI area every child window opens in, the menu bar and the rule
// that decides which menus the open database and the user's mode allow.

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/engine/error.h"

class QAction;
class QMdiArea;
class QMenu;

namespace veliora::ui {

class frmVLRConvertirAccess;
class frmVLRLogin;
class Trabajo;

class frmVLRMdi : public QMainWindow {
    Q_OBJECT
  public:
    // Runs the access-control dialog modally; tests drive it instead of blocking.
    using EjecutorLogin = std::function<void(frmVLRLogin&)>;

    explicit frmVLRMdi(QWidget* parent = nullptr);
    ~frmVLRMdi() override;

    // Start-up: language, application directory, captions, menus disabled, the login when
    // the command line asks for teacher mode, then the database named last on the command
    // line. `argumentos` excludes the program's own name.
    void Iniciar(const QStringList& argumentos, const EjecutorLogin& ejecutarLogin = {});

    void CargarTextos();
    void DeshabilitarMenus();
    void HabilitarMenus();
    void ComprobarAyudaBD();

    // The open procedure once a file has been chosen. An Access file is converted first,
    // while the window goes on; baseAbierta tells how every opening ends.
    void AbrirBaseDatos(const QString& ruta);

    // Whether the command line (arguments joined by blanks) asks for teacher mode.
    static bool PideModoProfesor(const QStringList& argumentos);
    // The database file the command line names (its last argument, when it is an existing
    // file), or the empty string.
    static QString BaseDatosDeLineaComandos(const QStringList& argumentos);

    QMdiArea* Area() const { return area_; }

  signals:
    // An opening has ended: true when both databases opened.
    void baseAbierta(bool abierta);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QMenu* NuevoMenu(const char* nombre);
    QAction* NuevaAccion(QMenu* menu, const char* nombre);
    void NuevoSeparador(QMenu* menu, const char* nombre);
    static void HabilitarMenu(QMenu* menu, bool habilitado);

    // The opening after an Access file's conversion ended (`ok` or why not).
    bool TrasConvertir(const frmVLRConvertirAccess& conversion, bool ok,
                       const engine::Error& error);
    // The user database at `ruta` (ready when it is an Access file) and its auxiliary one.
    bool AbrirBases(const QString& ruta);

    void mnuAbrir_Click();
    void mnuUnirseClase_Click();
    void mnuMiProgreso_Click();
    void mnuCrearClase_Click();
    void mnuPublicarClase_Click();
    void mnuSeguimientoClase_Click();
    // The class menu exists for a teacher alone; publishing needs an open database.
    void HabilitarMenuClase();
    // A newer published version of the joined class: offered, then downloaded and opened.
    void OfrecerVersion(int version);
    void mnuImportarBoletines_Click();
    void mnuSelIdioma_Click();
    void mnuSalir_Click();
    void mnuVerEstructura_Click();
    void mnuCompletarBD_Click();
    void mnuCrearBDAuxiliar_Click();
    void mnuRealizarConsultasAleatorias_Click();
    void mnuRealizarConsultasBoletines_Click();
    void mnuRealizarConsultasDirectas_Click();
    void mnuMantBoletines_Click();
    void mnuExpBoletines_Click();
    void mnuAyudaIndice_Click();
    void mnuAyudaSQL_Click();
    void mnuAyudaBD_Click();
    void mnuAyudaAcercaDe_Click();

    QMdiArea* area_ = nullptr;

    QMenu* mnuArchivo_ = nullptr;
    QAction* mnuAbrir_ = nullptr;
    QAction* mnuUnirseClase_ = nullptr;
    QAction* mnuMiProgreso_ = nullptr;
    QAction* mnuImportarBoletines_ = nullptr;
    QAction* mnuSelIdioma_ = nullptr;
    QAction* mnuSalir_ = nullptr;
    QMenu* mnuBD_ = nullptr;
    QAction* mnuVerEstructura_ = nullptr;
    QAction* mnuCompletarBD_ = nullptr;
    QAction* mnuCrearBDAuxiliar_ = nullptr;
    QMenu* mnuConsultas_ = nullptr;
    QAction* mnuRealizarConsultasAleatorias_ = nullptr;
    QAction* mnuRealizarConsultasBoletines_ = nullptr;
    QAction* mnuRealizarConsultasDirectas_ = nullptr;
    QMenu* mnuBoletines_ = nullptr;
    QAction* mnuMantBoletines_ = nullptr;
    QAction* mnuExpBoletines_ = nullptr;
    QMenu* mnuClase_ = nullptr;
    QAction* mnuCrearClase_ = nullptr;
    QAction* mnuPublicarClase_ = nullptr;
    QAction* mnuSeguimientoClase_ = nullptr;
    Trabajo* trabajoClase_ = nullptr;  // the class's downloads, in the status bar
    bool convirtiendo_ = false;        // an Access file's conversion is on its way
    QMenu* mnuAyuda_ = nullptr;
    QAction* mnuAyudaIndice_ = nullptr;
    QAction* mnuAyudaSQL_ = nullptr;
    QAction* mnuAyudaBD_ = nullptr;
    QAction* mnuAyudaAcercaDe_ = nullptr;
    QMenu* mnuVentana_ = nullptr;
};

}  // namespace veliora::ui
