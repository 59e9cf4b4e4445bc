#pragma once
// Every message box of the program goes through Mensaje, so that tests can capture the
// messages instead of blocking on a modal box.

#include <QString>
#include <functional>
#include <vector>

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
