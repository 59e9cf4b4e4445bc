#include "ui/shell/traduccion_qt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

#include "core/app/aplicacion.h"

namespace veliora::ui {

namespace {

struct Arreglo {
    const char* contexto;
    const char* original;
    const char* espanol;
    const char* valenciano;
};

// Texts Debian's translations leave in English, and key names written as keyboards print them.
constexpr Arreglo kArreglos[] = {
    {"QFileSystemModel", "Folder", "Carpeta", "Carpeta"},
    {"QFileSystemModel", "File Folder", "Carpeta de archivos", "Carpeta de fitxers"},
    {"QFileSystemModel", "Drive", "Unidad", "Unitat"},
    {"QFileDialog", "My Computer", "Mi equipo", "El meu ordinador"},
    {"QShortcut", "Ctrl", "Ctrl", "Ctrl"},
    {"QShortcut", "Shift", "Mayús", "Maj"},
    {"QShortcut", "Return", "Intro", "Intro"},
    {"QShortcut", "Enter", "Intro", "Intro"},
    {"QShortcut", "Del", "Supr", "Supr"},
    {"QShortcut", "Esc", "Esc", "Esc"},
};

class TraductorQt : public QTranslator {
  public:
    explicit TraductorQt(bool valenciano) : valenciano_(valenciano) {
        // Without the package only the fixed texts apply.
        (void)qt_.load(valenciano ? QStringLiteral("qtbase_ca") : QStringLiteral("qtbase_es"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* contexto, const char* original, const char* desambiguacion,
                      int n) const override {
        for (const Arreglo& a : kArreglos)
            if (std::strcmp(a.contexto, contexto) == 0 && std::strcmp(a.original, original) == 0)
                return QString::fromUtf8(valenciano_ ? a.valenciano : a.espanol);
        return qt_.translate(contexto, original, desambiguacion, n);
    }

  private:
    bool valenciano_;
    QTranslator qt_;
};

}  // namespace

void TraducirQt() {
    static TraductorQt* actual = nullptr;
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    const bool valenciano = Aplicacion::Actual().Valenciano();
    if (actual) {
        QCoreApplication::removeTranslator(actual);
        delete actual;
    }
    actual = new TraductorQt(valenciano);
    QCoreApplication::installTranslator(actual);
    QLocale::setDefault(QLocale(valenciano ? QLocale::Catalan : QLocale::Spanish, QLocale::Spain));
}

}  // namespace veliora::ui
