// The bulletin selection dialog: choosing a bulletin to practise and storing a query.
#include <QComboBox>
#include <QPointer>

#include "core/bulletins/boletines.h"
#include "test_practice_comun.h"
#include "ui/practice/frmVLRGuardarQuery.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRGuardarQuery;
using veliora::ui::frmVLRQuerys;
using veliora::ui::Icono;

class TestPracticeGuardar : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<EntornoPractica> entorno_;
    std::unique_ptr<ui::CapturaMensajes> mensajes_;

    // Runs the dialog modally; `accion` acts once the list is filled.
    static int Ejecutar(frmVLRGuardarQuery& d, std::function<void(frmVLRGuardarQuery&)> accion) {
        AlAbrirseModal(
            [&d](QWidget* m) { return m == &d && Control(m, "cmdAceptar")->isEnabled(); },
            [&d, accion](QWidget*) { accion(d); });
        return d.exec();
    }
    static std::vector<LineaBoletin> Lineas(const std::string& boletin) {
        engine::Error err;
        return LeerBoletin(*Aplicacion::Actual().Auxiliar(), boletin, err);
    }

  private slots:
    void initTestCase() {
        frmVLRGuardarQuery::FijarIntervaloInicio(10);
        frmVLRQuerys::FijarIntervalos(10, 60000, 20);
    }
    void init() {
        entorno_ = std::make_unique<EntornoPractica>(true);
        mensajes_ = std::make_unique<ui::CapturaMensajes>();
    }
    void cleanup() {
        if (QWidget* w = ui::BuscarVentana(QStringLiteral("frmVLRQuerys")))
            w->close();
        BorrarCerradas();
        mensajes_.reset();
        entorno_.reset();
    }

    // Filled on the timer's first tick, not before (the order is the bulletins' own test).
    void listIsFilledAfterLoading() {
        EntornoPractica::CrearBoletin("Tema 2", {});
        EntornoPractica::CrearBoletin("Repaso", {});
        frmVLRGuardarQuery d;
        auto* cbo = Control<QComboBox>(&d, "cboBoletin");
        QCOMPARE(cbo->count(), 0);
        QVERIFY(!Control(&d, "cmdAceptar")->isEnabled());
        QVERIFY(Control<QTimer>(&d, "TmrInicio")->isActive());
        QTRY_VERIFY(Control(&d, "cmdAceptar")->isEnabled());
        QCOMPARE(cbo->count(), 2);
        QCOMPARE(cbo->currentText(), QStringLiteral("Repaso"));
    }

    void noBulletinGives906AndCloses() {
        frmVLRGuardarQuery d;
        d.setModoConsultas(true);
        QTimer::singleShot(2000, &d, [&d] { d.done(99); });  // only if it failed to close
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes_->mensajes().front().texto,
                 QStringLiteral("No se ha definido ningún boletín"));
        QCOMPARE(mensajes_->mensajes().front().icono, Icono::Exclamacion);
        QVERIFY(!ui::BuscarVentana(QStringLiteral("frmVLRQuerys")));
    }

    // Into the bulletin chosen, not the first (numbering is the bulletins' own test).
    void storingInTheChosenBulletin() {
        EntornoPractica::CrearBoletin("A", {});
        EntornoPractica::CrearBoletin("B", {{"q1", "select 1"}});
        frmVLRGuardarQuery d;
        d.setModoConsultas(false);
        d.setQuery(QStringLiteral("Select [Nombre]\r\nfrom [Alumnos]"));
        d.setSolucion(QStringLiteral("¿Qué nombres tienen los alumnos?"));
        QCOMPARE(Ejecutar(d,
                          [](frmVLRGuardarQuery& dd) {
                              Control<QComboBox>(&dd, "cboBoletin")->setCurrentText("A");
                              QTest::mouseClick(Control(&dd, "cmdAceptar"), Qt::LeftButton);
                          }),
                 int(QDialog::Accepted));
        QVERIFY(mensajes_->mensajes().empty());
        const auto a = Lineas("A");
        QCOMPARE(a.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(a[0].Pregunta), d.Solucion());
        QCOMPARE(QString::fromStdString(a[0].Respuesta), d.Query());
        QCOMPARE(Lineas("B").size(), std::size_t(1));
    }

    void cancelWritesNothing() {
        EntornoPractica::CrearBoletin("A", {{"q1", "select 1"}});
        for (bool modo : {false, true}) {
            frmVLRGuardarQuery d;
            d.setModoConsultas(modo);
            d.setQuery(QStringLiteral("select 2"));
            d.setSolucion(QStringLiteral("dos"));
            QCOMPARE(Ejecutar(d,
                              [](frmVLRGuardarQuery& dd) {
                                  QTest::mouseClick(Control(&dd, "cmdCancelar"), Qt::LeftButton);
                              }),
                     int(QDialog::Rejected));
        }
        QCOMPARE(Lineas("A").size(), std::size_t(1));
        QVERIFY(!ui::BuscarVentana(QStringLiteral("frmVLRQuerys")));
    }

    void storeErrorIsReportedWithoutIconAndTheDialogCloses() {
        EntornoPractica::CrearBoletin("A", {});
        engine::Error err;
        QVERIFY(Aplicacion::Actual().Auxiliar()->Execute(
            "create trigger Lleno before insert on LBoletines "
            "begin select raise(abort, 'boletin lleno'); end",
            err));
        frmVLRGuardarQuery d;
        d.setQuery(QStringLiteral("select 1"));
        QCOMPARE(Ejecutar(d,
                          [](frmVLRGuardarQuery& dd) {
                              QTest::mouseClick(Control(&dd, "cmdAceptar"), Qt::LeftButton);
                          }),
                 int(QDialog::Accepted));
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        const auto& m = mensajes_->mensajes().front();
        QCOMPARE(m.icono, Icono::Ninguno);
        QVERIFY2(QRegularExpression(QStringLiteral("^Error \\d+: .*boletin lleno.*\r\n"
                                                   "Almacenando consulta en boletín$"))
                     .match(m.texto)
                     .hasMatch(),
                 qPrintable(m.texto));
        QVERIFY(Lineas("A").empty());
    }

    void choosingABulletinOpensThePracticeWindow() {
        EntornoPractica::CrearBoletin("A", {});
        EntornoPractica::CrearBoletin("B",
                                      {{"¿Cuántos alumnos hay?", "select count(*) from Alumnos"}});
        frmVLRGuardarQuery d;
        d.setModoConsultas(true);
        QCOMPARE(Ejecutar(d,
                          [](frmVLRGuardarQuery& dd) {
                              Control<QComboBox>(&dd, "cboBoletin")->setCurrentIndex(1);
                              QTest::mouseClick(Control(&dd, "cmdAceptar"), Qt::LeftButton);
                          }),
                 int(QDialog::Accepted));
        QVERIFY(d.isHidden());
        auto* w = qobject_cast<frmVLRQuerys*>(ui::BuscarVentana(QStringLiteral("frmVLRQuerys")));
        QVERIFY(w);
        QCOMPARE(w->NombreBoletin(), QStringLiteral("B"));
        QVERIFY(w->isVisible());
        QTRY_COMPARE(Control<QPlainTextEdit>(w, "txtPregunta")->toPlainText(),
                     QStringLiteral("¿Cuántos alumnos hay?"));
        QVERIFY(Lineas("B").size() == 1);  // nothing stored in this use
    }
};

QTEST_MAIN(TestPracticeGuardar)
#include "test_practice_guardar.moc"
