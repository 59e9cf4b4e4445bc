// Teacher access: the login dialog alone and as start-up runs it.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <array>

#include "core/shell/textos.h"
#include "test_shell_comun.h"
#include "ui/shell/frmVLRLogin.h"
#include "ui/shell/frmVLRMdi.h"
#include "ui/shell/mensajes.h"

using namespace veliora;
using namespace veliora::test;
using veliora::ui::frmVLRLogin;

namespace {

QLineEdit* Usuario(frmVLRLogin& l) {
    return l.findChild<QLineEdit*>("txtUserName");
}
QLineEdit* Contrasenya(frmVLRLogin& l) {
    return l.findChild<QLineEdit*>("txtPassword");
}

void Intentar(frmVLRLogin& l, const QString& usuario, const QString& contrasenya) {
    Usuario(l)->setText(usuario);
    Contrasenya(l)->setText(contrasenya);
    l.findChild<QPushButton*>("cmdAceptar")->click();
}

// Rows of a user name and a password, each under its name.
void Filas(std::initializer_list<std::array<const char*, 3>> filas) {
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("contrasenya");
    for (const auto& f : filas) QTest::newRow(f[0]) << QString(f[1]) << QString(f[2]);
}

}  // namespace

class TestShellLogin : public QObject {
    Q_OBJECT

  private slots:
    void init() { entorno_ = std::make_unique<EntornoShell>(); }
    void cleanup() {
        captura_.Limpiar();
        entorno_.reset();
    }

    void textosYControles() {
        frmVLRLogin l;
        QCOMPARE(l.windowTitle(), QStringLiteral("Control de acceso"));
        QCOMPARE(Contrasenya(l)->echoMode(), QLineEdit::Password);
        QVERIFY(l.isModal());
        DesplazamientoIdioma = 10000;
        frmVLRLogin v;
        Intentar(v, "x", "y");
        QCOMPARE(captura_.mensajes().at(0).texto,
                 QStringLiteral("La contrasenya no es vàlida. Torne a intentar-ho."));
    }

    void aceptaCualquierMezclaDeMayusculas_data() {
        Filas({{"capitals", "TRAMU", "GALVINO"},
               {"user name in lower case", "tramu", "GALVINO"},
               {"both mixed", "TrAmU", "galViNo"}});
    }
    void aceptaCualquierMezclaDeMayusculas() {
        QFETCH(QString, usuario);
        QFETCH(QString, contrasenya);
        frmVLRLogin l;
        Intentar(l, usuario, contrasenya);
        QVERIFY(ModoProfesor);
        QCOMPARE(l.result(), int(QDialog::Accepted));
        QVERIFY(captura_.mensajes().empty());
    }

    void rechazaLoQueNoEsExacto_data() {
        Filas({{"trailing blank in the user name", "TRAMU ", "GALVINO"},
               {"leading blank in the password", "TRAMU", " GALVINO"},
               {"wrong user name", "TRAMUS", "GALVINO"},
               {"wrong password", "TRAMU", "GALVIN"},
               {"swapped", "GALVINO", "TRAMU"},
               {"empty", "", ""}});
    }
    void rechazaLoQueNoEsExacto() {
        QFETCH(QString, usuario);
        QFETCH(QString, contrasenya);
        frmVLRLogin l;
        l.show();
        Intentar(l, usuario, contrasenya);
        QVERIFY(!ModoProfesor);
        QVERIFY(l.isVisible());  // stays open for another attempt
        QCOMPARE(int(captura_.mensajes().size()), 1);
        const auto& m = captura_.mensajes().front();
        QCOMPARE(m.texto, QStringLiteral("La contraseña no es válida. Vuelva a intentarlo."));
        QCOMPARE(m.icono, ui::Icono::Critico);
        QCOMPARE(m.botones, ui::Botones::Aceptar);
        // Ready for the next typing: the password selected, the user name kept.
        QCOMPARE(l.focusWidget(), static_cast<QWidget*>(Contrasenya(l)));
        QCOMPARE(Contrasenya(l)->selectedText(), contrasenya);
        QCOMPARE(Usuario(l)->text(), usuario);
    }

    void tresFallosYAlCuartoEntra() {
        frmVLRLogin l;
        l.show();
        Intentar(l, "tramu", "uno");
        Intentar(l, "tramu", "dos");
        Intentar(l, "tramu ", "galvino");
        QCOMPARE(int(captura_.mensajes().size()), 3);
        QVERIFY(!ModoProfesor);
        QVERIFY(l.isVisible());
        Intentar(l, "tramu", "galvino");
        QVERIFY(ModoProfesor);
        QVERIFY(!l.isVisible());
        QCOMPARE(int(captura_.mensajes().size()), 3);
    }

    void cancelarTrasUnFalloEsAlumno() {
        ModoProfesor = true;  // cancelling sets the flag, whatever it held
        frmVLRLogin l;
        l.show();
        Intentar(l, "tramu", "mal");
        l.findChild<QPushButton*>("cmdCancelar")->click();
        QVERIFY(!ModoProfesor);
        QVERIFY(!l.isVisible());
        QCOMPARE(l.result(), int(QDialog::Rejected));
    }

    void cerrarDeOtraFormaNoCambiaNada() {
        for (bool antes : {false, true}) {
            ModoProfesor = antes;
            frmVLRLogin l;
            l.show();
            QTest::keyClick(&l, Qt::Key_Escape);
            QVERIFY(!l.isVisible());
            QCOMPARE(ModoProfesor, antes);

            frmVLRLogin otra;
            otra.show();
            otra.close();
            QCOMPARE(ModoProfesor, antes);
        }
    }

    // Start-up with the real modal loop: the dialog is driven from a timer while it runs.
    void arranqueConElDialogoModal() {
        bool visto = false;
        QTimer::singleShot(0, [&] {
            auto* login = qobject_cast<frmVLRLogin*>(QApplication::activeModalWidget());
            if (!login)
                return;
            visto = true;
            Intentar(*login, "TRAMU", "uno");
            Intentar(*login, "TRAMU", "GALVINO");
        });
        ui::frmVLRMdi w;
        w.Iniciar({"--algo", "/Profesor"});
        QVERIFY(visto);  // the login was shown modally
        QVERIFY(ModoProfesor);
        QCOMPARE(int(captura_.mensajes().size()), 1);
    }

  private:
    std::unique_ptr<EntornoShell> entorno_;
    ui::CapturaMensajes captura_;
};

QTEST_MAIN(TestShellLogin)
#include "test_shell_login.moc"
