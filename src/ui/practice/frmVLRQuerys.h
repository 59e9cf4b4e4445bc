#pragma once
// Query practice window: random questions or the questions of a bulletin.

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/dictionary/vista_esquema.h"
#include "core/practice/juez.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QDeadlineTimer;

namespace veliora {
class SesionPractica;
struct ResultadoPractica;
}

namespace veliora::ui {

class EditorSql;
class PanelEsquema;
class Trabajo;

class frmVLRQuerys : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRQuerys(QWidget* parent = nullptr);
    ~frmVLRQuerys() override;

    // Empty: random mode; a bulletin's name: bulletin mode. Set before the window is shown:
    // the mode is set up after the first paint. Changing it on a window whose mode is
    // already set up sets the mode up again.
    QString NombreBoletin() const { return nombreBoletin_; }
    void setNombreBoletin(const QString& nombre);

    // The current generated query and its question (random mode).
    QString SolucionSQL() const;
    QString TextoPregunta() const;
    void setSolucionSQL(const QString& sql);
    void setTextoPregunta(const QString& texto);
    int MinutosSolucion() const;

    // Shows the current question (random mode) and starts the solution wait.
    void MostrarPregunta();
    // Sets the window up for its mode; runs once by itself after the first paint.
    void PrepararModo();
    // Judges the answer box against the current solution, off the window thread; the
    // verdict shows when it is ready.
    void ComprobarRespuesta();
    // A check or a generation is running.
    bool Ocupada() const;
    // Stops what runs at once (Cancel, Esc, closing the window).
    void Cancelar();

    // Timer periods in milliseconds (tests shorten them), read whenever a timer starts.
    static void FijarIntervalos(int inicio, int minuto, int segundo);

    // The size its mode gives it (controls sit at fixed places, as designed), and the
    // differences area when it is open.
    QSize sizeHint() const override { return tamano_ + QSize(AnchoPanel(), AltoDiferencias()); }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Construction, in steps.
    QPushButton* NuevoBoton(const char* nombre);
    void CrearCajas();
    void CrearBotones();
    void CrearDetalle();
    void OrdenarTabulacion();
    void CrearTemporizadores();
    void Conectar();
    void CrearAtajos();
    void CargarTextos();
    void ConfigurarControles(bool modoBoletin);
    void LimpiarTextos();
    void AbrirBoletin();
    void MostrarPreguntaBoletin();
    void ActualizarNavegacion();
    void HabilitarSolucion(bool habilitar);
    void Dimensionar(int anchoTwips, int altoTwips);
    // Places the controls at their designed places, the boxes taking what the window has
    // beyond its designed size.
    void Colocar();
    void MostrarVeredicto(const ResultadoPractica& resultado);
    // The differences of the last wrong answer, or the counterexample of the last answer
    // right only on this data, under the "Ver diferencias" button; nothing when neither.
    void MostrarDetalle();
    void OlvidarDetalle();
    void AbrirDetalle(bool abierto);
    int AltoDiferencias() const;
    // Width the schema panel takes at the right, open or folded.
    int AnchoPanel() const;
    // Grows or shrinks the window by what the schema panel changed since `antes`.
    void AjustarAncho(int antes);
    void CargarEsquema();
    // The solution on show, as generated or in standard SQL.
    void MostrarSolucion();
    // The wait for the solution, counted down to the second.
    void EmpezarCuentaAtras();
    void ActualizarCuentaAtras();
    // Grows or shrinks the window by what the differences area changed since `antes`.
    void AjustarAlto(int antes);
    void chkEvitarTriviales_Click();
    void Ocupar(bool ocupada);

    void chkQuery_Click();
    void cmdQuery_Click();
    void cmdMostrarSolucion_Click();
    void cmdMostrarSolucion2_Click();
    void cmdGuardarCons_Click();
    void cmdAntQuery_Click();
    void cmdSigQuery_Click();
    void TimerInicio_Timer();
    void tmrHabilitarBotonSolucion_Timer();

    QString nombreBoletin_;
    bool primerPintado_ = true;
    bool modoPreparado_ = false;
    bool modoBoletin_ = false;
    QSize tamano_;
    // Shared with the worker that generates or checks, which may outlive the window.
    std::shared_ptr<SesionPractica> sesion_;
    Trabajo* trabajo_;

    QGroupBox* FrPregunta_;
    QGroupBox* FrRespuesta_;
    QGroupBox* FrSolucion_;
    QPlainTextEdit* txtPregunta_;
    EditorSql* txtRespuesta_;
    EditorSql* txtSolucion_;
    PanelEsquema* pnlEsquema_;
    QCheckBox* chkSqlEstandar_;
    QLabel* lblCuentaAtras_;
    QTimer* tmrCuentaAtras_;
    std::unique_ptr<QDeadlineTimer> finEspera_;
    VistaEsquema esquema_;
    bool esquemaCargado_ = false;
    int anchoPanel_ = 0;  // the width the layout last gave the schema panel
    bool solucionMostrada_ = false;
    std::array<QCheckBox*, 5> chkQuery_{};
    QPushButton* cmdQuery_;
    QPushButton* cmdCompRespuesta_;
    QPushButton* cmdMostrarSolucion_;
    QPushButton* cmdGuardarCons_;
    QPushButton* cmdCompRespuesta2_;
    QPushButton* cmdMostrarSolucion2_;
    QPushButton* cmdAntQuery_;
    QPushButton* cmdSigQuery_;
    QLabel* lblNPregunta_;
    QLabel* lblPreguntaActual_;
    QLabel* lblDePregunta_;
    QLabel* lblTotalPreguntas_;
    QPushButton* cmdSalir_;
    QCheckBox* chkEvitarTriviales_;
    QPushButton* cmdVerDiferencias_;
    QPlainTextEdit* txtDiferencias_;
    bool detalle_ = false;       // the last check has a detail worth showing
    std::int64_t mostrada_ = 0;  // when the question on show was shown (ms since 1970)
    QTimer* TimerInicio_;
    QTimer* tmrHabilitarBotonSolucion_;
};

}  // namespace veliora::ui
