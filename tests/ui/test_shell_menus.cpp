// Main window: menu structure and captions, the states table, the command line, child
// windows that exist once.
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "core/base/textos.h"
#include "core/session/apertura.h"
#include "test_shell_comun.h"
#include "ui/dictionary/frmVLRDefinirDatos.h"
#include "ui/shell/frmVLRCambiarIdioma.h"
#include "ui/shell/frmVLRLogin.h"
#include "ui/shell/frmVLRMdi.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRMdi;

namespace {

// A caption as it reads, without its mnemonic mark.
QString Visible(QString texto) {
    return texto.remove(QLatin1Char('&'));
}

// E / D of one entry: a menu's own bar entry, or an item.
bool Habilitado(const frmVLRMdi& w, const char* nombre) {
    if (auto* menu = w.findChild<QMenu*>(QString::fromLatin1(nombre)))
        return menu->menuAction()->isEnabled();
    auto* accion = w.findChild<QAction*>(QString::fromLatin1(nombre));
    if (!accion)
        qFatal("no control %s", nombre);
    return accion->isEnabled();
}

struct Fila {
    const char* nombre;
    bool sinBD, alumno, profesor;
};

// The states table; an item of a disabled menu is checked only when its menu is enabled.
const Fila kEstados[] = {
    {"mnuArchivo", true, true, true},
    {"mnuAbrir", true, true, true},
    {"mnuUnirseClase", true, true, true},
    {"mnuMiProgreso", true, true, true},
    {"mnuImportarBoletines", true, true, true},
    {"mnuSelIdioma", true, true, true},
    {"mnuSalir", true, true, true},
    {"mnuBD", false, true, true},
    {"mnuVerEstructura", true, true, true},
    {"mnuCompletarBD", true, false, true},
    {"mnuCrearBDAuxiliar", true, false, true},
    {"mnuConsultas", false, true, true},
    {"mnuRealizarConsultasAleatorias", true, true, true},
    {"mnuRealizarConsultasBoletines", true, true, true},
    {"mnuRealizarConsultasDirectas", true, true, true},
    {"mnuBoletines", false, false, true},
    {"mnuAyuda", true, true, true},
    {"mnuAyudaIndice", true, true, true},
    {"mnuAyudaSQL", true, true, true},
    {"mnuAyudaAcercaDe", true, true, true},
};

const char* MenuDe(const frmVLRMdi& w, const char* item) {
    for (const char* menu : {"mnuArchivo", "mnuBD", "mnuConsultas", "mnuBoletines", "mnuAyuda"})
        for (QAction* a : w.findChild<QMenu*>(QString::fromLatin1(menu))->actions())
            if (a->objectName() == QLatin1String(item))
                return menu;
    return nullptr;
}

enum Columna { SinBD, Alumno, Profesor };

void ComprobarColumna(const frmVLRMdi& w, Columna columna) {
    for (const Fila& f : kEstados) {
        const char* menu = MenuDe(w, f.nombre);
        if (menu && !Habilitado(w, menu))
            continue;  // "(menu D)": the item cannot be reached
        const bool esperado = columna == SinBD    ? f.sinBD
                              : columna == Alumno ? f.alumno
                                                  : f.profesor;
        if (Habilitado(w, f.nombre) != esperado)
            QFAIL(qPrintable(QStringLiteral("%1 should be %2 in column %3")
                                 .arg(QLatin1String(f.nombre))
                                 .arg(esperado ? "E" : "D")
                                 .arg(int(columna))));
    }
}

void SinLogin(ui::frmVLRLogin&) {
    QFAIL("no login expected");
}

}  // namespace

class TestShellMenus : public QObject {
    Q_OBJECT

  private slots:
    void init() { entorno_ = std::make_unique<EntornoShell>(); }
    void cleanup() {
        captura_.Limpiar();
        entorno_.reset();
    }

    void barraDeMenusEnSuOrden() {
        frmVLRMdi w;
        w.Iniciar({});
        QCOMPARE(w.windowTitle(), QStringLiteral("VELIORA"));
        QStringList menus;
        for (QAction* a : w.menuBar()->actions()) menus << a->objectName();
        QCOMPARE(menus, (QStringList{"mnuArchivo", "mnuBD", "mnuConsultas", "mnuBoletines",
                                     "mnuClase", "mnuVentana", "mnuAyuda"}));

        auto nombres = [&](const char* menu) {
            QStringList r;
            for (QAction* a : w.findChild<QMenu*>(QString::fromLatin1(menu))->actions()) {
                // Separators are named mnuSep...; nothing else is one.
                const bool separador = a->objectName().startsWith(QLatin1String("mnuSep"));
                r << (a->isSeparator() == separador ? a->objectName() : QStringLiteral("?"));
            }
            return r;
        };
        QCOMPARE(nombres("mnuArchivo"),
                 (QStringList{"mnuAbrir", "mnuSepClase", "mnuUnirseClase", "mnuMiProgreso",
                              "mnuSepImpBoletines", "mnuImportarBoletines", "mnuSepSelIdioma",
                              "mnuSelIdioma", "mnuSepSalir", "mnuSalir"}));
        QCOMPARE(nombres("mnuBD"),
                 (QStringList{"mnuVerEstructura", "mnuCompletarBD", "mnuCrearBDAuxiliar"}));
        QCOMPARE(nombres("mnuConsultas"),
                 (QStringList{"mnuRealizarConsultasAleatorias", "mnuRealizarConsultasBoletines",
                              "mnuRealizarConsultasDirectas"}));
        QCOMPARE(nombres("mnuBoletines"), (QStringList{"mnuMantBoletines", "mnuExpBoletines"}));
        QCOMPARE(nombres("mnuClase"),
                 (QStringList{"mnuCrearClase", "mnuPublicarClase", "mnuSeguimientoClase"}));
        QCOMPARE(nombres("mnuAyuda"),
                 (QStringList{"mnuAyudaIndice", "mnuAyudaSQL", "mnuSepAyuda", "mnuAyudaBD",
                              "mnuSepAyudaBD", "mnuAyudaAcercaDe"}));
    }

    void captionsEnCastellano() {
        frmVLRMdi w;
        w.Iniciar({});
        auto menu = [&](const char* n) { return Visible(w.findChild<QMenu*>(n)->title()); };
        auto item = [&](const char* n) { return Visible(w.findChild<QAction*>(n)->text()); };
        QCOMPARE(menu("mnuArchivo"), QStringLiteral("Archivo"));
        QCOMPARE(item("mnuAbrir"), QStringLiteral("Abrir base de datos"));
        QCOMPARE(item("mnuSalir"), QStringLiteral("Salir"));
        QCOMPARE(menu("mnuBoletines"), QStringLiteral("Boletines"));
        QCOMPARE(item("mnuExpBoletines"), QStringLiteral("Exportación"));
        // 118 and 119 go to the last two Help entries in the reverse of display order.
        QCOMPARE(item("mnuAyudaAcercaDe"), QStringLiteral("Acerca de"));
        QCOMPARE(item("mnuAyudaBD"), QStringLiteral("Ayuda de la base de datos"));
        QCOMPARE(item("mnuImportarBoletines"), QStringLiteral("Importar boletines"));
        QCOMPARE(item("mnuSelIdioma"), QStringLiteral("Seleccionar idioma"));
    }

    void captionsEnValencianoDesde10101() {
        EntornoShell::FijarIdioma("1");
        frmVLRMdi w;
        w.Iniciar({});
        QCOMPARE(Aplicacion::Actual().DesplazamientoIdioma(), 10000);
        const struct {
            const char* nombre;
            int id;
        } controles[] = {{"mnuArchivo", 101},
                         {"mnuAbrir", 102},
                         {"mnuSalir", 103},
                         {"mnuBD", 104},
                         {"mnuVerEstructura", 105},
                         {"mnuCompletarBD", 106},
                         {"mnuCrearBDAuxiliar", 107},
                         {"mnuConsultas", 108},
                         {"mnuRealizarConsultasAleatorias", 109},
                         {"mnuRealizarConsultasBoletines", 110},
                         {"mnuRealizarConsultasDirectas", 111},
                         {"mnuBoletines", 112},
                         {"mnuMantBoletines", 113},
                         {"mnuExpBoletines", 114},
                         {"mnuAyuda", 115},
                         {"mnuAyudaIndice", 116},
                         {"mnuAyudaSQL", 117},
                         {"mnuAyudaAcercaDe", 118},
                         {"mnuAyudaBD", 119}};
        for (const auto& c : controles) {
            QMenu* menu = w.findChild<QMenu*>(c.nombre);
            const QString texto =
                Visible(menu ? menu->title() : w.findChild<QAction*>(c.nombre)->text());
            QCOMPARE(texto, QString::fromStdString(TextoAbsoluto(c.id + 10000)));
        }
        QCOMPARE(Visible(w.findChild<QMenu*>("mnuArchivo")->title()), QStringLiteral("Arxiu"));
        QCOMPARE(Visible(w.findChild<QAction*>("mnuAbrir")->text()),
                 QStringLiteral("Obrir base de dades"));
        // The two fixed captions and the title stay Spanish.
        QCOMPARE(Visible(w.findChild<QAction*>("mnuImportarBoletines")->text()),
                 QStringLiteral("Importar boletines"));
        QCOMPARE(Visible(w.findChild<QAction*>("mnuSelIdioma")->text()),
                 QStringLiteral("Seleccionar idioma"));
        QCOMPARE(w.windowTitle(), QStringLiteral("VELIORA"));
    }

    void mnemonicsDoNotClashInEitherLanguage() {
        for (const char* idioma : {"0", "1"}) {
            EntornoShell::FijarIdioma(idioma);
            frmVLRMdi w;
            w.Iniciar({});
            auto* ventana = w.findChild<QMenu*>("mnuVentana");
            emit ventana->aboutToShow();  // its items are made on opening
            std::vector<QList<QAction*>> grupos{w.menuBar()->actions()};
            for (QAction* a : w.menuBar()->actions()) grupos.push_back(a->menu()->actions());
            for (const auto& grupo : grupos) {
                QSet<QChar> usadas;
                for (QAction* a : grupo) {
                    if (a->isSeparator())
                        continue;
                    const qsizetype i = a->text().indexOf(QLatin1Char('&'));
                    QVERIFY2(i >= 0 && i + 1 < a->text().size(), qPrintable(a->text()));
                    const QChar letra = a->text()[i + 1].toUpper();
                    QVERIFY2(!usadas.contains(letra), qPrintable(idioma + (": " + a->text())));
                    usadas.insert(letra);
                }
            }
        }
    }

    void estadosSinBaseDeDatos() {
        frmVLRMdi w;
        w.Iniciar({});
        ComprobarColumna(w, SinBD);
        QVERIFY(!Habilitado(w, "mnuAyudaBD"));  // nothing to show yet
    }

    void estadosAlumno() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "datos" / "alumnos.mdb");
        frmVLRMdi w;
        w.Iniciar({}, SinLogin);
        QVERIFY(Abrir(w, Q(bd)));
        QVERIFY(captura_.mensajes().empty());
        ComprobarColumna(w, Alumno);
        QVERIFY(!w.findChild<QMenu*>("mnuClase")->menuAction()->isVisible());
    }

    void estadosProfesor() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "datos" / "alumnos.mdb");
        frmVLRMdi w;
        Aplicacion::Actual().FijarProfesor(true);
        QVERIFY(Abrir(w, Q(bd)));
        ComprobarColumna(w, Profesor);
        QVERIFY(w.findChild<QMenu*>("mnuClase")->menuAction()->isVisible());
        QVERIFY(Habilitado(w, "mnuPublicarClase"));
    }

    void unFalloTrasAbrirVuelveALaPrimeraColumna() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "datos" / "alumnos.mdb");
        std::ofstream(entorno_->home() / "alumnos.htm") << "<html></html>";
        frmVLRMdi w;
        w.Iniciar({});
        Aplicacion::Actual().FijarProfesor(true);
        QVERIFY(Abrir(w, Q(bd)));
        QVERIFY(Habilitado(w, "mnuAyudaBD"));

        QVERIFY(!Abrir(w, Q(entorno_->home() / "no-existe.mdb")));
        QCOMPARE(int(captura_.mensajes().size()), 1);
        ComprobarColumna(w, SinBD);
        QVERIFY(Habilitado(w, "mnuAyudaBD"));                // keeps the state it had
        QVERIFY(Aplicacion::Actual().Usuario() != nullptr);  // the earlier databases are still held
    }

    void ayudaDeLaBaseDeDatosSegunSuPagina() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "datos" / "alumnos.mdb");
        const auto pagina = entorno_->home() / "alumnos.htm";
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(bd)));
        QVERIFY(!Habilitado(w, "mnuAyudaBD"));

        std::ofstream(pagina) << "<html><body>Alumnos</body></html>";
        QVERIFY(Abrir(w, Q(bd)));
        QVERIFY(Habilitado(w, "mnuAyudaBD"));
        QCOMPARE(Aplicacion::Actual().RutaAyuda(), pagina);

        // A page beside the user database does not count: it must be in the application
        // directory.
        std::filesystem::remove(pagina);
        std::ofstream(entorno_->home() / "datos" / "alumnos.htm") << "<html></html>";
        QVERIFY(Abrir(w, Q(bd)));
        QVERIFY(!Habilitado(w, "mnuAyudaBD"));
    }

    void interruptorProfesor_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("pide");
        QTest::newRow("capitals") << QStringList{"/PROFESOR"} << true;
        QTest::newRow("lower case") << QStringList{"/profesor"} << true;
        QTest::newRow("mixed case") << QStringList{"/ProFeSor"} << true;
        QTest::newRow("inside a longer word") << QStringList{"x/profesores"} << true;
        QTest::newRow("among others") << QStringList{"-a", "b", "/profesor", "c.db"} << true;
        QTest::newRow("split by a blank") << QStringList{"/PROF", "ESOR"} << false;
        QTest::newRow("joined across arguments") << QStringList{"a/PROF", "ESOR"} << false;
        QTest::newRow("no slash") << QStringList{"PROFESOR"} << false;
        QTest::newRow("absent") << QStringList{"uno", "dos"} << false;
        QTest::newRow("empty") << QStringList{} << false;
    }
    void interruptorProfesor() {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, pide);
        QCOMPARE(frmVLRMdi::PideModoProfesor(argumentos), pide);
        bool preguntado = false;
        frmVLRMdi w;
        w.Iniciar(argumentos, [&](ui::frmVLRLogin& login) {
            preguntado = true;
            login.reject();
        });
        QCOMPARE(preguntado, pide);
        QVERIFY(!Aplicacion::Actual().Profesor());
    }

    void baseDeDatosEnLaLineaDeComandos() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "datos" / "alumnos.mdb");
        QCOMPARE(frmVLRMdi::BaseDatosDeLineaComandos({"/PROFESOR"}), QString());
        QCOMPARE(frmVLRMdi::BaseDatosDeLineaComandos({Q(bd), "/PROFESOR"}), QString());
        QCOMPARE(frmVLRMdi::BaseDatosDeLineaComandos({Q(entorno_->home())}), QString());

        frmVLRMdi w;
        w.Iniciar({"/profesor", Q(bd)}, [](ui::frmVLRLogin& login) {
            login.findChild<QLineEdit*>("txtUserName")->setText("tramu");
            login.findChild<QLineEdit*>("txtPassword")->setText("galvino");
            login.findChild<QPushButton*>("cmdAceptar")->click();
        });
        QVERIFY(Aplicacion::Actual().Profesor());
        QVERIFY(Aplicacion::Actual().Usuario() && Aplicacion::Actual().Auxiliar());
        QCOMPARE(Aplicacion::Actual().Usuario()->Name(), bd.string());
        ComprobarColumna(w, Profesor);
    }

    void cadaVentanaExisteUnaVez() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "alumnos.mdb");
        frmVLRMdi w;
        w.Iniciar({});
        Aplicacion::Actual().FijarProfesor(true);
        QVERIFY(Abrir(w, Q(bd)));
        w.show();

        w.findChild<QAction*>("mnuVerEstructura")->trigger();
        auto* primera = qobject_cast<ui::frmVLRDefinirDatos*>(
            ui::BuscarVentana(QStringLiteral("frmVLRDefinirDatos")));
        QVERIFY(primera);
        QVERIFY(!primera->DatosModificables());
        QVERIFY(ui::MarcoDe(primera));

        // The same window comes forward, with the property set again.
        QPointer<ui::frmVLRDefinirDatos> vigilada = primera;
        w.findChild<QAction*>("mnuSelIdioma")->trigger();
        w.findChild<QAction*>("mnuCompletarBD")->trigger();
        QCOMPARE(ui::BuscarVentana(QStringLiteral("frmVLRDefinirDatos")), primera);
        QVERIFY(primera->DatosModificables());
        QCOMPARE(w.Area()->activeSubWindow(), ui::MarcoDe(primera));
        QCOMPARE(w.Area()->subWindowList().size(), 2);

        // Closed, it is created anew next time.
        primera->close();
        QTRY_VERIFY(vigilada.isNull());
        QTRY_COMPARE(w.Area()->subWindowList().size(), 1);
        w.findChild<QAction*>("mnuVerEstructura")->trigger();
        QVERIFY(ui::BuscarVentana(QStringLiteral("frmVLRDefinirDatos")) != nullptr);
        QCOMPARE(w.Area()->subWindowList().size(), 2);
    }

    void cerrarLaVentanaCierraLasBasesDeDatos() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "alumnos.mdb");
        auto w = std::make_unique<frmVLRMdi>();
        w->Iniciar({});
        QVERIFY(Abrir(*w, Q(bd)));
        std::weak_ptr<engine::Database> usuario = Aplicacion::Actual().Usuario(),
                                        auxiliar = Aplicacion::Actual().Auxiliar();
        w->show();
        w->findChild<QAction*>("mnuSelIdioma")->trigger();
        QVERIFY(w->close());
        QVERIFY(!Aplicacion::Actual().Usuario() && !Aplicacion::Actual().Auxiliar());
        QVERIFY(usuario.expired() && auxiliar.expired());
        QVERIFY(captura_.mensajes().empty());
    }

  private:
    std::unique_ptr<EntornoShell> entorno_;
    ui::CapturaMensajes captura_;
};

QTEST_MAIN(TestShellMenus)
#include "test_shell_menus.moc"
