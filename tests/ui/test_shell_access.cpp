// Opening an Access file from the main window: converted with progress, its auxiliary
// database by the Access file's name, damaged files reported, Cancel honoured.
#include <sys/stat.h>

#include <QProgressDialog>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "core/access/conversion.h"
#include "core/base/textos.h"
#include "test_shell_comun.h"
#include "ui/shell/frmVLRMdi.h"
#include "ui/shell/mensajes.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRMdi;
namespace fs = std::filesystem;

namespace {

bool SinAccess() {
    return !fs::is_directory(AccessFixtureDir()) || access::RutaLector().empty();
}

}  // namespace

class TestShellAccess : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        if (SinAccess())
            QSKIP("no Access fixtures beside the project, or veliora-mdb not built");
        entorno_ = std::make_unique<EntornoShell>();
    }
    void cleanup() {
        captura_.Limpiar();
        unsetenv("VELIORA_MDB");
        entorno_.reset();
    }

    void abreElArchivoConvertido() {
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(AccessFixtureDir() / "nwind.mdb")));
        QVERIFY(captura_.mensajes().empty());
        QCOMPARE(fs::path(Aplicacion::Actual().Usuario()->Name()),
                 entorno_->home() / "importadas" / "nwind.db");
        QCOMPARE(fs::path(Aplicacion::Actual().Auxiliar()->Name()),
                 entorno_->home() / "nwind.mdb_");
        engine::Error err;
        QCOMPARE(
            Aplicacion::Actual().Usuario()->Scalar("select count(*) from [Umsätze]", err).toInt(),
            830LL);
        QVERIFY(w.findChild<QMenu*>(QStringLiteral("mnuConsultas"))->menuAction()->isEnabled());
    }

    void unArchivoTruncadoDaElMensaje202ConElMotivo() {
        const fs::path roto = entorno_->home() / "roto.mdb";
        std::ofstream(roto, std::ios::binary)
            << ReadBytes(AccessFixtureDir() / "nwind.mdb").substr(0, 70000);
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(!Abrir(w, Q(roto)));
        QCOMPARE(captura_.mensajes().size(), std::size_t(1));
        const QStringList lineas = captura_.mensajes()[0].texto.split(QLatin1Char('\n'));
        QCOMPARE(lineas.size(), 2);
        QCOMPARE(lineas[0], QString::fromStdString(Texto(202)));
        QVERIFY(lineas[1].startsWith(QString::fromStdString(Texto(1601))));
        QVERIFY(!Aplicacion::Actual().Usuario());
        QVERIFY(fs::is_empty(entorno_->home() / "importadas"));
    }

    // A row of Orders hidden by damage (see the command-line test): the database opens, and
    // the window says what the conversion lost.
    void lasFilasPerdidasSeDicenTrasConvertir() {
        std::string bytes = ReadBytes(AccessFixtureDir() / "nwind.mdb");
        bytes[399 * 2048 + 11] = char(bytes[399 * 2048 + 11] | 0x40);
        std::ofstream(entorno_->home() / "herido.mdb", std::ios::binary) << bytes;
        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(entorno_->home() / "herido.mdb")));
        QCOMPARE(captura_.mensajes().size(), std::size_t(1));
        QCOMPARE(captura_.mensajes()[0].texto,
                 QString::fromStdString(Texto(2132) + "\r\n" + Texto(2131) +
                                        "\r\nOrders: " + Texto(2130, {"829", "830"})));
    }

    void cancelarDejaLaBaseAbierta() {
        const auto bd = EntornoShell::CrearBD(entorno_->home() / "alumnos.db");
        // A reader that stops answering mid-table: only Cancel ends the conversion.
        const fs::path guion = entorno_->home() / "lector.sh";
        std::ofstream(guion) << "#!/bin/sh\nprintf 'V\\t0\\nS\\tT\\t9\\nT\\tT\\t9\\n'\n"
                                "exec sleep 600\n";
        ::chmod(guion.c_str(), 0755);
        setenv("VELIORA_MDB", guion.c_str(), 1);
        std::ofstream(entorno_->home() / "lento.mdb") << "x";

        frmVLRMdi w;
        w.Iniciar({});
        QVERIFY(Abrir(w, Q(bd)));
        QTimer::singleShot(0, &w, [&w] {
            auto* dialogo = w.findChild<QProgressDialog*>(QStringLiteral("frmVLRConvertirAccess"));
            QVERIFY(dialogo);
            dialogo->cancel();
        });
        QVERIFY(!Abrir(w, Q(entorno_->home() / "lento.mdb")));
        QVERIFY(captura_.mensajes().empty());
        QCOMPARE(fs::path(Aplicacion::Actual().Usuario()->Name()), bd);
        QVERIFY(fs::is_empty(entorno_->home() / "importadas"));
    }

  private:
    std::unique_ptr<EntornoShell> entorno_;
    ui::CapturaMensajes captura_;
};

QTEST_MAIN(TestShellAccess)
#include "test_shell_access.moc"
