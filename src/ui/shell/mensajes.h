#pragma once
// Every message box of the program goes through Mensaje, so that tests can capture the
// messages instead of blocking on a modal box.

#include <QString>
#include <functional>
#include <vector>

#include "core/engine/error.h"

class QWidget;

namespace veliora::ui {

enum class Icono { Ninguno, Informacion, Exclamacion, Critico };
// SiNoTodos: Yes, No, Yes to all. SiNoPorDefectoNo: Yes and No with No the default button,
// for what cannot be undone.
enum class Botones { Aceptar, SiNo, SiNoTodos, SiNoPorDefectoNo };
enum class Respuesta { Aceptar, Si, No, SiATodos };

struct MensajeMostrado {
    QString texto;
    Icono icono;
    Botones botones;
    QString titulo;
};

// Shows a message box with the application's title ("VELIORA") unless another is given.
Respuesta Mensaje(const QString& texto, Icono icono = Icono::Ninguno,
                  Botones botones = Botones::Aceptar,
                  const QString& titulo = QStringLiteral("VELIORA"), QWidget* padre = nullptr);

// The layouts in which the windows show an error's number and description.
enum class FormaError {
    DosPuntos,      // "Error N: description"
    Compacta,       // "Error:N.description"
    EnPaso,         // "Error N en <paso>.description"
    Aviso,          // "Se produjo el error:N", then the description on its own line
    DeArchivo,      // "Error N ", then the description of a file's failure on its own line
    DeImportacion,  // "Error: N " and the description of a file's failure
};

// The one way a window shows an error in context: its number and its description (made
// in the interface's language) laid out as `forma` says; `paso` names the step that failed.
QString TextoError(const engine::Error& error, FormaError forma = FormaError::DosPuntos,
                   const QString& paso = {});

// Tests: while an interceptor is set, Mensaje records the message and returns what the
// interceptor answers, without showing anything.
using Interceptor = std::function<Respuesta(const MensajeMostrado&)>;
void FijarInterceptorMensajes(Interceptor interceptor);

// Convenience for tests: records every message and answers `respuesta` (Si for yes/no
// questions by default; the same answer for yes/no/yes-to-all questions). Restores the previous
// interceptor when destroyed.
class CapturaMensajes {
  public:
    explicit CapturaMensajes(Respuesta respuestaSiNo = Respuesta::Si);
    ~CapturaMensajes();
    const std::vector<MensajeMostrado>& mensajes() const { return mensajes_; }
    void Limpiar() { mensajes_.clear(); }
    void FijarRespuesta(Respuesta r) { respuesta_ = r; }

  private:
    std::vector<MensajeMostrado> mensajes_;
    Respuesta respuesta_;
};

}  // namespace veliora::ui
