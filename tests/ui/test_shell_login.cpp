// Teacher access: the login dialog alone and as start-up runs it.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <tuple>

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

}  // namespace

class TestShellLogin : public QObject {
    Q_OBJECT

  private slots:
    void init() { entorno_ = std::make_unique<EntornoShell>(); }
    void cleanup() {
        captura_.Limpiar();
        entorno_.reset();
    }

    // Any mix of capitals; nothing else, not even a blank more.
    void soloLaClaveExacta_data() {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("contrasenya");
        QTest::addColumn<bool>("entra");
        const std::tuple<const char*, const char*, const char*, bool> filas[] = {
            {"capitals", "TRAMU", "GALVINO", true},
            {"user name in lower case", "tramu", "GALVINO", true},
            {"both mixed", "TrAmU", "galViNo", true},
            {"trailing blank in the user name", "TRAMU ", "GALVINO", false},
            {"leading blank in the password", "TRAMU", " GALVINO", false},
            {"wrong user name", "TRAMUS", "GALVINO", false},
            {"wrong password", "TRAMU", "GALVIN", false},
            {"swapped", "GALVINO", "TRAMU", false},
            {"empty", "", "", false}};
        for (const auto& [fila, usuario, contrasenya, entra] : filas)
            QTest::newRow(fila) << QString(usuario) << QString(contrasenya) << entra;
    }
    void soloLaClaveExacta() {
        QFETCH(QString, usuario);
        QFETCH(QString, contrasenya);
        QFETCH(bool, entra);
        frmVLRLogin l;
        l.show();
        Intentar(l, usuario, contrasenya);
        QCOMPARE(Aplicacion::Actual().Profesor(), entra);
        QCOMPARE(l.isVisible(), !entra);  // stays open for another attempt
        if (entra) {
            QCOMPARE(l.result(), int(QDialog::Accepted));
            QVERIFY(captura_.mensajes().empty());
            return;
        }
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

    void cancelarTrasUnFalloEsAlumno() {
        Aplicacion::Actual().FijarProfesor(true);  // cancelling sets the flag, whatever it held
        frmVLRLogin l;
        l.show();
        Intentar(l, "tramu", "mal");
        l.findChild<QPushButton*>("cmdCancelar")->click();
        QVERIFY(!Aplicacion::Actual().Profesor());
        QVERIFY(!l.isVisible());
        QCOMPARE(l.result(), int(QDialog::Rejected));
    }

    void cerrarDeOtraFormaNoCambiaNada() {
        for (bool antes : {false, true}) {
            Aplicacion::Actual().FijarProfesor(antes);
            frmVLRLogin l;
            l.show();
            QTest::keyClick(&l, Qt::Key_Escape);
            QVERIFY(!l.isVisible());
            QCOMPARE(Aplicacion::Actual().Profesor(), antes);

            frmVLRLogin otra;
            otra.show();
            otra.close();
            QCOMPARE(Aplicacion::Actual().Profesor(), antes);
        }
    }

    // Start-up with the real modal loop: the dialog is driven from a timer while it runs.
    // Failed attempts do not lock the access: the fourth still enters.
    void arranqueConElDialogoModal() {
        bool visto = false;
        QTimer::singleShot(0, [&] {
            auto* login = qobject_cast<frmVLRLogin*>(QApplication::activeModalWidget());
            if (!login)
                return;
            visto = true;
            QCOMPARE(Contrasenya(*login)->echoMode(), QLineEdit::Password);
            for (const char* mal : {"uno", "dos", "tres"}) Intentar(*login, "TRAMU", mal);
            QVERIFY(login->isVisible());
            Intentar(*login, "TRAMU", "GALVINO");
        });
        ui::frmVLRMdi w;
        w.Iniciar({"--algo", "/Profesor"});
        QVERIFY(visto);
        QVERIFY(Aplicacion::Actual().Profesor());
        QCOMPARE(int(captura_.mensajes().size()), 3);
    }

  private:
    std::unique_ptr<EntornoShell> entorno_;
    ui::CapturaMensajes captura_;
};

QTEST_MAIN(TestShellLogin)
#include "test_shell_login.moc"
