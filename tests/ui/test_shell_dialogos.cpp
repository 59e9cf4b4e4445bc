// The language window, the help pages and the About box.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "core/base/textos.h"
#include "core/generator/vocabulario.h"
#include "core/session/apertura.h"
#include "core/shell/version.h"
#include "test_shell_comun.h"
#include "ui/shell/ayuda.h"
#include "ui/shell/frmVLRAbout.h"
#include "ui/shell/frmVLRAyuda.h"
#include "ui/shell/frmVLRCambiarIdioma.h"
#include "ui/shell/frmVLRMdi.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRAbout;
using veliora::ui::frmVLRCambiarIdioma;
namespace fs = std::filesystem;

namespace {

std::string IdiomaGuardado(const char* nombre = kValorIdioma) {
    std::string valor;
    GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, nombre, valor);
    return valor;
}

// An executable script named `nombre` in `dir`.
void CrearPrograma(const QString& dir, const QString& nombre) {
    QFile f(dir + QLatin1Char('/') + nombre);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

class TestShellDialogos : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        entorno_ = std::make_unique<EntornoShell>();
        abiertas_.clear();
        ui::FijarAbridorUrl([this](const QUrl& url) {
            abiertas_ << url;
            return abridorResponde_;
        });
        abridorResponde_ = true;
    }
    void cleanup() {
        ui::FijarAbridorUrl({});
        frmVLRAbout::FijarLanzador({});
        captura_.Limpiar();
        entorno_.reset();
    }

    // --- language window -------------------------------------------------------------

    // Leaving saves nothing; Spanish to Valencian and back, each change told in the
    // language running.
    void ventanaGuardaElOtroIdioma() {
        Aplicacion::Actual().LeerIdioma();
        QCOMPARE(IdiomaGuardado(), std::string("0"));  // created at start-up
        frmVLRCambiarIdioma salir;
        salir.show();
        salir.findChild<QRadioButton*>("OpValenciano")->click();
        salir.findChild<QPushButton*>("cmdSalir")->click();
        QVERIFY(!salir.isVisible());
        QCOMPARE(IdiomaGuardado(), std::string("0"));
        QVERIFY(captura_.mensajes().empty());

        frmVLRCambiarIdioma v;
        v.show();
        QVERIFY(v.findChild<QRadioButton*>("OpCastellano")->isChecked());
        // The questions follow the interface until another language is picked for them.
        QVERIFY(v.findChild<QRadioButton*>("OpPreguntasAplicacion")->isChecked());

        v.findChild<QRadioButton*>("OpValenciano")->click();
        v.findChild<QRadioButton*>("OpPreguntasCastellano")->click();
        v.findChild<QPushButton*>("cmdAceptar")->click();
        QCOMPARE(IdiomaGuardado(), std::string("1"));
        QCOMPARE(IdiomaGuardado(kValorIdiomaPreguntas), std::string("0"));
        QCOMPARE(int(captura_.mensajes().size()), 1);
        QCOMPARE(captura_.mensajes()[0].texto,
                 QStringLiteral("Los cambios surtirán efecto al reiniciar la aplicación"));
        QCOMPARE(captura_.mensajes()[0].icono, ui::Icono::Informacion);
        QVERIFY(!v.isVisible());
        QCOMPARE(Aplicacion::Actual().DesplazamientoIdioma(),
                 0);  // the running program keeps its language

        Aplicacion::Actual().LeerIdioma();  // the next start
        QCOMPARE(Aplicacion::Actual().DesplazamientoIdioma(), 10000);
        frmVLRCambiarIdioma otra;
        otra.show();
        QVERIFY(otra.findChild<QRadioButton*>("OpValenciano")->isChecked());
        QCOMPARE(generador::LeerIdiomaPreguntas(), generador::Idioma::Castellano);
        QVERIFY(otra.findChild<QRadioButton*>("OpPreguntasCastellano")->isChecked());
        otra.findChild<QRadioButton*>("OpCastellano")->click();
        otra.findChild<QRadioButton*>("OpPreguntasAplicacion")->click();
        otra.findChild<QPushButton*>("cmdAceptar")->click();
        QCOMPARE(IdiomaGuardado(), std::string("0"));
        QCOMPARE(IdiomaGuardado(kValorIdiomaPreguntas), std::string(""));
        QCOMPARE(generador::LeerIdiomaPreguntas(), generador::Idioma::Valenciano);
        QCOMPARE(captura_.mensajes().at(1).texto,
                 QStringLiteral("Els canvis faran efecte quant es reinicie l'aplicació"));
    }

    void siNoSePuedeGuardarLoDice() {
        EntornoShell::FijarIdioma("0");
        const fs::path ini = entorno_->home() / "veliora.ini";
        QVERIFY(fs::exists(ini));
        fs::permissions(ini,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        frmVLRCambiarIdioma v;
        v.show();
        v.findChild<QRadioButton*>("OpValenciano")->click();
        v.findChild<QPushButton*>("cmdAceptar")->click();
        QCOMPARE(int(captura_.mensajes().size()), 1);
        QCOMPARE(captura_.mensajes()[0].texto,
                 QStringLiteral("No se ha podido guardar la configuración del idioma."));
        QCOMPARE(captura_.mensajes()[0].icono, ui::Icono::Critico);
        QVERIFY(!v.isVisible());
        fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
        QCOMPARE(IdiomaGuardado(), std::string("0"));
    }

    // --- help pages ----------------------------------------------------------------------

    void paginasDeAyudaSegunElIdioma_data() {
        QTest::addColumn<QString>("idioma");
        QTest::addColumn<QString>("indice");
        QTest::addColumn<QString>("sintaxis");
        QTest::newRow("Spanish") << QString("0") << QString("MANUAL.HTM")
                                 << QString("SINTAXIS.HTM");
        QTest::newRow("Valencian")
            << QString("1") << QString("MANUALV.HTM") << QString("SINTAXISV.HTM");
    }
    // Index and syntax by language, and the open database's own page.
    void paginasDeAyudaSegunElIdioma() {
        QFETCH(QString, idioma);
        QFETCH(QString, indice);
        QFETCH(QString, sintaxis);
        EntornoShell::FijarIdioma(idioma.toStdString());
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "datos" / "alumnos.mdb");
        std::ofstream(entorno_->home() / "alumnos.htm") << "<html></html>";
        ui::frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(bd)));
        const QString ayuda = Q(entorno_->home() / "AYUDA");
        // The program's own help window shows the page; the browser only on request.
        w.findChild<QAction*>("mnuAyudaIndice")->trigger();
        auto* ventana = qobject_cast<ui::frmVLRAyuda*>(ui::BuscarVentana("frmVLRAyuda"));
        QVERIFY(ventana);
        QCOMPARE(ventana->Pagina(), ayuda + "/" + indice);
        w.findChild<QAction*>("mnuAyudaBD")->trigger();
        QCOMPARE(ventana->Pagina(), Q(entorno_->home() / "alumnos.htm"));
        w.findChild<QAction*>("mnuAyudaSQL")->trigger();
        QCOMPARE(ventana->Pagina(), ayuda + "/" + sintaxis);
        QVERIFY(abiertas_.isEmpty());
        ventana->findChild<QPushButton*>("cmdNavegador")->click();
        QCOMPARE(abiertas_, QList<QUrl>{QUrl::fromLocalFile(ayuda + "/" + sintaxis)});
        QVERIFY(captura_.mensajes().empty());
        ventana->close();
    }

    // The whole path reaches the browser, blanks included; without one the user is told
    // which file to open.
    void mostrarHtmlConYSinNavegador() {
        const QString ruta = Q(entorno_->home() / "mis paginas" / "la ayuda.htm");
        ui::MostrarHTML(ruta);
        QCOMPARE(abiertas_.size(), 1);
        QCOMPARE(abiertas_[0].toLocalFile(), ruta);
        QVERIFY(captura_.mensajes().empty());
        abridorResponde_ = false;
        ui::MostrarHTML(ruta);
        QCOMPARE(int(captura_.mensajes().size()), 1);
        QCOMPARE(captura_.mensajes()[0].texto,
                 QStringLiteral("No se puede obtener la configuración del visualizador HTML del "
                                "registro.\r\nEjecute el navegador y visualice el archivo:\r\n") +
                     ruta);
        QCOMPARE(captura_.mensajes()[0].icono, ui::Icono::Critico);
    }

    // --- About box -----------------------------------------------------------------------

    void elMenuMuestraElAcercaDeModal() {
        ui::frmVLRMdi w;
        w.Iniciar({});
        bool visto = false;
        QTimer::singleShot(0, [&] {
            auto* a = qobject_cast<frmVLRAbout*>(QApplication::activeModalWidget());
            if (!a)
                return;
            visto = true;
            QCOMPARE(a->findChild<QLabel*>("lblVersion")->text(),
                     QStringLiteral("Versión ") + QString::fromUtf8(VersionPrograma()));
            QVERIFY(!a->findChild<QLabel*>("lblDisclaimer")->text().isEmpty());
            QVERIFY(!a->findChild<QLabel*>("Image1")->pixmap().isNull());
            a->findChild<QPushButton*>("cmdOK")->click();
        });
        w.findChild<QAction*>("mnuAyudaAcercaDe")->trigger();
        QVERIFY(visto);
    }

    // None on the path: its own explanation, not the button's caption; then the first of
    // those installed is started.
    void infoDelSistemaArrancaElPrimeroQueHay() {
        QTemporaryDir dir;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", dir.path().toLocal8Bit());
        QStringList lanzados;
        frmVLRAbout::FijarLanzador([&](const QString& p) {
            lanzados << p;
            return true;
        });
        frmVLRAbout a;
        a.findChild<QPushButton*>("cmdSysInfo")->click();
        QVERIFY(lanzados.isEmpty());
        QCOMPARE(int(captura_.mensajes().size()), 1);
        QCOMPARE(captura_.mensajes()[0].texto, QString::fromStdString(veliora::Texto(507)));
        QCOMPARE(captura_.mensajes()[0].icono, ui::Icono::Ninguno);

        CrearPrograma(dir.path(), "gnome-system-monitor");
        CrearPrograma(dir.path(), "kinfocenter");
        a.findChild<QPushButton*>("cmdSysInfo")->click();
        qputenv("PATH", path);
        QCOMPARE(lanzados, QStringList{dir.path() + "/kinfocenter"});
        QCOMPARE(int(captura_.mensajes().size()), 1);
    }

  private:
    std::unique_ptr<EntornoShell> entorno_;
    ui::CapturaMensajes captura_;
    QList<QUrl> abiertas_;
    bool abridorResponde_ = true;
};

QTEST_MAIN(TestShellDialogos)
#include "test_shell_dialogos.moc"
