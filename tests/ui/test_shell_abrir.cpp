// Opening a user database and its auxiliary database from the main window.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <fstream>

#include "core/session/apertura.h"
#include "test_shell_comun.h"
#include "ui/practice/frmVLREjecutarQuery.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/frmVLRMdi.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRMdi;
namespace fs = std::filesystem;

namespace {

bool MenuHabilitado(const frmVLRMdi& w, const char* nombre) {
    return w.findChild<QMenu*>(QString::fromLatin1(nombre))->menuAction()->isEnabled();
}

}  // namespace

class TestShellAbrir : public QObject {
    Q_OBJECT

  private slots:
    void init() { entorno_ = std::make_unique<EntornoShell>(); }
    void cleanup() {
        captura_.Limpiar();
        entorno_.reset();
    }

    // A folder with blanks on the way, as a user's folders often have.
    void abreAmbasYCreaLaAuxiliar() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "mi curso" / "alumnos.db");
        const fs::path auxiliar = entorno_->home() / "alumnos.db_";
        QVERIFY(!fs::exists(auxiliar));
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(bd)));
        QVERIFY(captura_.mensajes().empty());
        QVERIFY(fs::exists(auxiliar));
        QCOMPARE(Aplicacion::Actual().Usuario()->Name(), bd.string());
        QCOMPARE(fs::path(Aplicacion::Actual().Auxiliar()->Name()), auxiliar);
    }

    // The user database stays open; the auxiliary database's failure is told and the menus
    // that need it stay off.
    void sinPlantillaMensaje203() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "curso" / "alumnos.db");
        frmVLRMdi w;
        w.Iniciar({});  // start-up seeding brings the template back
        fs::remove(entorno_->home() / "bdaux.db");
        QVERIFY(!Abrir(w, Q(bd)));
        QCOMPARE(int(captura_.mensajes().size()), 1);
        const auto& m = captura_.mensajes().front();
        QCOMPARE(m.texto, QStringLiteral("Error abriendo la base de datos auxiliar"));
        QCOMPARE(m.icono, ui::Icono::Ninguno);
        QCOMPARE(m.botones, ui::Botones::Aceptar);
        QCOMPARE(m.titulo, QStringLiteral("VELIORA"));
        for (const char* menu : {"mnuBD", "mnuConsultas", "mnuBoletines"})
            QVERIFY2(!MenuHabilitado(w, menu), menu);
        QVERIFY(Aplicacion::Actual().Usuario() &&
                Aplicacion::Actual().Usuario()->Name() == bd.string());
        QVERIFY(!Aplicacion::Actual().Auxiliar());
    }

    // The menus after a failed open are the menu test's; here the message and the handles.
    void archivoQueNoEsBaseDeDatosMensaje202() {
        const fs::path ruta = entorno_->home() / "falsa.db";
        std::ofstream(ruta) << "esto no es una base de datos\n";
        const auto buena = EntornoShell::CrearBD(entorno_->home() / "buena.db");
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(buena)));
        const auto auxiliarAnterior = Aplicacion::Actual().Auxiliar();
        auto* archivo = w.findChild<QLabel*>(QStringLiteral("lblEstadoArchivo"));
        QTRY_COMPARE(archivo->text(), QStringLiteral("buena.db"));

        QVERIFY(!Abrir(w, Q(ruta)));
        QCOMPARE(int(captura_.mensajes().size()), 1);
        QCOMPARE(captura_.mensajes().front().texto,
                 QStringLiteral("Error abriendo la base de datos"));
        QCOMPARE(captura_.mensajes().front().icono, ui::Icono::Ninguno);
        QCOMPARE(Aplicacion::Actual().Usuario()->Name(), buena.string());
        QCOMPARE(Aplicacion::Actual().Auxiliar(), auxiliarAnterior);
        QVERIFY(!fs::exists(entorno_->home() / "falsa.db_"));
        QTRY_VERIFY(archivo->text().isEmpty());  // like the title: no database
    }

    // Windows opened on one database never go on using it once another is open.
    void otraBaseCierraLasVentanasDeLaAnterior() {
        const auto a = EntornoShell::CrearBD(entorno_->home() / "a" / "alumnos.db");
        const fs::path b = entorno_->home() / "b" / "coches.db";
        fs::create_directories(b.parent_path());
        BuildDatabase(b,
                      "CREATE TABLE Coches(Id INTEGER PRIMARY KEY, Marca TEXT);"
                      "INSERT INTO Coches VALUES (1, 'Seat'), (2, 'Fiat');");
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(a)));
        QCOMPARE(w.windowTitle(), QStringLiteral("VELIORA - alumnos.db"));
        const char* ventanas[][2] = {{"mnuRealizarConsultasAleatorias", "frmVLRQuerys"},
                                     {"mnuRealizarConsultasDirectas", "frmVLREjecutarQuery"}};
        for (const auto& [menu, ventana] : ventanas) {
            w.findChild<QAction*>(QString::fromLatin1(menu))->trigger();
            QVERIFY(ui::BuscarVentana(QString::fromLatin1(ventana)));
        }
        // A typed statement is lost only when the user says so; No is the default.
        QTest::keyClicks(
            ui::BuscarVentana("frmVLREjecutarQuery")->findChild<QPlainTextEdit*>("txtPregunta"),
            "select");
        captura_.FijarRespuesta(ui::Respuesta::No);
        QVERIFY(!Abrir(w, Q(b)));
        QCOMPARE(captura_.mensajes().at(0).texto,
                 QStringLiteral("¿Cerrar las ventanas abiertas?\r\nSe perderá lo que se ha "
                                "escrito en ellas."));
        QVERIFY(captura_.mensajes().at(0).botones == ui::Botones::SiNoPorDefectoNo);
        QVERIFY(ui::BuscarVentana("frmVLREjecutarQuery"));
        captura_.FijarRespuesta(ui::Respuesta::Si);
        QVERIFY(Abrir(w, Q(b)));
        captura_.Limpiar();
        QCOMPARE(w.windowTitle(), QStringLiteral("VELIORA - coches.db"));
        for (const auto& [menu, ventana] : ventanas)
            QVERIFY(!ui::BuscarVentana(QString::fromLatin1(ventana)));
        BorrarCerradas();

        w.findChild<QAction*>(QStringLiteral("mnuRealizarConsultasAleatorias"))->trigger();
        auto* practica = qobject_cast<ui::frmVLRQuerys*>(ui::BuscarVentana("frmVLRQuerys"));
        QVERIFY(practica);
        practica->PrepararModo();
        for (int caja = 2; caja <= 5; ++caja)  // B has no relations: one-table questions only
            practica->findChild<QCheckBox*>(QStringLiteral("chkQuery%1").arg(caja))
                ->setChecked(false);
        practica->findChild<QPushButton*>("cmdQuery")->click();
        QVERIFY(QTest::qWaitFor([&] { return !practica->Ocupada(); }, 20000));
        QVERIFY2(practica->SolucionSQL().contains(QStringLiteral("coches")),
                 qPrintable(practica->SolucionSQL()));
        w.findChild<QAction*>(QStringLiteral("mnuRealizarConsultasDirectas"))->trigger();
        auto* directa =
            qobject_cast<ui::frmVLREjecutarQuery*>(ui::BuscarVentana("frmVLREjecutarQuery"));
        QVERIFY(directa);
        directa->findChild<QPlainTextEdit*>("txtPregunta")->setPlainText("select * from Coches");
        directa->findChild<QPushButton*>("cmdEjecutar")->click();
        QVERIFY(QTest::qWaitFor([&] { return !directa->Ocupada(); }, 20000));
        auto* rejilla = directa->findChild<QTableView*>();
        QVERIFY(rejilla && rejilla->model());
        QCOMPARE(rejilla->model()->rowCount(), 2);
        QVERIFY2(
            captura_.mensajes().empty(),
            qPrintable(captura_.mensajes().empty() ? QString() : captura_.mensajes()[0].texto));
        ui::CerrarVentanas();
        BorrarCerradas();
    }

  private:
    std::unique_ptr<EntornoShell> entorno_;
    ui::CapturaMensajes captura_;
};

QTEST_MAIN(TestShellAbrir)
#include "test_shell_abrir.moc"
