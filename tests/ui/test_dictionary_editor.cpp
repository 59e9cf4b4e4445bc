// The dictionary windows: initialisation, and the editor with its diagram.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "core/base/textos.h"
#include "core/dictionary/diccionario.h"
#include "core/session/apertura.h"
#include "core/shell/errores.h"
#include "test_shell_comun.h"
#include "ui/dictionary/elementos_diagrama.h"
#include "ui/dictionary/frmVLRCrearBDAuxiliar.h"
#include "ui/dictionary/frmVLRDefinirDatos.h"
#include "ui/shell/mensajes.h"

using namespace veliora;
using namespace veliora::test;
using diagrama::ATwips;
using ui::CajaTablaDiagrama;
using ui::CapturaMensajes;
using ui::frmVLRDefinirDatos;

namespace {

std::int64_t Entero(const std::string& sql) {
    engine::Error err;
    return Aplicacion::Actual().Auxiliar()->Scalar(sql, err).toInt();
}
std::string Cadena(const std::string& sql) {
    engine::Error err;
    return Aplicacion::Actual().Auxiliar()->Scalar(sql, err).toPlainText();
}
void Ejecutar(const std::string& sql) {
    engine::Error err;
    QVERIFY2(Aplicacion::Actual().Auxiliar()->Execute(sql, err),
             veliora::TextoDeError(err).c_str());
}

// The point of the view's viewport under `local` of `item`.
QPoint EnVista(QGraphicsView* v, const QGraphicsItem* item, QPointF local) {
    return v->mapFromScene(item->mapToScene(local));
}

void Pulsar(QGraphicsView* v, const QGraphicsItem* item, QPointF local) {
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, EnVista(v, item, local));
}

// Press at `desde` (item coordinates), move by `paso` pixels with the left button, release.
void Arrastrar(QGraphicsView* v, const QGraphicsItem* item, QPointF desde, QPoint paso) {
    const QPoint a = EnVista(v, item, desde), b = a + paso;
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, a);
    QMouseEvent mover(QEvent::MouseMove, QPointF(b), v->viewport()->mapToGlobal(QPointF(b)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v->viewport(), &mover);
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, b);
}

diagrama::Punto Lugar(const frmVLRDefinirDatos& w, int k) {
    return {w.Caja(k)->Geometria().Left, w.Caja(k)->Geometria().Top};
}

}  // namespace

class TestDictionaryEditor : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        entorno_ = std::make_unique<EntornoShell>();
        const auto ruta = entorno_->home() / "datos" / "comercio.db";
        std::filesystem::create_directories(ruta.parent_path());
        BuildFixture(ruta, "eng_tienda");
        QCOMPARE(Aplicacion::Actual().AbrirUsuario(ruta.string()), 0);
        QCOMPARE(Aplicacion::Actual().AbrirAuxiliar("comercio.db"), 0);
        ColTablas estructura;
        QVERIFY(GenerarDatosAuxiliares(*Aplicacion::Actual().Usuario(),
                                       *Aplicacion::Actual().Auxiliar(), estructura)
                    .Correcto());
    }
    void cleanup() { entorno_.reset(); }

    // Tables: 1 Clientes, 2 Lineas Pedido, 3 Pedidos. Relations: 1 ClientesPedidos,
    // 2 PedidosLineas Pedido.
    void colocacionYLineasDeRelacion() {
        Ejecutar("Update Tablas set PosX = 6000, PosY = 3000 where Nombre = 'Pedidos'");
        auto w = Abrir(true);
        QCOMPARE(w->Caja(1)->objectName(), QStringLiteral("lstTablas1"));
        QCOMPARE(w->Caja(2)->Lineas().mid(0, 3),
                 (QStringList{"Lineas Pedido", QString(), "IdPedido"}));
        QCOMPARE(Lugar(*w, 1), (diagrama::Punto{0, 0}));
        QCOMPARE(Lugar(*w, 2), (diagrama::Punto{2640, 0}));
        QCOMPARE(Lugar(*w, 3), (diagrama::Punto{6000, 3000}));
        QCOMPARE(w->Caja(3)->Geometria().Width, 2550);

        // Pedidos lies wholly to the right of Clientes; Lineas Pedido wholly to its left.
        QCOMPARE(w->Linea(1)->objectName(), QStringLiteral("LineRel1"));
        QCOMPARE(w->Linea(1)->Extremos(), (diagrama::Linea{2550, 0, 6000, 3000}));
        QCOMPARE(w->Linea(2)->Extremos(), (diagrama::Linea{6000, 3000, 5190, 0}));
        // Each label beside its path, clear of every box.
        for (int i : {1, 2}) {
            auto* etiqueta = w->Etiqueta(i);
            QCOMPARE(etiqueta->objectName(), QStringLiteral("LabelRel%1").arg(i));
            QVERIFY(etiqueta->isVisible());
            for (int k : {1, 2, 3})
                QVERIFY(!etiqueta->sceneBoundingRect().intersects(w->Caja(k)->sceneBoundingRect()));
        }
        QCOMPARE(w->Etiqueta(1)->Texto(), QStringLiteral("ClientesPedidos"));
    }

    void aceptarCancelarYSoloVer() {
        CapturaMensajes mensajes;
        auto w = Abrir(true);
        auto* vista = w->Vista();
        auto* frTabla = w->findChild<QGroupBox*>("frTabla");
        auto* frCampo = w->findChild<QGroupBox*>("frCampo");
        auto* frRelacion = w->findChild<QGroupBox*>("frRelacion");
        QVERIFY(!frTabla->isVisible() && !frCampo->isVisible() && !frRelacion->isVisible());

        // Table: cancel brings back the stored row, accept stores quotes and gender.
        Pulsar(vista, w->Caja(1), w->Caja(1)->CentroLinea(0));
        QVERIFY(frTabla->isVisible());
        auto* singular = w->findChild<QLineEdit*>("txtTablaNombreSingular");
        QCOMPARE(singular->text(), QStringLiteral("Cliente"));
        QVERIFY(w->findChild<QRadioButton*>("opTablaMasculino")->isChecked());
        singular->setText("l'client");
        w->findChild<QPushButton*>("cmdTablaCancelar")->click();
        QCOMPARE(singular->text(), QStringLiteral("Cliente"));
        singular->setText("l'client");
        w->findChild<QRadioButton*>("opTablaFemenino")->setChecked(true);
        // The Valencian column: its own names and gender, stored beside the Spanish ones.
        auto* singularVa = w->findChild<QLineEdit*>("txtTablaNombreSingularVa");
        QCOMPARE(singularVa->text(), QStringLiteral("Clientes"));
        singularVa->setText("client");
        w->findChild<QLineEdit*>("txtTablaNombrePluralVa")->setText("clients");
        QVERIFY(w->findChild<QRadioButton*>("opTablaMasculinoVa")->isChecked());
        w->findChild<QPushButton*>("CmdTablaAceptar")->click();
        QCOMPARE(Cadena("select NombreSingular from Tablas where Nombre = 'Clientes'"),
                 std::string("l'client"));
        QCOMPARE(Entero("select MascFeme from Tablas where Nombre = 'Clientes'"), 0);
        QCOMPARE(Cadena("select NombrePlural || MascFeme from TablasVa where Nombre = 'Clientes'"),
                 std::string("clients-1"));

        // The separator hides every frame.
        Pulsar(vista, w->Caja(1), w->Caja(1)->CentroLinea(1));
        QVERIFY(!frTabla->isVisible() && !frCampo->isVisible() && !frRelacion->isVisible());

        // A field without a row shows its defaults and its accept inserts only its row.
        Ejecutar("Delete from Campos where NombreTabla = 'Pedidos' and Nombre = 'Importe'");
        Pulsar(vista, w->Caja(3), w->Caja(3)->CentroLinea(5));
        QVERIFY(frCampo->isVisible());
        QCOMPARE(w->findChild<QLabel*>("lbCampoNombre")->text(), QStringLiteral("Importe"));
        QCOMPARE(w->findChild<QLabel*>("lbCampoNombreTabla")->text(), QStringLiteral("Pedidos"));
        QCOMPARE(w->findChild<QLineEdit*>("txtCampoNombrePlural")->text(),
                 QStringLiteral("Importes"));
        w->findChild<QCheckBox*>("chkCampoPermiteSum")->setChecked(true);
        w->findChild<QPushButton*>("cmdCampoAceptar")->click();
        QCOMPARE(Entero("select PermiteSum from Campos where Nombre = 'Importe'"), -1);
        QCOMPARE(Entero("select count(*) from Campos where PermiteSum <> 0"), 1);
        QCOMPARE(Entero("select count(*) from Campos"), 14);

        // Relation: origin and destination from the user database; a row that vanished
        // makes the accept fail with its message.
        Pulsar(vista, w->Etiqueta(1), w->Etiqueta(1)->boundingRect().center());
        QVERIFY(frRelacion->isVisible() && !frCampo->isVisible());
        QCOMPARE(w->findChild<QLabel*>("lbTablaOrigen")->text(), QStringLiteral("Clientes"));
        QCOMPARE(w->findChild<QLabel*>("lbTablaDestino")->text(), QStringLiteral("Pedidos"));
        QCOMPARE(w->findChild<QLineEdit*>("txtRelacionNombre")->text(), QStringLiteral("de"));
        Ejecutar("Delete from Relaciones");
        QVERIFY(mensajes.mensajes().empty());
        w->findChild<QPushButton*>("cmdRelacionAceptar")->click();
        QCOMPARE(mensajes.mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes.mensajes()[0].texto,
                 QStringLiteral("Error actualizando los datos de la relación"));
        QCOMPARE(Entero("select count(*) from Relaciones"), 0);

        // View only: frames still fill, nothing can be stored.
        w->setDatosModificables(false);
        QVERIFY(!w->findChild<QGroupBox*>("frPropiedades")->isEnabled());
        for (const char* boton :
             {"CmdTablaAceptar", "cmdCampoAceptar", "cmdRelacionAceptar", "cmdGuardarPosiciones"})
            QVERIFY2(!w->findChild<QPushButton*>(boton)->isVisible(), boton);
        Pulsar(vista, w->Caja(2), w->Caja(2)->CentroLinea(0));
        QVERIFY(frTabla->isVisible());
        QCOMPARE(w->findChild<QLabel*>("lbTablaNombre")->text(), QStringLiteral("Lineas Pedido"));
    }

    void arrastrarEstirarGuardarYReabrir() {
        CapturaMensajes mensajes;
        {
            auto w = Abrir(true);
            auto* vista = w->Vista();
            Arrastrar(vista, w->Caja(2), {20, 60}, {300, 100});
            QCOMPARE(Lugar(*w, 2), (diagrama::Punto{2640 + 4500, 1500}));
            // No box goes past the left or top edge.
            Arrastrar(vista, w->Caja(1), {20, 60}, {-200, -50});
            QCOMPARE(Lugar(*w, 1), (diagrama::Punto{0, 0}));
            // The lower right corner of the box as drawn stretches it instead.
            const auto antes = w->Caja(3)->Dibujada().caja;
            Arrastrar(vista, w->Caja(3), {antes.Width / 15.0 - 2, antes.Height / 15.0 - 2},
                      {40, 20});
            QCOMPARE(Lugar(*w, 3), (diagrama::Punto{antes.Left, antes.Top}));
            QCOMPARE(w->Caja(3)->Geometria().Width, 2550 + 600);
            QCOMPARE(w->Caja(3)->Geometria().Height, antes.Height + 300);
            // The line leaves from the stretched box's right edge.
            QCOMPARE(w->Linea(2)->Extremos().X1, 5280 + 3150);
            w->findChild<QPushButton*>("cmdGuardarPosiciones")->click();
        }
        QVERIFY(mensajes.mensajes().empty());
        QCOMPARE(Entero("select PosX from Tablas where Nombre = 'Lineas Pedido'"), 7140);
        auto w = Abrir(false);
        QCOMPARE(Lugar(*w, 2), (diagrama::Punto{7140, 1500}));
        QCOMPARE(Lugar(*w, 1), (diagrama::Punto{0, 0}));  // stored (0, 0): placed automatically
        QCOMPARE(w->Caja(3)->Geometria().Width, 2550);    // sizes are not stored
    }

    void filaIlegible() {
        CapturaMensajes mensajes;
        auto w = Abrir(true);
        Pulsar(w->Vista(), w->Caja(1), w->Caja(1)->CentroLinea(0));
        QVERIFY(w->findChild<QGroupBox*>("frTabla")->isVisible());
        Ejecutar("DROP TABLE Campos");
        Pulsar(w->Vista(), w->Caja(1), w->Caja(1)->CentroLinea(2));
        QCOMPARE(mensajes.mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes.mensajes()[0].texto, QStringLiteral("Error recuperando datos del campo"));
        // Nothing stays on show that an accept could write to.
        for (const char* frame : {"frTabla", "frCampo", "frRelacion"})
            QVERIFY2(!w->findChild<QGroupBox*>(frame)->isVisible(), frame);
    }

    void arrastrarMasAllaDeLaVista() {
        auto w = Abrir(true);
        auto* vista = w->Vista();
        const int derecha = ATwips(vista->viewport()->width());
        // The visible area's right edge stops the box; once dropped, the diagram grows so
        // that the next drag carries it further, and the view scrolls after it.
        Arrastrar(vista, w->Caja(1), {20, 60}, {5000, 0});
        QCOMPARE(Lugar(*w, 1), (diagrama::Punto{derecha - 2550, 0}));
        const int desplazamiento = vista->horizontalScrollBar()->value();
        Arrastrar(vista, w->Caja(1), {20, 60}, {100, 0});
        QVERIFY(Lugar(*w, 1).X >= derecha - 2550 + 1500);
        QVERIFY(vista->horizontalScrollBar()->value() > desplazamiento);
    }

    void posicionesQueNoSePuedenGuardar() {
        CapturaMensajes mensajes;
        auto w = Abrir(true);
        Ejecutar(
            "CREATE TRIGGER sinPosicion BEFORE UPDATE OF PosX ON Tablas WHEN new.Nombre = "
            "'Pedidos' BEGIN SELECT RAISE(ABORT, 'no'); END");
        w->GuardarPosiciones();
        QCOMPARE(mensajes.mensajes().size(), std::size_t(1));
        QVERIFY(mensajes.mensajes()[0].texto.endsWith(QStringLiteral("\r\nPedidos")));
        QCOMPARE(Entero("select PosY from Tablas where Nombre = 'Pedidos'"), 0);
    }

    void exportarDiagrama() {
        auto w = Abrir(false);
        const QString png = Q(entorno_->home() / "diagrama.png");
        const QString svg = Q(entorno_->home() / "diagrama.svg");
        QVERIFY(w->ExportarDiagrama(png));
        QVERIFY(w->ExportarDiagrama(svg));
        // Never onto the open database: the reason, the database as it was.
        const std::string antes = ReadBytes(Aplicacion::Actual().Usuario()->Name());
        CapturaMensajes mensajes;
        QVERIFY(
            !w->ExportarDiagrama(QString::fromStdString(Aplicacion::Actual().Usuario()->Name())));
        QCOMPARE(mensajes.mensajes().size(), std::size_t(1));
        QVERIFY(mensajes.mensajes()[0].texto.contains(Q(Texto(2103))));
        QCOMPARE(ReadBytes(Aplicacion::Actual().Usuario()->Name()), antes);
        QImage imagen(png);
        QVERIFY(!imagen.isNull() && imagen.width() > 300);
        QFile f(svg);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("<svg"));
    }

    void crearBDAuxiliar() {
        CapturaMensajes mensajes(ui::Respuesta::No);
        Ejecutar("Update Tablas set NombreSingular = 'cliente fiel' where Nombre = 'Clientes'");
        Ejecutar("INSERT INTO CabBoletines VALUES ('Tema 1')");
        ui::frmVLRCrearBDAuxiliar w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Crear BD Auxiliar"));
        w.findChild<QPushButton*>("cmdCrear")->click();
        QCOMPARE(mensajes.mensajes().size(), std::size_t(1));
        QCOMPARE(mensajes.mensajes()[0].texto, QStringLiteral("¿Está seguro?"));
        QVERIFY(mensajes.mensajes()[0].botones == ui::Botones::SiNoPorDefectoNo);
        QCOMPARE(Cadena("select NombreSingular from Tablas where Nombre = 'Clientes'"),
                 std::string("cliente fiel"));

        mensajes.Limpiar();
        mensajes.FijarRespuesta(ui::Respuesta::Si);
        Ejecutar(
            "CREATE TRIGGER rechazo BEFORE INSERT ON Relaciones WHEN new.Nombre = "
            "'ClientesPedidos' BEGIN SELECT RAISE(ABORT, 'rechazada'); END");
        w.findChild<QPushButton*>("cmdCrear")->click();
        QCOMPARE(mensajes.mensajes().size(), std::size_t(2));
        QVERIFY(mensajes.mensajes()[1].texto.endsWith(
            QStringLiteral("rechazada\r\nInsertando en tabla Relaciones")));
        QCOMPARE(Cadena("select NombreSingular from Tablas where Nombre = 'Clientes'"),
                 std::string("Cliente"));
        QCOMPARE(Entero("select count(*) from Relaciones"), 1);
        QCOMPARE(Entero("select count(*) from CabBoletines"), 1);
    }

    void relacionSinTablaZoomYAjuste() {
        const auto ruta = entorno_->home() / "datos" / "fantasma.db";
        BuildDatabase(ruta,
                      "CREATE TABLE A(Id INTEGER PRIMARY KEY);"
                      "CREATE TABLE B(Id INTEGER, IdA INTEGER REFERENCES A(Id),"
                      "  IdX INTEGER REFERENCES Fantasma(Id));");
        QCOMPARE(Aplicacion::Actual().AbrirUsuario(ruta.string()), 0);
        QCOMPARE(Aplicacion::Actual().AbrirAuxiliar("fantasma.db"), 0);
        auto w = Abrir(true);
        QVERIFY(w->Linea(1) && w->Etiqueta(1));
        // Relation 2 points at a table the diagram lacks: no line, a button instead.
        QVERIFY(!w->Linea(2) && !w->Etiqueta(2));
        auto* boton = w->findChild<QPushButton*>("LabelRel2");
        QVERIFY(boton && boton->isVisible());
        QCOMPARE(boton->text(), QStringLiteral("FantasmaB"));
        boton->click();
        QVERIFY(w->findChild<QGroupBox*>("frRelacion")->isVisible());
        QCOMPARE(w->findChild<QLabel*>("lbTablaOrigen")->text(), QStringLiteral("Fantasma"));
        w->findChild<QLineEdit*>("txtRelacionNombre")->setText("del fantasma");
        w->findChild<QPushButton*>("cmdRelacionAceptar")->click();
        QCOMPARE(Cadena("select Traduccion from Relaciones where Nombre = 'FantasmaB'"),
                 std::string("del fantasma"));
        QCOMPARE(Entero("select count(*) from Relaciones"), 1);

        // Ctrl + wheel zooms in; Ctrl+0 brings the whole diagram into view.
        auto* vista = w->Vista();
        const QPointF centro = vista->viewport()->rect().center();
        QWheelEvent rueda(centro, vista->viewport()->mapToGlobal(centro), {}, {0, 480},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vista->viewport(), &rueda);
        QVERIFY(vista->transform().m11() > 1.5);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_0, Qt::ControlModifier);
        const QRectF visible = vista->mapToScene(vista->viewport()->rect()).boundingRect();
        QVERIFY(visible.contains(vista->scene()->itemsBoundingRect()));
    }

  private:
    std::unique_ptr<frmVLRDefinirDatos> Abrir(bool modificables) {
        auto w = std::make_unique<frmVLRDefinirDatos>();
        w->setDatosModificables(modificables);
        w->resize(1000, 700);
        w->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(w.get())); }();
        return w;
    }

    std::unique_ptr<EntornoShell> entorno_;
};

QTEST_MAIN(TestDictionaryEditor)
#include "test_dictionary_editor.moc"
