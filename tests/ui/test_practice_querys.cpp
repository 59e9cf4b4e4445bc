// The practice window in random and bulletin modes.
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include "core/base/textos.h"
#include "core/bulletins/boletines.h"
#include "core/generator/calidad.h"
#include "test_practice_comun.h"
#include "ui/practice/editor_sql.h"
#include "ui/practice/frmVLRGuardarQuery.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRQuerys;
using veliora::ui::Icono;

namespace {

constexpr int kInicio = 20, kMinuto = 60, kSegundo = 30;

QString T(int id) {
    return QString::fromStdString(Texto(id));
}

}  // namespace

class TestPracticeQuerys : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<EntornoPractica> entorno_;
    std::unique_ptr<ui::CapturaMensajes> mensajes_;

    // Opens the window as the menus do and waits for its mode to be set up.
    frmVLRQuerys* Abrir(const QString& boletin = {}) {
        auto* w = ui::ObtenerVentana<frmVLRQuerys>();
        w->setNombreBoletin(boletin);
        ui::MostrarVentana(w);
        if (!QTest::qWaitForWindowExposed(w))
            return nullptr;
        const char* oculto = boletin.isEmpty() ? "cmdAntQuery" : "cmdQuery";
        if (!QTest::qWaitFor([&] { return Control(w, oculto)->isHidden(); }, 2000))
            return nullptr;
        return w;
    }
    // The same, inside a main window's area.
    frmVLRQuerys* AbrirEnArea(QMdiArea& area) {
        area.resize(1300, 800);
        ui::FijarAreaMdi(&area);
        area.show();
        auto* w = Abrir();
        ui::FijarAreaMdi(nullptr);
        return w;
    }
    // A question on show as the drivers leave it.
    static void Pregunta(frmVLRQuerys* w, const char* sql, const char* texto) {
        w->setSolucionSQL(QString::fromUtf8(sql));
        w->setTextoPregunta(QString::fromUtf8(texto));
        w->MostrarPregunta();
    }
    // Checks and generations run off the window thread: a press ends when its work does.
    static void Pulsar(frmVLRQuerys* w, const char* boton) {
        QTest::mouseClick(Control(w, boton), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([w] { return !w->Ocupada(); }, 20000));
    }
    static QString Texto(QWidget* w, const char* nombre) {
        return Control<QPlainTextEdit>(w, nombre)->toPlainText();
    }
    static bool Habilitado(QWidget* w, const char* nombre) {
        return Control(w, nombre)->isEnabled();
    }

  private slots:
    void initTestCase() {
        frmVLRQuerys::FijarIntervalos(kInicio, kMinuto, kSegundo);
        ui::frmVLRGuardarQuery::FijarIntervaloInicio(10);
    }
    void init() {
        entorno_ = std::make_unique<EntornoPractica>();
        mensajes_ = std::make_unique<ui::CapturaMensajes>();
    }
    void cleanup() {
        frmVLRQuerys::FijarIntervalos(kInicio, kMinuto, kSegundo);
        if (QWidget* w = ui::BuscarVentana(QStringLiteral("frmVLRQuerys")))
            w->close();
        BorrarCerradas();
        QVERIFY(entorno_->UsuarioIntacto());
        mensajes_.reset();
        entorno_.reset();
    }

    // ---- Loading and the deferred set-up ---------------------------------------------

    void captionsFromTheStringTable() {
        auto* w = Abrir();
        QVERIFY(w);
        QCOMPARE(w->objectName(), QStringLiteral("frmVLRQuerys"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Realizar consultas"));
        QCOMPARE(Control<QGroupBox>(w, "FrPregunta")->title(), QStringLiteral("Pregunta"));
        QCOMPARE(Control<QGroupBox>(w, "FrRespuesta")->title(), QStringLiteral("Respuesta"));
        QCOMPARE(Control<QGroupBox>(w, "FrSolucion")->title(), QStringLiteral("Solución"));
        const char* tipos[] = {"Query 1 Tabla", "Query 2 tablas", "Query 3 Tablas", "Query GroupBy",
                               "Query complejo"};
        for (int i = 0; i < 5; ++i) {
            auto* chk = Control<QCheckBox>(w, QStringLiteral("chkQuery%1").arg(i + 1).toLatin1());
            QCOMPARE(chk->text(), QString::fromUtf8(tipos[i]));
            QVERIFY(chk->isChecked());
        }
        QCOMPARE(Control<QPushButton>(w, "cmdQuery")->text(), QStringLiteral("Query"));
        QCOMPARE(Control<QPushButton>(w, "cmdCompRespuesta")->text(), QStringLiteral("Comprobar"));
        QCOMPARE(Control<QPushButton>(w, "cmdMostrarSolucion")->text(),
                 QStringLiteral("Mostrar solución"));
        QCOMPARE(Control<QPushButton>(w, "cmdSalir")->text(), QStringLiteral("Salir"));
        QCOMPARE(Control<QPushButton>(w, "cmdAntQuery")->text(), QStringLiteral("<<"));
        QCOMPARE(Control<QPushButton>(w, "cmdSigQuery")->text(), QStringLiteral(">>"));
        QCOMPARE(Control<QLabel>(w, "lblNPregunta")->text(), QStringLiteral("Pregunta:"));
        QCOMPARE(Control<QLabel>(w, "lblDePregunta")->text(), QStringLiteral("de"));
        for (const char* caja : {"txtRespuesta", "txtSolucion"}) {
            const QFont f = Control(w, caja)->font();
            QCOMPARE(f.family(), QStringLiteral("Courier New"));
            QVERIFY(f.fixedPitch());
        }
    }

    void modeIsSetUpOnlyAfterTheFirstPaint() {
        auto* w = ui::ObtenerVentana<frmVLRQuerys>();
        auto* timer = Control<QTimer>(w, "TimerInicio");
        QVERIFY(!timer->isActive());
        QTest::qWait(kInicio * 3);
        QVERIFY(!Control(w, "cmdAntQuery")->isHidden());  // nothing set up while never drawn
        ui::MostrarVentana(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_VERIFY(Control(w, "cmdAntQuery")->isHidden());
        QVERIFY(!timer->isActive());
    }

    void insideTheMainWindowTheSubWindowFitsTheMode() {
        EntornoPractica::CrearBoletin("B", {{"p", "select 1"}});
        QMdiArea area;
        auto* w = AbrirEnArea(area);
        QVERIFY(w);
        auto* sub = ui::MarcoDe(w);
        QVERIFY(sub);
        const QSize aleatorio = w->size();
        QCOMPARE(aleatorio, w->sizeHint());
        QVERIFY(sub->width() >= aleatorio.width() && sub->height() >= aleatorio.height());
        // The same window, set up again for a bulletin: narrower, taller.
        QCOMPARE(Abrir(QStringLiteral("B")), w);
        QVERIFY(w->width() < aleatorio.width());
        QVERIFY(sub->width() >= w->width() && sub->height() >= w->height());
        QVERIFY(sub->width() < aleatorio.width() + 40);
        QTest::mouseClick(Control(w, "cmdSalir"), Qt::LeftButton);
        BorrarCerradas();
        QVERIFY(area.subWindowList().isEmpty());
    }

    // ---- Random mode -----------------------------------------------------------------

    void randomModeForAStudent() {
        auto* w = Abrir();
        QVERIFY(w);
        for (const char* c : {"chkQuery1", "chkQuery5", "cmdQuery", "cmdCompRespuesta",
                              "cmdMostrarSolucion", "cmdSalir", "FrPregunta"})
            QVERIFY2(w->findChild<QWidget*>(c)->isVisible(), c);
        for (const char* c : {"cmdGuardarCons", "cmdAntQuery", "cmdSigQuery", "cmdCompRespuesta2",
                              "cmdMostrarSolucion2", "lblNPregunta", "lblPreguntaActual",
                              "lblDePregunta", "lblTotalPreguntas"})
            QVERIFY2(w->findChild<QWidget*>(c)->isHidden(), c);
        QVERIFY(Texto(w, "txtPregunta").isEmpty());
    }

    void randomModeSizing() {
        auto* w = Abrir();
        QVERIFY(w);
        auto* chk = Control(w, "chkQuery1");
        auto* sol = Control(w, "FrSolucion");
        auto* salir = Control(w, "cmdSalir");
        // Twips at 15 per pixel: 240 and 480 twips are 16 and 32 pixels; the schema panel
        // stands beyond.
        QCOMPARE(Control(w, "pnlEsquema")->x() - 4, chk->x() + chk->width() + 16);
        QCOMPARE(w->height(), sol->y() + sol->height() + 32);
        QCOMPARE(salir->x(), Control(w, "cmdQuery")->x());
        QCOMPARE(salir->geometry().bottom(), sol->geometry().bottom());
    }

    void teacherSeesTheStoreButtonInRandomMode() {
        Aplicacion::Actual().FijarProfesor(true);
        auto* w = Abrir();
        QVERIFY(w);
        QVERIFY(Control(w, "cmdGuardarCons")->isVisible());
        QCOMPARE(Control<QPushButton>(w, "cmdGuardarCons")->text(),
                 QStringLiteral("Almacenar consulta"));
    }

    void kindsAreNeverAllUnticked() {
        auto* w = Abrir();
        QVERIFY(w);
        for (int i = 5; i >= 2; --i)
            QTest::mouseClick(Control(w, QStringLiteral("chkQuery%1").arg(i).toLatin1()),
                              Qt::LeftButton);
        auto* uno = Control<QCheckBox>(w, "chkQuery1");
        QVERIFY(uno->isChecked());
        QTest::mouseClick(uno, Qt::LeftButton);  // the last ticked box
        QVERIFY(uno->isChecked());
        for (int i = 2; i <= 5; ++i)
            QVERIFY(!Control<QCheckBox>(w, QStringLiteral("chkQuery%1").arg(i).toLatin1())
                         ->isChecked());
        // With another box ticked, the first one can go.
        QTest::mouseClick(Control(w, "chkQuery3"), Qt::LeftButton);
        QTest::mouseClick(uno, Qt::LeftButton);
        QVERIFY(!uno->isChecked());
        QTest::mouseClick(Control(w, "chkQuery3"), Qt::LeftButton);
        QVERIFY(uno->isChecked());
    }

    void studentWaitsFiveTicksAfterTheLatestQuestion() {
        auto* w = Abrir();
        QVERIFY(w);
        auto* timer = Control<QTimer>(w, "tmrHabilitarBotonSolucion");
        Pregunta(w, "select Nombre from Alumnos", "Nombre de los alumnos");
        QCOMPARE(Texto(w, "txtPregunta"), QStringLiteral("Nombre de los alumnos"));
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion"));
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion2"));
        QCOMPARE(w->MinutosSolucion(), 5);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), kMinuto);

        // Two ticks, then a new question restarts the count.
        // qWaitFor checks after every event pass, so no tick goes unseen.
        QVERIFY(QTest::qWaitFor([w] { return w->MinutosSolucion() == 3; }, 3000));
        Pregunta(w, "select Id from Alumnos", "Códigos de los alumnos");
        QCOMPARE(w->MinutosSolucion(), 5);
        QVERIFY(QTest::qWaitFor([w] { return w->MinutosSolucion() == 1; }, 3000));
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion"));  // four ticks are not enough
        QTRY_VERIFY_WITH_TIMEOUT(Habilitado(w, "cmdMostrarSolucion"), 2000);
        QVERIFY(Habilitado(w, "cmdMostrarSolucion2"));
        QCOMPARE(w->MinutosSolucion(), 0);
        QVERIFY(!timer->isActive());

        QTest::mouseClick(Control(w, "cmdMostrarSolucion"), Qt::LeftButton);
        QCOMPARE(Texto(w, "txtSolucion"), QStringLiteral("select Id from Alumnos"));
    }

    // The schema panel types a name, completion offers a table's fields, the wait counts
    // down, and the solution shows in standard SQL on request.
    void sqlAidsBesideTheAnswer() {
        auto* w = Abrir();
        QVERIFY(w);
        auto* arbol = w->findChild<QTreeWidget*>("tvEsquema");
        QCOMPARE(arbol->topLevelItemCount(), 1);
        QTreeWidgetItem* nota = arbol->topLevelItem(0)->child(2);
        QCOMPARE(nota->text(0), QStringLiteral("Nota"));
        emit arbol->itemDoubleClicked(nota, 0);
        QCOMPARE(Texto(w, "txtRespuesta"), QStringLiteral("Nota"));

        auto* editor = Control<ui::EditorSql>(w, "txtRespuesta");
        editor->clear();
        QTest::keyClicks(editor, "select alumnos.n");
        QStringList ofrecidos;
        for (int i = 0; i < editor->Completador()->model()->rowCount(); ++i)
            ofrecidos << editor->Completador()->model()->index(i, 0).data().toString();
        QCOMPARE(ofrecidos, (QStringList{"Nombre", "Nota"}));

        Pregunta(w, "select count(alumnos.*) from alumnos where curso = '1a'", "Cuántos");
        QVERIFY(Control(w, "lblCuentaAtras")->isVisible());
        QVERIFY(
            Control<QLabel>(w, "lblCuentaAtras")->text().startsWith("Solución disponible en 0:"));
        QTRY_VERIFY_WITH_TIMEOUT(Habilitado(w, "cmdMostrarSolucion"), 3000);
        QVERIFY(!Control(w, "lblCuentaAtras")->isVisible());
        QTest::mouseClick(Control(w, "cmdMostrarSolucion"), Qt::LeftButton);
        Control<QCheckBox>(w, "chkSqlEstandar")->setChecked(true);
        QCOMPARE(Texto(w, "txtSolucion"),
                 QStringLiteral(R"(select count(*) from "Alumnos" where "Curso" = '1a')"));
    }

    void teacherGetsTheSolutionAtOnce() {
        Aplicacion::Actual().FijarProfesor(true);
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nombre from Alumnos", "Nombre de los alumnos");
        QVERIFY(Habilitado(w, "cmdMostrarSolucion"));
        QVERIFY(Habilitado(w, "cmdMostrarSolucion2"));
        QVERIFY(!Control<QTimer>(w, "tmrHabilitarBotonSolucion")->isActive());
    }

    void newQuestionEmptiesTheAnswerAndSolution() {
        Aplicacion::Actual().FijarProfesor(true);
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nombre from Alumnos", "Nombre de los alumnos");
        Control<QPlainTextEdit>(w, "txtRespuesta")->setPlainText(QStringLiteral("select 1"));
        QTest::mouseClick(Control(w, "cmdMostrarSolucion"), Qt::LeftButton);
        QVERIFY(!Texto(w, "txtSolucion").isEmpty());
        Pregunta(w, "select Id from Alumnos", "Códigos");
        QVERIFY(Texto(w, "txtRespuesta").isEmpty());
        QVERIFY(Texto(w, "txtSolucion").isEmpty());
    }

    void rightAnswerEnablesTheSolutionButtonsAtOnce() {
        // Minutes long enough that none passes while the checks run (cleanup restores them).
        frmVLRQuerys::FijarIntervalos(kInicio, 3600000, kSegundo);
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nombre from Alumnos where Curso = '1A'", "Alumnos de 1A");
        auto* respuesta = Control<QPlainTextEdit>(w, "txtRespuesta");

        respuesta->setPlainText(QStringLiteral("select Nombre from Alumnos"));
        Pulsar(w, "cmdCompRespuesta");
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes_->mensajes().back().texto, QStringLiteral("Resultado erróneo"));
        QCOMPARE(mensajes_->mensajes().back().icono, Icono::Critico);
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion"));
        // Why: counts and the extra row, in an area that opens below and grows the window.
        auto* ver = Control<QPushButton>(w, "cmdVerDiferencias");
        QVERIFY(ver->isVisible());
        const int alto = w->height();
        ver->setFocus();
        QTest::keyClick(ver, Qt::Key_Return);
        QVERIFY(Control(w, "txtDiferencias")->isVisible());
        QVERIFY(w->height() > alto);
        QVERIFY(Texto(w, "txtDiferencias").contains(QStringLiteral("Tu respuesta: 3 filas")));
        QVERIFY(Texto(w, "txtDiferencias").contains(QStringLiteral("Luis")));

        respuesta->setPlainText(
            QStringLiteral("SELECT nombre\nFROM alumnos\nWHERE curso = '1A'\nORDER BY nombre;"));
        Pulsar(w, "cmdCompRespuesta");
        QCOMPARE(mensajes_->mensajes().back().texto,
                 QStringLiteral("El resultado parece correcto\r\nCompruebe su respuesta con la "
                                "solución"));
        QCOMPARE(mensajes_->mensajes().back().icono, Icono::Exclamacion);
        QVERIFY(Habilitado(w, "cmdMostrarSolucion"));
        QVERIFY(Habilitado(w, "cmdMostrarSolucion2"));
        QCOMPARE(w->MinutosSolucion(), 5);  // the wait was not over
        QVERIFY(!ver->isVisible());
        QCOMPARE(w->height(), alto);
    }

    void answerRightOnlyOnThisDataIsExplained() {
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nombre from Alumnos where Nota >= 7.5", "Alumnos con notable");
        Control<QPlainTextEdit>(w, "txtRespuesta")
            ->setPlainText(QStringLiteral("select Nombre from Alumnos where Nota > 7"));
        Pulsar(w, "cmdCompRespuesta");
        QVERIFY(mensajes_->mensajes().back().texto.startsWith(T(1800)));
        QVERIFY(Habilitado(w, "cmdMostrarSolucion"));
        Control<QPushButton>(w, "cmdVerDiferencias")->click();
        QVERIFY(Texto(w, "txtDiferencias").startsWith(T(1800)));
        QVERIFY(entorno_->UsuarioIntacto());
    }

    void teacherChoosesWhetherTrivialQuestionsAreRedrawn() {
        for (bool profesor : {false, true}) {
            Aplicacion::Actual().FijarProfesor(profesor);
            auto* w = Abrir();
            QVERIFY(w);
            auto* chk = Control<QCheckBox>(w, "chkEvitarTriviales");
            QCOMPARE(chk->isVisible(), profesor);
            QVERIFY(chk->isChecked());  // on by default
            if (profesor) {
                chk->click();
                QVERIFY(!generador::LeerOpcionesCalidad().activa);  // kept in the settings
            }
            w->close();
            BorrarCerradas();
        }
        Aplicacion::Actual().FijarProfesor(false);
    }

    void brokenAnswersLeaveTheWindowUsable() {
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nombre from Alumnos", "Nombre de los alumnos");
        auto* respuesta = Control<QPlainTextEdit>(w, "txtRespuesta");
        // The first line names the cause: "wrong" only for what the engine cannot compile.
        const std::pair<const char*, QString> hostiles[] = {
            {"delete from Alumnos", T(1130)},
            {"select 1; drop table Alumnos", T(1140)},
            {"selec Nombre from Alumnos", T(1117) + "\r\n"},
            {"", T(1133)}};
        for (const auto& [hostil, inicio] : hostiles) {
            respuesta->setPlainText(QString::fromUtf8(hostil));
            Pulsar(w, "cmdCompRespuesta");
            QVERIFY(mensajes_->mensajes().back().texto.startsWith(inicio));
            QCOMPARE(mensajes_->mensajes().back().icono, Icono::Critico);
            QVERIFY(Habilitado(w, "cmdCompRespuesta"));
        }
        QVERIFY(entorno_->UsuarioIntacto());
    }

    void checkingBeforeAnyQuestionCannotCheck() {
        auto* w = Abrir();
        QVERIFY(w);
        Control<QPlainTextEdit>(w, "txtRespuesta")->setPlainText(QStringLiteral("select 1"));
        Pulsar(w, "cmdCompRespuesta");
        QCOMPARE(mensajes_->mensajes().back().texto, T(2008));
        QCOMPARE(mensajes_->mensajes().back().icono, Icono::Exclamacion);
    }

    void storingOpensTheDialogWithTheQueryOnShow() {
        Aplicacion::Actual().FijarProfesor(true);
        EntornoPractica::CrearBoletin("Tema 1", {{"Primera", "select 1"}});
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nota from Alumnos", "Notas de los alumnos");
        bool visto = false;
        AlAbrirseModal(
            [](QWidget* m) {
                auto* d = qobject_cast<ui::frmVLRGuardarQuery*>(m);
                return d && Control(d, "cmdAceptar")->isEnabled();
            },
            [&](QWidget* m) {
                auto* d = qobject_cast<ui::frmVLRGuardarQuery*>(m);
                visto = true;
                QCOMPARE(d->ModoConsultas(), false);
                QCOMPARE(d->Query(), QStringLiteral("select Nota from Alumnos"));
                QCOMPARE(d->Solucion(), QStringLiteral("Notas de los alumnos"));
                QTest::mouseClick(Control(d, "cmdAceptar"), Qt::LeftButton);
            });
        QTest::mouseClick(Control(w, "cmdGuardarCons"), Qt::LeftButton);
        QVERIFY(visto);
        engine::Error err;
        auto lineas = LeerBoletin(*Aplicacion::Actual().Auxiliar(), "Tema 1", err);
        QCOMPARE(lineas.size(), std::size_t(2));
        QCOMPARE(lineas[1].NumPregunta, 3);
        QCOMPARE(QString::fromStdString(lineas[1].Pregunta),
                 QStringLiteral("Notas de los alumnos"));
        QCOMPARE(QString::fromStdString(lineas[1].Respuesta),
                 QStringLiteral("select Nota from Alumnos"));
    }

    void generatedQuestionsComeFromTheGenerator() {
        // The sample shop with its dictionary: the generator has all it needs.
        entorno_.reset();
        entorno_ = std::make_unique<EntornoPractica>(false, SamplePath("tienda.db"));
        auto* w = Abrir();
        QVERIFY(w);
        for (int i = 2; i <= 5; ++i)
            Control<QCheckBox>(w, QStringLiteral("chkQuery%1").arg(i).toLatin1())
                ->setChecked(false);
        Pulsar(w, "cmdQuery");
        QVERIFY(!w->SolucionSQL().isEmpty());
        QCOMPARE(Texto(w, "txtPregunta"), w->TextoPregunta());
        QVERIFY(!w->TextoPregunta().isEmpty());
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion"));
        // The solution itself is a right answer.
        Control<QPlainTextEdit>(w, "txtRespuesta")->setPlainText(w->SolucionSQL());
        Pulsar(w, "cmdCompRespuesta");
        QCOMPARE(mensajes_->mensajes().back().icono, Icono::Exclamacion);
        QCOMPARE(mensajes_->mensajes().back().texto, T(1118) + "\r\n" + T(1119));
        // A second press gives a new question in place of the first.
        const QString primera = w->SolucionSQL();
        for (int intento = 0; intento < 5 && w->SolucionSQL() == primera; ++intento)
            Pulsar(w, "cmdQuery");
        QVERIFY(w->SolucionSQL() != primera);
        QVERIFY(Texto(w, "txtRespuesta").isEmpty());
    }

    // ---- Bulletin mode ---------------------------------------------------------------

    void bulletinOfOneQuestion() {
        Aplicacion::Actual().FijarProfesor(true);
        EntornoPractica::CrearBoletin(
            "Único", {{"¿Cómo se llaman los alumnos?", "select Nombre from Alumnos"}});
        auto* w = Abrir(QStringLiteral("Único"));
        QVERIFY(w);
        QCOMPARE(Control<QLabel>(w, "lblPreguntaActual")->text(), QStringLiteral("1"));
        QCOMPARE(Control<QLabel>(w, "lblTotalPreguntas")->text(), QStringLiteral("1"));
        QVERIFY(!Habilitado(w, "cmdAntQuery"));
        QVERIFY(!Habilitado(w, "cmdSigQuery"));
        QVERIFY(Habilitado(w, "cmdCompRespuesta2"));
        QCOMPARE(Texto(w, "txtPregunta"), QStringLiteral("¿Cómo se llaman los alumnos?"));
        for (const char* c : {"cmdAntQuery", "cmdSigQuery", "cmdCompRespuesta2",
                              "cmdMostrarSolucion2", "lblNPregunta", "lblPreguntaActual",
                              "lblDePregunta", "lblTotalPreguntas", "cmdSalir"})
            QVERIFY2(w->findChild<QWidget*>(c)->isVisible(), c);
        // Never the store button in bulletin mode, not even for a teacher.
        for (const char* c :
             {"chkQuery1", "cmdQuery", "cmdCompRespuesta", "cmdMostrarSolucion", "cmdGuardarCons"})
            QVERIFY2(w->findChild<QWidget*>(c)->isHidden(), c);

        // The solution waits one second, for teachers too.
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion2"));
        QCOMPARE(Control<QTimer>(w, "tmrHabilitarBotonSolucion")->interval(), kSegundo);
        QTRY_VERIFY_WITH_TIMEOUT(Habilitado(w, "cmdMostrarSolucion2"), 2000);
        QTest::mouseClick(Control(w, "cmdMostrarSolucion2"), Qt::LeftButton);
        QCOMPARE(Texto(w, "txtSolucion"), QStringLiteral("select Nombre from Alumnos"));
    }

    void bulletinModeSizing() {
        EntornoPractica::CrearBoletin("B", {{"p", "select 1"}});
        auto* w = Abrir(QStringLiteral("B"));
        QVERIFY(w);
        auto* fr = Control(w, "FrPregunta");
        auto* ant = Control(w, "cmdAntQuery");
        auto* salir = Control(w, "cmdSalir");
        QCOMPARE(Control(w, "pnlEsquema")->x() - 4, fr->x() + fr->width() + 16);
        QCOMPARE(w->height(), ant->y() + ant->height() + 32);
        QCOMPARE(salir->geometry().right(), Control(w, "FrSolucion")->geometry().right());
        QCOMPARE(salir->y(), ant->y());
    }

    void navigationEmptiesTheBoxesAndWaitsAgain() {
        EntornoPractica::CrearBoletin("Tres",
                                      {{"Primera", "select Nombre from Alumnos"},
                                       {"Segunda", "select Nota from Alumnos where Nota > 6"},
                                       {"Tercera", "select count(*) from Alumnos"}});
        auto* w = Abrir(QStringLiteral("Tres"));
        QVERIFY(w);
        QCOMPARE(Control<QLabel>(w, "lblTotalPreguntas")->text(), QStringLiteral("3"));
        QVERIFY(!Habilitado(w, "cmdAntQuery"));
        QVERIFY(Habilitado(w, "cmdSigQuery"));
        QTRY_VERIFY_WITH_TIMEOUT(Habilitado(w, "cmdMostrarSolucion2"), 2000);
        QTest::mouseClick(Control(w, "cmdMostrarSolucion2"), Qt::LeftButton);
        Control<QPlainTextEdit>(w, "txtRespuesta")->setPlainText(QStringLiteral("select 1"));

        QTest::mouseClick(Control(w, "cmdSigQuery"), Qt::LeftButton);
        QCOMPARE(Control<QLabel>(w, "lblPreguntaActual")->text(), QStringLiteral("2"));
        QCOMPARE(Texto(w, "txtPregunta"), QStringLiteral("Segunda"));
        QVERIFY(Texto(w, "txtRespuesta").isEmpty());
        QVERIFY(Texto(w, "txtSolucion").isEmpty());
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion2"));
        QVERIFY(Habilitado(w, "cmdAntQuery"));
        QVERIFY(Habilitado(w, "cmdSigQuery"));
        QTRY_VERIFY_WITH_TIMEOUT(Habilitado(w, "cmdMostrarSolucion2"), 2000);

        // The check uses the line on show, unscrambled.
        Control<QPlainTextEdit>(w, "txtRespuesta")
            ->setPlainText(QStringLiteral("select Nota from Alumnos where Nombre = 'Ana'"));
        Pulsar(w, "cmdCompRespuesta2");
        QCOMPARE(mensajes_->mensajes().back().icono, Icono::Exclamacion);

        QTest::mouseClick(Control(w, "cmdSigQuery"), Qt::LeftButton);
        QCOMPARE(Control<QLabel>(w, "lblPreguntaActual")->text(), QStringLiteral("3"));
        QVERIFY(!Habilitado(w, "cmdSigQuery"));
        QTest::mouseClick(Control(w, "cmdAntQuery"), Qt::LeftButton);
        QTest::mouseClick(Control(w, "cmdAntQuery"), Qt::LeftButton);
        QCOMPARE(Control<QLabel>(w, "lblPreguntaActual")->text(), QStringLiteral("1"));
        QCOMPARE(Texto(w, "txtPregunta"), QStringLiteral("Primera"));
        QVERIFY(!Habilitado(w, "cmdAntQuery"));
        QTRY_VERIFY_WITH_TIMEOUT(Habilitado(w, "cmdMostrarSolucion2"), 2000);
        QTest::mouseClick(Control(w, "cmdMostrarSolucion2"), Qt::LeftButton);
        QCOMPARE(Texto(w, "txtSolucion"), QStringLiteral("select Nombre from Alumnos"));
    }

    void emptyBulletinIsReported() {
        EntornoPractica::CrearBoletin("Vacío", {});
        auto* w = Abrir(QStringLiteral("Vacío"));
        QVERIFY(w);
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        const auto& m = mensajes_->mensajes().front();
        QCOMPARE(m.texto,
                 QStringLiteral("No hay preguntas disponibles en el boletín seleccionado"));
        QCOMPARE(m.icono, Icono::Ninguno);
        QCOMPARE(m.botones, ui::Botones::Aceptar);
        QCOMPARE(m.titulo, QStringLiteral("VELIORA"));
        QCOMPARE(Control<QLabel>(w, "lblPreguntaActual")->text(), QStringLiteral("0"));
        QCOMPARE(Control<QLabel>(w, "lblTotalPreguntas")->text(), QStringLiteral("0"));
        QVERIFY(!Habilitado(w, "cmdAntQuery"));
        QVERIFY(!Habilitado(w, "cmdSigQuery"));
        QVERIFY(!Habilitado(w, "cmdCompRespuesta2"));
        QVERIFY(Habilitado(w, "cmdSalir"));
        QVERIFY(Texto(w, "txtPregunta").isEmpty());
    }

    void reopeningInTheOtherModeSetsTheModeUpAgain() {
        EntornoPractica::CrearBoletin("B", {{"p", "select 1"}});
        auto* w = Abrir();
        QVERIFY(w);
        QCOMPARE(Abrir(QStringLiteral("B")), w);  // the one instance, reused
        QCOMPARE(Texto(w, "txtPregunta"), QStringLiteral("p"));
        QCOMPARE(Abrir(), w);
        QVERIFY(Texto(w, "txtPregunta").isEmpty());
        QVERIFY(Control(w, "cmdCompRespuesta")->isVisible());
    }

    // Back from a bulletin whose solution was available, nothing of it shows or can be shown
    // until a new question starts its own wait.
    void backToRandomModeHidesTheLastSolution() {
        EntornoPractica::CrearBoletin("B", {{"p", "select 1"}});
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select 2", "dos");
        QVERIFY(Abrir(QStringLiteral("B")));
        QVERIFY(QTest::qWaitFor([&] { return Habilitado(w, "cmdMostrarSolucion2"); }, 3000));
        QTest::mouseClick(Control(w, "cmdMostrarSolucion2"), Qt::LeftButton);
        QVERIFY(Abrir());
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion"));
        QVERIFY(Texto(w, "txtSolucion").isEmpty());
        QVERIFY(w->SolucionSQL().isEmpty());
        QTest::qWait(3 * kSegundo);
        QVERIFY(!Habilitado(w, "cmdMostrarSolucion"));
    }

    // ---- Work off the window thread, layout, keyboard --------------------------------

    void aRunawayCheckIsCancelledAndTheWindowStaysUsable() {
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select Nombre from Alumnos", "Nombre de los alumnos");
        auto* respuesta = Control<QPlainTextEdit>(w, "txtRespuesta");
        respuesta->setPlainText(QString::fromLatin1(kSinFin));
        QTest::mouseClick(Control(w, "cmdCompRespuesta"), Qt::LeftButton);
        QVERIFY(w->Ocupada());
        QVERIFY(!Habilitado(w, "cmdCompRespuesta"));
        auto* cancelar = Control<QPushButton>(w, "cmdCancelar");
        QVERIFY(cancelar->isVisible());
        QTest::mouseClick(cancelar, Qt::LeftButton);
        QVERIFY(!w->Ocupada());
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes_->mensajes().back().texto, T(1151));
        // No late verdict of the cancelled check; the next one is judged.
        respuesta->setPlainText(QStringLiteral("select Nombre from Alumnos"));
        Pulsar(w, "cmdCompRespuesta");
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(2));
        QCOMPARE(mensajes_->mensajes().back().texto, T(1118) + "\r\n" + T(1119));
    }

    void closingWhileCheckingCancels() {
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select 1", "uno");
        Control<QPlainTextEdit>(w, "txtRespuesta")->setPlainText(QString::fromLatin1(kSinFin));
        QTest::mouseClick(Control(w, "cmdCompRespuesta"), Qt::LeftButton);
        QVERIFY(w->Ocupada());
        QTest::mouseClick(Control(w, "cmdSalir"), Qt::LeftButton);
        BorrarCerradas();
        QTest::qWait(50);
        QVERIFY(mensajes_->mensajes().empty());
    }

    void boxesGrowWithTheWindow() {
        auto* w = Abrir();
        QVERIFY(w);
        const QRect respuesta = Control(w, "FrRespuesta")->geometry();
        const QRect boton = Control(w, "cmdCompRespuesta")->geometry();
        w->resize(w->width() + 300, w->height() + 300);
        const QRect crecida = Control(w, "FrRespuesta")->geometry();
        QVERIFY(crecida.width() >= respuesta.width() + 300);
        QVERIFY(crecida.height() >= respuesta.height() + 90);
        // The buttons keep their column, at the right of the boxes.
        QCOMPARE(Control(w, "cmdCompRespuesta")->x(), boton.x() + 300);
        QVERIFY(Control(w, "FrSolucion")->geometry().bottom() < w->height());
    }

    void ctrlEnterChecks() {
        // Inside the main window's area, whose Ctrl+Tab switches windows.
        QMdiArea area;
        auto* w = AbrirEnArea(area);
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        Pregunta(w, "select Nombre from Alumnos", "Nombre de los alumnos");
        auto* respuesta = Control<QPlainTextEdit>(w, "txtRespuesta");
        respuesta->setPlainText(QStringLiteral("select Nombre from Alumnos"));
        QTest::keyClick(respuesta, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(QTest::qWaitFor([w] { return !w->Ocupada(); }, 20000));
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes_->mensajes().back().icono, Icono::Exclamacion);
        // Tab leaves the answer box instead of typing a tab.
        respuesta->setFocus();
        QTest::keyClick(respuesta, Qt::Key_Tab);
        QVERIFY(!respuesta->toPlainText().contains(QLatin1Char('\t')));
        // Ctrl+Tab types one.
        respuesta->setFocus();
        QTest::keyClick(respuesta, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(respuesta->toPlainText().contains(QLatin1Char('\t')));
    }

    void closingStopsTheTimers() {
        auto* w = Abrir();
        QVERIFY(w);
        Pregunta(w, "select 1", "uno");
        QPointer<QTimer> timer = Control<QTimer>(w, "tmrHabilitarBotonSolucion");
        QVERIFY(timer->isActive());
        QTest::mouseClick(Control(w, "cmdSalir"), Qt::LeftButton);
        BorrarCerradas();
        QVERIFY(timer.isNull() || !timer->isActive());
    }
};

QTEST_MAIN(TestPracticeQuerys)
#include "test_practice_querys.moc"
