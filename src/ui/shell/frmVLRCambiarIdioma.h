#pragma once
// Language selection: writes the machine-wide setting read at the next start.

#include <QWidget>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace veliora::ui {

class frmVLRCambiarIdioma : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRCambiarIdioma(QWidget* parent = nullptr);
    ~frmVLRCambiarIdioma() override;

    void CargarTextos();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void MarcarIdiomaActual();
    void CrearIdiomaPreguntas();
    void cmdAceptar_Click();
    void cmdSalir_Click();

    QGroupBox* frIdioma_ = nullptr;
    QRadioButton* OpCastellano_ = nullptr;
    QRadioButton* OpValenciano_ = nullptr;
    // The language of the questions: the interface's, or one of the two.
    QGroupBox* frIdiomaPreguntas_ = nullptr;
    QRadioButton* OpPreguntasAplicacion_ = nullptr;
    QRadioButton* OpPreguntasCastellano_ = nullptr;
    QRadioButton* OpPreguntasValenciano_ = nullptr;
    QPushButton* cmdAceptar_ = nullptr;
    QPushButton* cmdSalir_ = nullptr;
    bool idiomaMarcado_ = false;
};

}  // namespace veliora::ui
