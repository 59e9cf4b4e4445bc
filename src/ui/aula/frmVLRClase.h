#pragma once
// The class's short dialogs: a student joins a class; a teacher creates one or publishes the
// open database to one. The work runs off the window thread with a visible Cancel.

#include <QDialog>
#include <QString>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace veliora::ui {

class Trabajo;

class frmVLRClase : public QDialog {
    Q_OBJECT
  public:
    enum class Modo { Unirse, Crear, Publicar };

    explicit frmVLRClase(QWidget* parent = nullptr);
    ~frmVLRClase() override;

    // Set before the dialog is shown: which fields it asks for.
    void setModo(Modo modo);
    Modo modo() const { return modo_; }
    void CargarTextos();

  signals:
    // A join downloaded the class's database to `ruta`: the main window opens it.
    void unida(const QString& ruta);
    // The open databases were closed to be replaced by the download.
    void cerradas();

  private:
    QLineEdit* NuevaCaja(const char* nombre);
    void Ocupar(bool ocupado);
    void cmdAceptar_Click();
    void Unirse();
    void Crear();
    void Publicar();
    // The failure, said through the one message box.
    void Avisar(const QString& texto);

    Modo modo_ = Modo::Unirse;
    QFormLayout* formulario_;
    QLineEdit* txtServidor_;
    QLineEdit* txtCodigo_;
    QLineEdit* txtNombre_;
    QLineEdit* txtContrasena_;
    QPushButton* cmdAceptar_;
    QPushButton* cmdCancelar_;
    Trabajo* trabajo_;
};

// The server and class code the teacher and the student used last (never a password).
QString ServidorRecordado();
QString ClaseRecordada();
void RecordarClase(const QString& servidor, const QString& codigo);

}  // namespace veliora::ui
