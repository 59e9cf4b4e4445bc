// The class's windows on one machine (the embedded store): a teacher creates a class and
// publishes the open database, a student joins it and checks an answer, which reaches the
// student's progress and the teacher's overview.
#include <QLineEdit>
#include <QTableWidget>

#include "core/aula/membresia.h"
#include "core/base/textos.h"
#include "test_practice_comun.h"
#include "ui/aula/envio_clase.h"
#include "ui/aula/frmVLRClase.h"
#include "ui/aula/frmVLRMiProgreso.h"
#include "ui/aula/frmVLRSeguimiento.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using ui::frmVLRClase;

namespace {

QString Celda(QWidget* w, const char* tabla, int fila, int columna) {
    auto* item = Control<QTableWidget>(w, tabla)->item(fila, columna);
    return item ? item->text() : QString();
}

}  // namespace

class TestAulaVentanas : public QObject {
    Q_OBJECT

  private:
    ui::CapturaMensajes mensajes_;

    // Fills the dialog's boxes, accepts it and waits for the message its work ends with.
    QString Dialogo(frmVLRClase& d, std::initializer_list<std::pair<const char*, QString>> cajas) {
        for (const auto& [nombre, texto] : cajas) Control<QLineEdit>(&d, nombre)->setText(texto);
        const auto antes = mensajes_.mensajes().size();
        Control<QPushButton>(&d, "cmdAceptar")->click();
        if (!QTest::qWaitFor([&] { return mensajes_.mensajes().size() > antes; }, 20000))
            return {};
        return mensajes_.mensajes().back().texto;
    }

  private slots:
    void unaClaseEnEsteEquipo() {
        EntornoPractica entorno(true, SamplePath("tienda.db"));
        frmVLRClase crear;
        crear.setModo(frmVLRClase::Modo::Crear);
        QVERIFY(Dialogo(crear, {{"txtServidor", ""}, {"txtNombre", "1º DAW"}})
                    .startsWith(QStringLiteral("Clase 1º DAW creada. Código para los alumnos: ")));
        const QString codigo = ui::ClaseRecordada();
        QCOMPARE(codigo.size(), 8);
        frmVLRClase publicar;
        publicar.setModo(frmVLRClase::Modo::Publicar);
        QVERIFY(Dialogo(publicar, {}).startsWith(QStringLiteral("Publicada la versión 1 (")));

        // The student joins; the downloaded database is opened as the main window would.
        Aplicacion::Actual().FijarProfesor(false);
        frmVLRClase unirse;
        unirse.setModo(frmVLRClase::Modo::Unirse);
        QString descargada;
        connect(&unirse, &frmVLRClase::unida, [&](const QString& ruta) { descargada = ruta; });
        QCOMPARE(Dialogo(unirse, {{"txtNombre", "Ana"}, {"txtContrasena", "clave"}}),
                 QStringLiteral("Te has unido a la clase 1º DAW. Se ha abierto su base de datos."));
        QVERIFY(descargada.contains(codigo));
        QCOMPARE(Aplicacion::Actual().AbrirUsuario(descargada.toStdString()), 0);
        QCOMPARE(Aplicacion::Actual().AbrirAuxiliar("tienda.db"), 0);

        // A check in bulletin mode is recorded and sent.
        auto* w = ui::ObtenerVentana<ui::frmVLRQuerys>();
        w->setNombreBoletin(QStringLiteral("Tema 1"));
        ui::MostrarVentana(w);
        QTRY_VERIFY(Control(w, "cmdQuery")->isHidden());
        Control<QPlainTextEdit>(w, "txtRespuesta")
            ->setPlainText(QStringLiteral(
                "Select Nombre, Apellidos, Ciudad from Clientes where Provincia = 'Valencia'"));
        Control<QPushButton>(w, "cmdCompRespuesta2")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->Ocupada(), 20000);
        auto& envio = ui::EnvioClase::Instancia();
        QTRY_VERIFY_WITH_TIMEOUT(!envio.Ocupado(), 20000);
        QCOMPARE(envio.Estado(), QStringLiteral("Clase: 1º DAW · 0 pendientes"));
        w->close();

        ui::frmVLRMiProgreso progreso;
        progreso.Actualizar();
        QTRY_COMPARE(Control<QTableWidget>(&progreso, "grdProgreso")->rowCount(), 1);
        QCOMPARE(Celda(&progreso, "grdProgreso", 0, 2), QStringLiteral("Correcto"));

        // The teacher's overview, a cell's attempts, judging one again and the export.
        ui::frmVLRSeguimiento seguimiento;
        seguimiento.Actualizar();
        QTRY_COMPARE(Celda(&seguimiento, "grdSeguimiento", 0, 3), QStringLiteral("Correcto (1)"));
        auto* intentos = Control<QTableWidget>(&seguimiento, "grdIntentos");
        emit Control<QTableWidget>(&seguimiento, "grdSeguimiento")->cellClicked(0, 3);
        QTRY_COMPARE(intentos->rowCount(), 1);
        intentos->setCurrentCell(0, 0);
        const auto antes = mensajes_.mensajes().size();
        Control<QPushButton>(&seguimiento, "cmdRejuzgar")->click();
        QTRY_VERIFY_WITH_TIMEOUT(mensajes_.mensajes().size() > antes, 20000);
        QVERIFY(mensajes_.mensajes().back().texto.startsWith(QString::fromStdString(Texto(1118))));
        const auto csv = DirectorioAplicacion() / "clase.csv";
        QVERIFY(seguimiento.Exportar(QString::fromStdString(csv.string())));
        // What the file holds is the class results command's test.
        QVERIFY(ReadBytes(csv).find("\r\nAna,1,1,Correcto (1)\r\n") != std::string::npos);
    }
};

QTEST_MAIN(TestAulaVentanas)
#include "test_aula_ventanas.moc"
