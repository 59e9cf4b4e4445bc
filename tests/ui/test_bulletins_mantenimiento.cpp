// Bulletin maintenance and the new-bulletin dialog, driven through their controls.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>

#include "core/base/textos.h"
#include "core/bulletins/mantenimiento.h"
#include "test_practice_comun.h"
#include "ui/bulletins/frmVLRMBoletines.h"
#include "ui/bulletins/frmVLRNuevoBoletin.h"
#include "ui/bulletins/frmVLRResumenBoletin.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRMBoletines;
using veliora::ui::frmVLRNuevoBoletin;

class TestBulletinsMantenimiento : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<EntornoPractica> entorno_;
    std::unique_ptr<ui::CapturaMensajes> mensajes_;
    std::unique_ptr<frmVLRMBoletines> w_;

    static void Boletin(const std::string& nombre, std::initializer_list<int> numeros) {
        engine::Error err;
        CrearBoletin(*Aplicacion::Actual().Auxiliar(), nombre, err);
        for (int n : numeros)
            InsertarLinea(*Aplicacion::Actual().Auxiliar(), nombre, n,
                          "pregunta " + std::to_string(n), "select " + std::to_string(n), err);
    }
    QLineEdit* Numero() { return Control<QLineEdit>(w_.get(), "txtNumPregunta"); }
    QPlainTextEdit* Pregunta() { return Control<QPlainTextEdit>(w_.get(), "txtPregunta"); }
    QPlainTextEdit* Respuesta() { return Control<QPlainTextEdit>(w_.get(), "txtRespuesta"); }
    void Pulsar(const char* boton) { QTest::mouseClick(Control(w_.get(), boton), Qt::LeftButton); }
    QStringList Textos() const {
        QStringList t;
        for (const auto& m : mensajes_->mensajes()) t << m.texto;
        return t;
    }
    // Opens the window on `boletin` once its list is filled.
    void Abrir(const QString& boletin) {
        w_ = std::make_unique<frmVLRMBoletines>();
        w_->show();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        auto* cbo = Control<QComboBox>(w_.get(), "cboBoletin");
        QTRY_VERIFY(cbo->count() > 0);
        QCOMPARE(cbo->currentIndex(), -1);
        QVERIFY(!Control(w_.get(), "frPreguntas")->isEnabled());
        cbo->setCurrentIndex(cbo->findText(boletin));
        QVERIFY(Control(w_.get(), "frPreguntas")->isEnabled());
    }
    // Types a number and leaves the box for the question box.
    void Teclear(const QString& numero) {
        Numero()->setFocus();
        Numero()->selectAll();
        QTest::keyClicks(Numero(), numero);
        Pregunta()->setFocus();
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        entorno_ = std::make_unique<EntornoPractica>(true);
        mensajes_ = std::make_unique<ui::CapturaMensajes>();
    }
    void cleanup() {
        w_.reset();
        mensajes_.reset();
        entorno_.reset();
    }

    void emptyBulletinNavigationEndsOnNoLine() {
        Boletin("Vacío", {});
        Abrir(QStringLiteral("Vacío"));
        Pulsar("cmdSRegistro");
        QVERIFY(!Control(w_.get(), "cmdARegistro")->isEnabled());
        QVERIFY(!Control(w_.get(), "cmdSRegistro")->isEnabled());
        QCOMPARE(Numero()->text(), QStringLiteral("0"));
        QVERIFY(Pregunta()->toPlainText().isEmpty());
        QVERIFY(mensajes_->mensajes().empty());
    }

    void proposalsFollowTheHighestNumberAndGapsStay() {
        Boletin("T", {1, 2, 5});
        Abrir(QStringLiteral("T"));
        Pulsar("cmdCambioOpcion");
        QCOMPARE(Control<QPushButton>(w_.get(), "cmdCambioOpcion")->text(),
                 QStringLiteral("&Buscar"));
        QCOMPARE(Numero()->text(), QStringLiteral("6"));
        Pulsar("cmdCambioOpcion");  // back to search: find 5 and delete it
        Teclear(QStringLiteral("5"));
        QCOMPARE(Pregunta()->toPlainText(), QStringLiteral("pregunta 5"));
        Pulsar("cmdBorrar");
        QCOMPARE(Textos(), QStringList{QStringLiteral("¿Está seguro?")});
        QVERIFY(!Control(w_.get(), "cmdBorrar")->isEnabled());
        Pulsar("cmdCambioOpcion");
        QCOMPARE(Numero()->text(), QStringLiteral("3"));
        // Next walks the numbers that remain, from before the first.
        Pulsar("cmdCambioOpcion");
        Pulsar("cmdSRegistro");
        Pulsar("cmdSRegistro");
        QCOMPARE(Numero()->text(), QStringLiteral("2"));
        Pulsar("cmdSRegistro");
        QCOMPARE(Numero()->text(), QStringLiteral("2"));
        QVERIFY(!Control(w_.get(), "cmdSRegistro")->isEnabled());
    }

    void refusedNumbersAndKeys() {
        Boletin("T", {1, 2});
        Abrir(QStringLiteral("T"));
        // Only digits reach the box.
        Numero()->setFocus();
        Numero()->selectAll();
        QTest::keyClicks(Numero(), QStringLiteral("1x' or 1=1"));
        QCOMPARE(Numero()->text(), QStringLiteral("111"));
        // A missing number in search mode: message, box back to 0.
        Pregunta()->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(Textos(), QStringList{QStringLiteral("La pregunta 111 no existe")});
        QCOMPARE(mensajes_->mensajes().back().titulo, QString());
        QCOMPARE(Numero()->text(), QStringLiteral("0"));
        // Leaving for a button says nothing.
        mensajes_->Limpiar();
        Numero()->setFocus();
        QTest::keyClicks(Numero(), QStringLiteral("9"));
        Control(w_.get(), "cmdARegistro")->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QVERIFY(mensajes_->mensajes().empty());
        // With the number at 0 the question box refuses characters, the answer box any key.
        Numero()->setText(QStringLiteral("0"));
        QTest::keyClick(Pregunta(), Qt::Key_A);
        QTest::keyClick(Pregunta(), Qt::Key_Left);
        QTest::keyClick(Respuesta(), Qt::Key_Left);
        QCOMPARE(Textos(), QStringList(2, QStringLiteral("Introduzca un nº de pregunta")));
        QVERIFY(Pregunta()->toPlainText().isEmpty());
        // An existing number in new-question mode keeps the focus in the box.
        mensajes_->Limpiar();
        Pulsar("cmdCambioOpcion");
        Teclear(QStringLiteral("2"));
        QCOMPARE(Textos(), QStringList{QStringLiteral("La pregunta 2 ya existe")});
        QCOMPARE(QApplication::focusWidget(), Numero());
    }

    void savedLinesAreScrambledAndShownPlain() {
        Boletin("T", {});
        Abrir(QStringLiteral("T"));
        Pulsar("cmdCambioOpcion");
        QCOMPARE(Numero()->text(), QStringLiteral("1"));
        Pregunta()->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(Control(w_.get(), "cmdGuardar")->isEnabled());
        // A character the stored form cannot hold: refused, the user's text kept.
        Pregunta()->setPlainText(QStringLiteral("¿Quién? ☃"));
        Respuesta()->setPlainText(QStringLiteral("select [Nombre]\nfrom [Alumnos]"));
        Pulsar("cmdGuardar");
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        QVERIFY(Textos().front().startsWith(
            QStringLiteral("El texto contiene caracteres que no se pueden almacenar")));
        QCOMPARE(Pregunta()->toPlainText(), QStringLiteral("¿Quién? ☃"));
        engine::Error err;
        QCOMPARE(
            Aplicacion::Actual().Auxiliar()->Scalar("select count(*) from LBoletines", err).toInt(),
            0);

        Pregunta()->setPlainText(QStringLiteral("¿Quién?"));
        Pulsar("cmdGuardar");
        QCOMPARE(Numero()->text(), QStringLiteral("2"));  // ready for the next line
        QVERIFY(Pregunta()->toPlainText().isEmpty());
        auto crudo =
            Aplicacion::Actual().Auxiliar()->Scalar("select Respuesta from LBoletines", err);
        QCOMPARE(crudo.text, *Encriptar("select [Nombre]\nfrom [Alumnos]", kClaveRespuestas));

        Pulsar("cmdCambioOpcion");
        Pulsar("cmdSRegistro");
        QCOMPARE(Pregunta()->toPlainText(), QStringLiteral("¿Quién?"));
        QCOMPARE(Respuesta()->toPlainText(), QStringLiteral("select [Nombre]\nfrom [Alumnos]"));
        // Changing it in search mode keeps its number.
        Respuesta()->setPlainText(QStringLiteral("select 1"));
        Pulsar("cmdGuardar");
        QCOMPARE(LeerBoletin(*Aplicacion::Actual().Auxiliar(), "T", err).at(0).Respuesta,
                 std::string("select 1"));
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        // An answer that cannot run on the open database: the teacher is told why and
        // chooses; no keeps the line as it was, yes stores it.
        mensajes_->Limpiar();
        mensajes_->FijarRespuesta(ui::Respuesta::No);
        Respuesta()->setPlainText(QStringLiteral("select Nada from Alumnos"));
        Pulsar("cmdGuardar");
        QCOMPARE(Textos(), QStringList{QString::fromStdString(
                               Texto(2011) + "\r\nNo existe la columna Nada\r\n" + Texto(2012))});
        QCOMPARE(LeerBoletin(*Aplicacion::Actual().Auxiliar(), "T", err).at(0).Respuesta,
                 std::string("select 1"));
        mensajes_->FijarRespuesta(ui::Respuesta::Si);
        Pulsar("cmdGuardar");
        QCOMPARE(LeerBoletin(*Aplicacion::Actual().Auxiliar(), "T", err).at(0).Respuesta,
                 std::string("select Nada from Alumnos"));
    }

    // The overview lists every line and a double-click goes to it; "Probar" shows its rows.
    void overviewGoesToALineAndTryingShowsItsRows() {
        Boletin("T", {1, 2});
        Abrir(QStringLiteral("T"));
        Pulsar("cmdVerTodas");
        auto* resumen = qobject_cast<ui::frmVLRResumenBoletin*>(
            ui::BuscarVentana(QStringLiteral("frmVLRResumenBoletin")));
        QVERIFY(resumen);
        QCOMPARE(resumen->Tabla()->rowCount(), 2);
        emit resumen->Tabla()->cellDoubleClicked(1, 2);
        QCOMPARE(Numero()->text(), QStringLiteral("2"));
        QCOMPARE(Respuesta()->toPlainText(), QStringLiteral("select 2"));
        ui::CerrarVentanas();
        Pulsar("cmdProbar");
        auto* grd = Control<QTableView>(w_.get(), "grdProbar");
        QTRY_VERIFY(grd->isVisible());
        QCOMPARE(grd->model()->data(grd->model()->index(0, 0)).toInt(), 2);
        QVERIFY(Control<QLabel>(w_.get(), "lblProbar")->text().startsWith(QStringLiteral("1 ")));
        QVERIFY(mensajes_->mensajes().empty());
    }

    void newBulletinNamesAndDeletingABulletin() {
        Boletin("Tema 1", {1, 2});
        QLineEdit intercambio;
        const struct {
            QString nombre;
            QString mensaje;  // empty: created
        } casos[] = {
            {QStringLiteral("   "),
             QStringLiteral("Nombre incorrecto para el boletín, asigne otro")},
            {QStringLiteral("TEMA 1"),
             QStringLiteral("El nombre del boletín ya existe, asigne otro")},
            {QStringLiteral("a/b"),
             QStringLiteral("Nombre incorrecto para el boletín, asigne otro\r\nEl nombre del "
                            "boletín no puede ser el de un archivo: no puede estar vacío, ser . "
                            "o .., ni contener / \\ o caracteres de control")},
            {QStringLiteral("O'Brien"), QString()},
        };
        for (const auto& c : casos) {
            mensajes_->Limpiar();
            intercambio.clear();
            frmVLRNuevoBoletin d;
            d.setObjetoIntercambio(&intercambio);
            Control<QLineEdit>(&d, "txtNombreBoletin")->setText(c.nombre);
            QTest::mouseClick(Control(&d, "cmdAceptar"), Qt::LeftButton);
            if (c.mensaje.isEmpty()) {
                QVERIFY(mensajes_->mensajes().empty());
                QCOMPARE(intercambio.text(), c.nombre);
                QCOMPARE(d.result(), int(QDialog::Accepted));
            } else {
                QCOMPARE(Textos(), QStringList{c.mensaje});
                QVERIFY(intercambio.text().isEmpty());
            }
        }
        // A failed insert hands nothing back.
        engine::Error err;
        Aplicacion::Actual().Auxiliar()->Execute(
            "create trigger NoMas before insert on CabBoletines "
            "begin select raise(abort, 'lleno'); end",
            err);
        mensajes_->Limpiar();
        intercambio.clear();
        frmVLRNuevoBoletin d;
        d.setObjetoIntercambio(&intercambio);
        Control<QLineEdit>(&d, "txtNombreBoletin")->setText(QStringLiteral("Otro"));
        QTest::mouseClick(Control(&d, "cmdAceptar"), Qt::LeftButton);
        QVERIFY(Textos().front().endsWith(QStringLiteral("\r\nAlmacenando nuevo boletín")));
        QVERIFY(intercambio.text().isEmpty());

        // Deleting a bulletin takes its header and lines; the list forgets it.
        Abrir(QStringLiteral("Tema 1"));
        mensajes_->Limpiar();
        Pulsar("cmdEliminarBoletin");
        QCOMPARE(Textos(), QStringList{QStringLiteral("¿Desea eliminar el boletín 'Tema 1' ?\r\n"
                                                      "Se eliminarán también sus 2 preguntas.")});
        QVERIFY(mensajes_->mensajes()[0].botones == ui::Botones::SiNoPorDefectoNo);
        auto* cbo = Control<QComboBox>(w_.get(), "cboBoletin");
        QCOMPARE(cbo->findText(QStringLiteral("Tema 1")), -1);
        QCOMPARE(cbo->currentIndex(), -1);
        QVERIFY(!Control(w_.get(), "cmdEliminarBoletin")->isEnabled());
        QCOMPARE(
            Aplicacion::Actual().Auxiliar()->Scalar("select count(*) from LBoletines", err).toInt(),
            0);
    }
};

QTEST_MAIN(TestBulletinsMantenimiento)
#include "test_bulletins_mantenimiento.moc"
