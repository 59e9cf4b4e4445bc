// Every window speaks the interface's language: each visible text differs between Spanish
// and Valencian unless the string table itself gives both languages the same text.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <set>

#include "core/base/textos.h"
#include "test_practice_comun.h"
#include "ui/bulletins/frmVLRExportarBoletin.h"
#include "ui/bulletins/frmVLRImportarBoletines.h"
#include "ui/bulletins/frmVLRMBoletines.h"
#include "ui/bulletins/frmVLRNuevoBoletin.h"
#include "ui/dictionary/frmVLRCrearBDAuxiliar.h"
#include "ui/dictionary/frmVLRDefinirDatos.h"
#include "ui/practice/frmVLREjecutarQuery.h"
#include "ui/practice/frmVLRGuardarQuery.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/frmVLRAbout.h"
#include "ui/shell/frmVLRAyuda.h"
#include "ui/shell/frmVLRCambiarIdioma.h"
#include "ui/shell/frmVLRLogin.h"
#include "ui/shell/frmVLRMdi.h"
#include "ui/shell/mensajes.h"

using namespace veliora;
using namespace veliora::test;

namespace {

using Fabrica = std::function<std::unique_ptr<QWidget>()>;

template <class W>
Fabrica De() {
    return [] { return std::make_unique<W>(); };
}

// Every text a user can read in the window, by control name.
std::map<QString, QString> Textos(QWidget* w) {
    std::map<QString, QString> t;
    t[QStringLiteral("(title)")] = w->windowTitle();
    for (auto* b : w->findChildren<QAbstractButton*>()) t[b->objectName()] = b->text();
    for (auto* l : w->findChildren<QLabel*>()) t[l->objectName()] = l->text();
    for (auto* g : w->findChildren<QGroupBox*>()) t[g->objectName()] = g->title();
    for (auto* m : w->findChildren<QMenu*>()) {
        // Without the mnemonic mark, which differs between the languages anyway.
        t[m->objectName()] = m->title().remove(QLatin1Char('&'));
        for (QAction* a : m->actions()) t[a->objectName()] = a->text().remove(QLatin1Char('&'));
    }
    // Data, not captions: the open file's name.
    t.erase(QStringLiteral("lblEstadoArchivo"));
    std::erase_if(t, [](const auto& par) { return par.second.trimmed().isEmpty(); });
    return t;
}

}  // namespace

class TestBothLanguages : public QObject {
    Q_OBJECT

  private slots:
    void everyVisibleTextFollowsTheLanguage_data() {
        QTest::addColumn<Fabrica>("fabrica");
        QTest::newRow("frmVLRMdi") << Fabrica([] {
            auto w = std::make_unique<ui::frmVLRMdi>();
            w->CargarTextos();
            return std::unique_ptr<QWidget>(std::move(w));
        });
        QTest::newRow("frmVLRQuerys") << De<ui::frmVLRQuerys>();
        QTest::newRow("frmVLREjecutarQuery") << De<ui::frmVLREjecutarQuery>();
        QTest::newRow("frmVLRGuardarQuery") << De<ui::frmVLRGuardarQuery>();
        QTest::newRow("frmVLRAbout") << De<ui::frmVLRAbout>();
        QTest::newRow("frmVLRAyuda") << De<ui::frmVLRAyuda>();
        QTest::newRow("frmVLRCambiarIdioma") << De<ui::frmVLRCambiarIdioma>();
        QTest::newRow("frmVLRLogin") << De<ui::frmVLRLogin>();
        QTest::newRow("frmVLRMBoletines") << De<ui::frmVLRMBoletines>();
        QTest::newRow("frmVLRNuevoBoletin") << De<ui::frmVLRNuevoBoletin>();
        QTest::newRow("frmVLRExportarBoletin") << De<ui::frmVLRExportarBoletin>();
        QTest::newRow("frmVLRImportarBoletines") << De<ui::frmVLRImportarBoletines>();
        QTest::newRow("frmVLRCrearBDAuxiliar") << De<ui::frmVLRCrearBDAuxiliar>();
        QTest::newRow("frmVLRDefinirDatos") << De<ui::frmVLRDefinirDatos>();
    }

    void everyVisibleTextFollowsTheLanguage() {
        QFETCH(Fabrica, fabrica);
        EntornoPractica entorno(true);
        ui::CapturaMensajes mensajes;
        // Texts the string table gives both languages alike, and the few that are the same
        // by design (product name, arrows, the two Spanish-only menu entries, figures).
        std::set<QString> iguales = {QStringLiteral("VELIORA"), QStringLiteral("<<"),
                                     QStringLiteral(">>"), QStringLiteral("Importar boletines"),
                                     QStringLiteral("Seleccionar idioma")};
        for (int id = 1; id < 10000; ++id)
            if (ExisteTexto(id) && TextoAbsoluto(id) == TextoAbsoluto(id + 10000))
                iguales.insert(QString::fromStdString(TextoAbsoluto(id)));

        const auto es = Textos(fabrica().get());
        Aplicacion::Actual().FijarDesplazamientoIdioma(10000);
        const auto va = Textos(fabrica().get());
        QVERIFY(!es.empty());
        for (const auto& [nombre, texto] : es) {
            const auto otro = va.find(nombre);
            if (otro == va.end() || otro->second != texto)
                continue;
            bool numero = false;
            texto.toDouble(&numero);
            // A caption may add the product name to a table text.
            const QString resto = QString(texto).remove(QStringLiteral("VELIORA")).trimmed();
            // Arrows and other signs have no language.
            const bool letras =
                std::any_of(texto.begin(), texto.end(), [](QChar c) { return c.isLetter(); });
            const bool comun = numero || !letras || resto.isEmpty() || iguales.count(texto) > 0 ||
                               iguales.count(resto) > 0;
            QVERIFY2(comun, qPrintable(nombre + QStringLiteral(": ") + texto));
        }
    }
};

QTEST_MAIN(TestBothLanguages)
#include "test_both_languages.moc"
