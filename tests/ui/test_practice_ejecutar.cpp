// The direct query window: results in the grid, error messages, big results.
#include <QAbstractItemModel>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

#include "core/base/textos.h"
#include "test_practice_comun.h"
#include "ui/practice/ModeloRecordset.h"
#include "ui/practice/frmVLREjecutarQuery.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLREjecutarQuery;
using veliora::ui::Icono;

class TestPracticeEjecutar : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<EntornoPractica> entorno_;
    std::unique_ptr<ui::CapturaMensajes> mensajes_;
    frmVLREjecutarQuery* w_ = nullptr;

    void Ejecutar(const QString& sql) {
        Control<QPlainTextEdit>(w_, "txtPregunta")->setPlainText(sql);
        QTest::mouseClick(Control(w_, "cmdEjecutar"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([this] { return !w_->Ocupada(); }, 20000));
    }
    QAbstractItemModel* Modelo() { return Control<QTableView>(w_, "DBGridDatos")->model(); }
    QString Celda(int fila, int columna) {
        return Modelo()->data(Modelo()->index(fila, columna)).toString();
    }
    QString Cabecera(int columna) {
        return Modelo()->headerData(columna, Qt::Horizontal).toString();
    }

  private slots:
    void init() {
        entorno_ = std::make_unique<EntornoPractica>();
        mensajes_ = std::make_unique<ui::CapturaMensajes>();
        w_ = ui::ObtenerVentana<frmVLREjecutarQuery>();
        ui::MostrarVentana(w_);
        QVERIFY(QTest::qWaitForWindowExposed(w_));
    }
    void cleanup() {
        w_->close();
        BorrarCerradas();
        QVERIFY(entorno_->UsuarioIntacto());
        mensajes_.reset();
        entorno_.reset();
    }

    void resultShowsColumnsByNameAndRows() {
        QCOMPARE(w_->windowTitle(), QStringLiteral("Consultas directas"));
        Ejecutar(QStringLiteral("select Nombre, Nota from Alumnos order by Id"));
        QVERIFY(mensajes_->mensajes().empty());
        QCOMPARE(Modelo()->columnCount(), 2);
        QCOMPARE(Modelo()->rowCount(), 3);
        QCOMPARE(Cabecera(0), QStringLiteral("Nombre"));
        QCOMPARE(Cabecera(1), QStringLiteral("Nota"));
        QCOMPARE(Celda(0, 0), QStringLiteral("Ana"));
        QCOMPARE(Celda(0, 1), QStringLiteral("7,5"));  // as a Spanish desktop shows it
        // A null is a greyed NULL on screen, nothing when copied.
        QCOMPARE(Celda(2, 1), QStringLiteral("NULL"));
        QVERIFY(Modelo()->data(Modelo()->index(2, 1), Qt::ForegroundRole).isValid());
        QCOMPARE(Modelo()->data(Modelo()->index(2, 1), ui::ModeloRecordset::kTextoCopiado),
                 QString());
        QVERIFY(Control<QLabel>(w_, "lblFilas")->text().startsWith(QStringLiteral("3 filas · ")));
        // Read-only: no cell can be edited.
        QVERIFY(!(Modelo()->flags(Modelo()->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!Modelo()->setData(Modelo()->index(0, 0), QStringLiteral("x")));
    }

    void secondRunReplacesTheGridEntirely() {
        Ejecutar(QStringLiteral("select Id, Nombre, Nota, Curso from Alumnos"));
        QCOMPARE(Modelo()->columnCount(), 4);
        Ejecutar(QStringLiteral("select count(*) as Total from Alumnos"));
        QCOMPARE(Modelo()->columnCount(), 1);
        QCOMPARE(Modelo()->rowCount(), 1);
        QCOMPARE(Cabecera(0), QStringLiteral("Total"));
        QCOMPARE(Celda(0, 0), QStringLiteral("3"));
        Ejecutar(QStringLiteral("select Nombre from Alumnos where Id > 10"));
        QCOMPARE(Modelo()->columnCount(), 1);
        QCOMPARE(Modelo()->rowCount(), 0);
        QCOMPARE(Cabecera(0), QStringLiteral("Nombre"));
    }

    void errorMessageHasThreeLines() {
        Ejecutar(QStringLiteral("select Nombre from Alumnos"));
        Ejecutar(QStringLiteral("select Nadie from Alumnos"));
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
        const auto& m = mensajes_->mensajes().front();
        QCOMPARE(m.icono, Icono::Critico);
        QCOMPARE(m.botones, ui::Botones::Aceptar);
        const QStringList lineas = m.texto.split(QStringLiteral("\r\n"));
        QCOMPARE(lineas.size(), 3);
        QVERIFY(lineas[0].startsWith(QStringLiteral("Se produjo el error:")));
        bool numero = false;
        lineas[0].mid(QStringLiteral("Se produjo el error:").size()).toInt(&numero);
        QVERIFY2(numero, qPrintable(lineas[0]));  // the number follows with no blank
        QVERIFY(lineas[1].contains(QStringLiteral("Nadie")));
        QCOMPARE(lineas[2], QStringLiteral("Revise la consulta"));
        QVERIFY(Control(w_, "txtPregunta")->hasFocus());
        // The grid keeps the previous result.
        QCOMPARE(Cabecera(0), QStringLiteral("Nombre"));
        QCOMPARE(Modelo()->rowCount(), 3);
    }

    void emptyOrWritingStatementsAreErrors() {
        for (const char* sql : {"", "delete from Alumnos", "update Alumnos set Nota = 0",
                                "select 1; delete from Alumnos"}) {
            mensajes_->Limpiar();
            Ejecutar(QString::fromUtf8(sql));
            QCOMPARE(mensajes_->mensajes().size(), std::size_t(1));
            QVERIFY2(mensajes_->mensajes().front().texto.startsWith(
                         QStringLiteral("Se produjo el error:")),
                     sql);
        }
        QVERIFY(entorno_->UsuarioIntacto());
    }

    void valencianMessage() {
        Aplicacion::Actual().FijarDesplazamientoIdioma(10000);
        Ejecutar(QStringLiteral("selec"));
        const QStringList lineas = mensajes_->mensajes().back().texto.split(QStringLiteral("\r\n"));
        QCOMPARE(lineas.size(), 3);
        QVERIFY(lineas[0].startsWith(QString::fromStdString(TextoAbsoluto(10605))));
        QCOMPARE(lineas[2], QString::fromStdString(TextoAbsoluto(10606)));
    }

    // The grid's menu: copies, an IN list, the whole result to CSV.
    void gridMenuCopiesAndExports() {
        Ejecutar(QStringLiteral("select Id, Nombre, Nota from Alumnos order by Id"));
        auto* grid = Control<QTableView>(w_, "DBGridDatos");
        grid->selectionModel()->select(QItemSelection(Modelo()->index(1, 1), Modelo()->index(2, 2)),
                                       QItemSelectionModel::Select);
        grid->setFocus();
        QTest::keySequence(grid, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Luis\t5\nEva\t\n"));
        grid->findChild<QAction*>("mnuCopiarConCabeceras")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Nombre\tNota\nLuis\t5\nEva\t\n"));
        grid->findChild<QAction*>("mnuCopiarListaIn")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("IN ('Luis', 5, 'Eva')"));

        const QString csv = QString::fromStdString(
            (std::filesystem::path(Aplicacion::Actual().Usuario()->Name()).parent_path() /
             "alumnos.csv")
                .string());
        ui::FijarRespuestaRuta([&](const QString& sugerida) {
            return sugerida.endsWith(QStringLiteral("consulta.csv")) ? csv : QString();
        });
        grid->findChild<QAction*>("mnuExportarCsv")->trigger();
        ui::FijarRespuestaRuta({});
        QVERIFY(QTest::qWaitFor([this] { return !w_->Ocupada(); }, 20000));
        QCOMPARE(QString::fromStdString(ReadBytes(csv.toStdString())),
                 QStringLiteral("Id,Nombre,Nota\r\n1,Ana,7.5\r\n2,Luis,5\r\n3,Eva,\r\n"));
        QVERIFY(ui::UltimoAviso().startsWith(QStringLiteral("3 filas exportadas a ")));

        // A failed statement leaves the grid as it was and no figures that are not its own.
        Ejecutar(QStringLiteral("select Nadie from Alumnos"));
        QCOMPARE(Modelo()->rowCount(), 3);
        QVERIFY(Control<QLabel>(w_, "lblFilas")->text().isEmpty());
        Ejecutar(QStringLiteral("select Nombre from Alumnos where Id = 1"));
        QVERIFY(Control<QLabel>(w_, "lblFilas")->text().startsWith(QStringLiteral("1 fila · ")));
    }

    void aLongQueryLeavesTheProgramResponsiveAndCanBeCancelled() {
        // A result with rows still to fetch: the grid leaves the connection to the worker.
        Ejecutar(
            QStringLiteral("with recursive c(x) as (select 1 union all select x + 1 from c "
                           "where x < 5000) select x from c"));
        auto* anterior = Modelo();
        QVERIFY(anterior->canFetchMore({}));
        Control<QPlainTextEdit>(w_, "txtPregunta")->setPlainText(QString::fromLatin1(kSinFin));
        QTest::mouseClick(Control(w_, "cmdEjecutar"), Qt::LeftButton);
        QVERIFY(w_->Ocupada());
        QVERIFY(!anterior->canFetchMore({}));
        // The window thread goes on: a timer fires while the query runs.
        int disparos = 0;
        QTimer reloj;
        QObject::connect(&reloj, &QTimer::timeout, [&] { ++disparos; });
        reloj.start(10);
        QVERIFY(QTest::qWaitFor([&] { return disparos >= 3; }, 5000));
        QVERIFY(w_->Ocupada());
        QVERIFY(!Control(w_, "cmdEjecutar")->isEnabled());
        w_->Cancelar();
        QVERIFY(!w_->Ocupada());
        QVERIFY(Control(w_, "cmdEjecutar")->isEnabled());
        QVERIFY(mensajes_->mensajes().empty());
        QCOMPARE(Control<QLabel>(w_, "lblFilas")->text(), QString::fromStdString(Texto(1156)));
        QVERIFY(anterior->canFetchMore({}));
        // The next query runs once the cancelled one has let go of the engine.
        Ejecutar(QStringLiteral("select count(*) from Alumnos"));
        QCOMPARE(Celda(0, 0), QStringLiteral("3"));
    }

    // Scrolling reads the next block on the worker, one block at a time; a window closed
    // while one is read takes nothing of it.
    void furtherRowsAreReadOffTheWindowThread() {
        Aplicacion::Actual().Usuario()->SetLimits({std::chrono::minutes(10)});
        // 300 rows at once, then none until an interrupt; its count never ends either.
        Control<QPlainTextEdit>(w_, "txtPregunta")
            ->setPlainText(QStringLiteral("with recursive r(n) as (select 1 union all select n "
                                          "+ 1 from r) select n from r where n <= 300 or n < 0"));
        QTest::mouseClick(Control(w_, "cmdEjecutar"), Qt::LeftButton);
        QTRY_VERIFY(Modelo() && Modelo()->rowCount() == ui::ModeloRecordset::kFilasPorBloque);
        w_->Cancelar();
        auto* modelo = static_cast<ui::ModeloRecordset*>(Modelo());
        Control<QTableView>(w_, "DBGridDatos")->scrollToBottom();
        QTRY_VERIFY(modelo->Cargando());
        QTRY_COMPARE(ui::Trabajo::Pendientes(), 1);  // the cancelled count has ended
        modelo->fetchMore({});
        QCOMPARE(ui::Trabajo::Pendientes(), 1);
        QCOMPARE(modelo->rowCount(), ui::ModeloRecordset::kFilasPorBloque);
        QVERIFY(w_->Ocupada());  // the strip shows, with Cancel
        w_->close();
        BorrarCerradas();
        QTRY_COMPARE(ui::Trabajo::Pendientes(), 0);
        QVERIFY(mensajes_->mensajes().empty());
        w_ = ui::ObtenerVentana<frmVLREjecutarQuery>();
    }

    void frameSizeIsRememberedInTheSettings() {
        w_->close();
        BorrarCerradas();
        QMdiArea area;
        area.resize(1000, 700);
        ui::FijarAreaMdi(&area);
        area.show();
        auto abrir = [] {
            auto* v = ui::ObtenerVentana<frmVLREjecutarQuery>();
            ui::MostrarVentana(v);
            return ui::MarcoDe(v);
        };
        QMdiSubWindow* marco = abrir();
        QVERIFY(marco);
        marco->resize(640, 430);
        marco->close();
        BorrarCerradas();
        marco = abrir();
        QCOMPARE(marco->size(), QSize(640, 430));
        marco->close();
        BorrarCerradas();
        ui::FijarAreaMdi(nullptr);
        w_ = ui::ObtenerVentana<frmVLREjecutarQuery>();
        ui::MostrarVentana(w_);
    }

    void millionRowsAreFetchedAsTheViewNeedsThem() {
        Ejecutar(
            QStringLiteral("with recursive c(x) as (select 1 union all select x + 1 from c "
                           "where x < 1000000) select x as Numero, x * 2 as Doble from c"));
        QVERIFY(mensajes_->mensajes().empty());
        auto* grid = Control<QTableView>(w_, "DBGridDatos");
        QCoreApplication::processEvents();
        const int primeras = Modelo()->rowCount();
        QVERIFY(primeras < 10000);
        QVERIFY(Modelo()->canFetchMore({}));
        QCOMPARE(Celda(0, 1), QStringLiteral("2"));
        // The count ran on the worker; Ctrl+End reads the rest there and shows the last row.
        auto* filas = Control<QLabel>(w_, "lblFilas");
        const QString millon = QStringLiteral("1.000.000");
        QVERIFY2(filas->text().startsWith(millon + QStringLiteral(" filas (")),
                 qPrintable(filas->text()));
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(QTest::qWaitFor([this] { return !w_->Ocupada(); }, 60000));
        QCOMPARE(Modelo()->rowCount(), 1000000);
        QCOMPARE(grid->currentIndex().row(), 999999);
        QVERIFY(filas->text().startsWith(millon + QStringLiteral(" filas · ")));
        QCOMPARE(Celda(999999, 0), QStringLiteral("1000000"));
    }
};

QTEST_MAIN(TestPracticeEjecutar)
#include "test_practice_ejecutar.moc"
