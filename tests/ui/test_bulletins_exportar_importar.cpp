// Bulletin export and import windows: messages, files written, files copied.
#include <QComboBox>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "core/bulletins/exportar.h"
#include "core/bulletins/mantenimiento.h"
#include "core/shell/directorio.h"
#include "test_practice_comun.h"
#include "ui/bulletins/frmVLRExportarBoletin.h"
#include "ui/bulletins/frmVLRImportarBoletines.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRExportarBoletin;
using veliora::ui::frmVLRImportarBoletines;
using veliora::ui::Icono;
namespace fs = std::filesystem;

class TestBulletinsExportarImportar : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<EntornoPractica> entorno_;
    std::unique_ptr<ui::CapturaMensajes> mensajes_;

    static void Boletin(const std::string& nombre) {
        engine::Error err;
        CrearBoletin(*Aplicacion::Actual().Auxiliar(), nombre, err);
        InsertarLinea(*Aplicacion::Actual().Auxiliar(), nombre, 2, "Dos", "select 2", err);
        InsertarLinea(*Aplicacion::Actual().Auxiliar(), nombre, 1, "Uno", "select 1", err);
    }
    // Exports `boletin` through the window with the given layout and format.
    void Exportar(const QString& boletin, bool separadas, int formato) {
        auto* w = new frmVLRExportarBoletin;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QTRY_VERIFY(Control(w, "cmdExportar")->isEnabled());
        Control<QComboBox>(w, "cboBoletin")->setCurrentText(boletin);
        Control<QRadioButton>(w, separadas ? "opSeparadas" : "OpContinuas")->setChecked(true);
        Control<QComboBox>(w, "cboFormato")->setCurrentIndex(formato);
        QTest::mouseClick(Control(w, "cmdExportar"), Qt::LeftButton);
        w->close();
    }
    QStringList Textos() const {
        QStringList t;
        for (const auto& m : mensajes_->mensajes()) t << m.texto;
        return t;
    }

  private slots:
    void initTestCase() {
        frmVLRExportarBoletin::FijarIntervaloInicio(10);
        // The save dialog answers with the path it suggests.
        ui::FijarRespuestaRuta([](const QString& sugerida) { return sugerida; });
    }
    void init() {
        entorno_ = std::make_unique<EntornoPractica>(true);
        mensajes_ = std::make_unique<ui::CapturaMensajes>();
    }
    void cleanup() {
        BorrarCerradas();
        frmVLRImportarBoletines::FijarSelectorCarpeta({});
        mensajes_.reset();
        entorno_.reset();
    }

    void noBulletinShowsTheFixedMessageAndCloses() {
        QPointer<frmVLRExportarBoletin> w = new frmVLRExportarBoletin;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QTRY_VERIFY(!mensajes_->mensajes().empty());
        QCOMPARE(Textos(), QStringList{QStringLiteral("No se ha definido ningún boletín")});
        QCOMPARE(mensajes_->mensajes().front().icono, Icono::Exclamacion);
        BorrarCerradas();
        QVERIFY(w.isNull());
    }

    void exportWritesBothLayoutsAndTellsWhere() {
        Boletin("Tema1");
        engine::Error err;
        const auto lineas = LeerBoletin(*Aplicacion::Actual().Auxiliar(), "Tema1", err);
        const fs::path ruta = DirectorioAplicacion() / "Tema1.TXT";
        for (bool separadas : {false, true}) {
            mensajes_->Limpiar();
            Exportar(QStringLiteral("Tema1"), separadas, 0);
            const QString camino = QString::fromStdString(ruta.string());
            QCOMPARE(Textos(),
                     (QStringList{QStringLiteral("¿Está seguro que desea exportar el boletín:"
                                                 "Tema1\r\na un archivo de texto?"),
                                  QStringLiteral("Proceso finalizado.\r\nSe ha generado el "
                                                 "archivo:\r\n") +
                                      camino}));
            QCOMPARE(ReadBytes(ruta), TextoBoletin(lineas, separadas ? Disposicion::Separadas
                                                                     : Disposicion::Continuas));
        }
        // Declining the question writes nothing.
        fs::remove(ruta);
        mensajes_->FijarRespuesta(ui::Respuesta::No);
        Exportar(QStringLiteral("Tema1"), false, 0);
        QVERIFY(!fs::exists(ruta));
        mensajes_->FijarRespuesta(ui::Respuesta::Si);
        // The printable forms.
        Exportar(QStringLiteral("Tema1"), true, 2);
        QCOMPARE(ReadBytes(DirectorioAplicacion() / "Tema1.PDF").substr(0, 5),
                 std::string("%PDF-"));
        Exportar(QStringLiteral("Tema1"), true, 1);
        QVERIFY(ReadBytes(DirectorioAplicacion() / "Tema1.HTM").find("1. Uno") !=
                std::string::npos);
    }

    void unsafeNameIsRefusedWithTheOpenError() {
        Boletin("../fuera");
        Exportar(QStringLiteral("../fuera"), false, 0);
        QCOMPARE(mensajes_->mensajes().size(), std::size_t(2));
        const auto& error = mensajes_->mensajes().back();
        QCOMPARE(error.icono, Icono::Critico);
        QVERIFY(error.texto.contains(QStringLiteral("\r\nAbriendo el archivo")));
        QVERIFY(error.texto.endsWith(QStringLiteral("\r\nProceso cancelado")));
        QVERIFY(!fs::exists(DirectorioAplicacion().parent_path() / "fuera.TXT"));
        QVERIFY(!fs::exists(DirectorioAplicacion() / "fuera.TXT"));
    }

    void importReplacesTheOpenAuxiliaryAndCountsFiles() {
        const fs::path disco = DirectorioAplicacion() / "disco";
        fs::create_directories(disco / "sub");
        std::ofstream(disco / "nota.txt") << "hola";
        std::ofstream(disco / ".oculto") << "x";
        std::ofstream(disco / "veliora.ini") << "[x]";
        // The teacher's auxiliary database for the database open now.
        const fs::path nuevo = disco / entorno_->usuario().filename().concat("_");
        NewAuxiliary(nuevo, "INSERT INTO CabBoletines VALUES ('Del profesor');");
        Boletin("Mio");

        QStringList iniciales;
        frmVLRImportarBoletines::FijarSelectorCarpeta([&](QWidget*, const QString& inicial) {
            iniciales << inicial;
            return QString::fromStdString(disco.string());
        });
        frmVLRImportarBoletines w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Importar boletines"));
        QTest::mouseClick(Control(&w, "cmdAceptar"), Qt::LeftButton);
        const QStringList textos = Textos();
        QCOMPARE(textos.size(), 3);
        QCOMPARE(mensajes_->mensajes()[0].botones, ui::Botones::SiNoTodos);
        QVERIFY(textos[1].startsWith(QStringLiteral("Error copiando archivo: ")));
        QVERIFY(textos[1].contains(QStringLiteral("veliora.ini\r\nError: ")));
        QCOMPARE(textos[2], QStringLiteral("Proceso finalizado.\r\nArchivos copiados: 2\r\n"
                                           "Archivos con error: 1"));
        // The open connection now reads the teacher's bulletins.
        engine::Error err;
        auto nombres = NombresBoletines(*Aplicacion::Actual().Auxiliar(), err);
        QCOMPARE(nombres, std::vector<std::string>{"Del profesor"});
        QVERIFY(fs::exists(DirectorioAplicacion() / "nota.txt"));
        QVERIFY(!fs::exists(DirectorioAplicacion() / ".oculto"));
        QVERIFY(!fs::exists(DirectorioAplicacion() / "sub"));

        // The folder is remembered; a folder that cannot be read stops before copying.
        mensajes_->Limpiar();
        fs::remove_all(disco);
        QTest::mouseClick(Control(&w, "cmdAceptar"), Qt::LeftButton);
        QCOMPARE(iniciales.last(), QString::fromStdString(disco.string()));
        QCOMPARE(Textos(), QStringList{QStringLiteral("Error leyendo de la unidad A:\r\n"
                                                      "Inserte el disco en la unidad A: y "
                                                      "repita la operación")});
    }
};

QTEST_MAIN(TestBulletinsExportarImportar)
#include "test_bulletins_exportar_importar.moc"
