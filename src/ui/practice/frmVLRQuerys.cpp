#include "ui/practice/frmVLRQuerys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/generator/generador.h"
#include "core/practice/comprobar.h"
#include "core/shell/globales.h"
#include "core/shell/textos.h"
#include "ui/practice/frmVLRGuardarQuery.h"
#include "ui/shell/mensajes.h"

namespace veliora::ui {

namespace {

QString T(int id) {
    return QString::fromStdString(Texto(id));
}
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

struct Intervalos {
    int inicio = 250;
    int minuto = 60000;
    int segundo = 1000;
};
Intervalos& IntervalosActuales() {
    static Intervalos intervalos;
    return intervalos;
}

// The window is laid out in twips, as its sizing rules are stated; 15 twips per pixel.
constexpr int kTwipsPorPixel = 15;
constexpr int Px(int twips) {
    return twips / kTwipsPorPixel;
}
constexpr int Tw(int pixels) {
    return pixels * kTwipsPorPixel;
}

void Colocar(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

// Design positions (twips).
constexpr int kMargen = 120;
constexpr int kAnchoMarco = 9000, kAltoMarco = 1500;
constexpr int kTopPregunta = 120, kTopRespuesta = 1740, kTopSolucion = 3360;
constexpr int kColumna = kMargen + kAnchoMarco + kMargen, kAnchoColumna = 1950;
constexpr int kAltoBoton = 420;
constexpr int kAnchoSalir = 1500;
constexpr int kTopFilaBoletin = kTopSolucion + kAltoMarco + kMargen;

class CursorEspera {
  public:
    CursorEspera() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QGuiApplication::restoreOverrideCursor(); }
};

Icono IconoDe(Veredicto v) {
    switch (v) {
        case Veredicto::Correcto:
        case Veredicto::CorrectoSoloAqui:
        case Veredicto::SolucionInvalida:
            return Icono::Exclamacion;
        case Veredicto::Erroneo:
        case Veredicto::RespuestaInvalida:
            return Icono::Critico;
    }
    return Icono::Ninguno;
}

}  // namespace

void frmVLRQuerys::FijarIntervalos(int inicio, int minuto, int segundo) {
    IntervalosActuales() = {inicio, minuto, segundo};
}

frmVLRQuerys::frmVLRQuerys(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLRQuerys"));
    bdUsuario_ = BDUsuario;
    bdAuxiliar_ = BDAuxiliar;

    auto marco = [this](const char* nombre, const char* nombreTexto, QPlainTextEdit*& texto,
                        int top) {
        auto* fr = new QGroupBox(this);
        fr->setObjectName(QString::fromLatin1(nombre));
        Colocar(fr, kMargen, top, kAnchoMarco, kAltoMarco);
        texto = new QPlainTextEdit(fr);
        texto->setObjectName(QString::fromLatin1(nombreTexto));
        auto* capa = new QVBoxLayout(fr);
        capa->setContentsMargins(6, 4, 6, 6);
        capa->addWidget(texto);
        return fr;
    };
    FrPregunta_ = marco("FrPregunta", "txtPregunta", txtPregunta_, kTopPregunta);
    FrRespuesta_ = marco("FrRespuesta", "txtRespuesta", txtRespuesta_, kTopRespuesta);
    FrSolucion_ = marco("FrSolucion", "txtSolucion", txtSolucion_, kTopSolucion);
    txtPregunta_->setReadOnly(true);
    txtSolucion_->setReadOnly(true);
    QFont fija(QStringLiteral("Courier New"));
    fija.setStyleHint(QFont::TypeWriter);
    fija.setFixedPitch(true);
    txtRespuesta_->setFont(fija);
    txtSolucion_->setFont(fija);

    for (int i = 0; i < 5; ++i) {
        auto* chk = new QCheckBox(this);
        chk->setObjectName(QStringLiteral("chkQuery%1").arg(i + 1));
        chk->setChecked(true);
        Colocar(chk, kColumna, 240 + i * 330, kAnchoColumna, 300);
        connect(chk, &QCheckBox::toggled, this, [this] { chkQuery_Click(); });
        chkQuery_[std::size_t(i)] = chk;
    }
    auto boton = [this](const char* nombre, int left, int top, int width) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        Colocar(b, left, top, width, kAltoBoton);
        return b;
    };
    cmdQuery_ = boton("cmdQuery", kColumna, 2040, kAnchoColumna);
    cmdCompRespuesta_ = boton("cmdCompRespuesta", kColumna, 2580, kAnchoColumna);
    cmdMostrarSolucion_ = boton("cmdMostrarSolucion", kColumna, 3120, kAnchoColumna);
    cmdGuardarCons_ = boton("cmdGuardarCons", kColumna, 3660, kAnchoColumna);

    auto etiqueta = [this](const char* nombre, int left, int width, Qt::Alignment alineacion) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nombre));
        l->setAlignment(alineacion | Qt::AlignVCenter);
        Colocar(l, left, kTopFilaBoletin + 60, width, 300);
        return l;
    };
    lblNPregunta_ = etiqueta("lblNPregunta", kMargen, 1140, Qt::AlignLeft);
    lblPreguntaActual_ = etiqueta("lblPreguntaActual", 1275, 480, Qt::AlignRight);
    lblDePregunta_ = etiqueta("lblDePregunta", 1785, 360, Qt::AlignHCenter);
    lblTotalPreguntas_ = etiqueta("lblTotalPreguntas", 2160, 600, Qt::AlignLeft);
    cmdAntQuery_ = boton("cmdAntQuery", 2880, kTopFilaBoletin, 600);
    cmdSigQuery_ = boton("cmdSigQuery", 3540, kTopFilaBoletin, 600);
    cmdCompRespuesta2_ = boton("cmdCompRespuesta2", 4260, kTopFilaBoletin, 1500);
    cmdMostrarSolucion2_ = boton("cmdMostrarSolucion2", 5880, kTopFilaBoletin, 1620);
    cmdSalir_ =
        boton("cmdSalir", kMargen + kAnchoMarco - kAnchoSalir, kTopFilaBoletin, kAnchoSalir);
    cmdAntQuery_->setText(QStringLiteral("<<"));
    cmdSigQuery_->setText(QStringLiteral(">>"));

    TimerInicio_ = new QTimer(this);
    TimerInicio_->setObjectName(QStringLiteral("TimerInicio"));
    TimerInicio_->setSingleShot(true);
    TimerInicio_->setInterval(IntervalosActuales().inicio);
    connect(TimerInicio_, &QTimer::timeout, this, [this] { TimerInicio_Timer(); });
    // Without an interval it does not run until a question sets one.
    tmrHabilitarBotonSolucion_ = new QTimer(this);
    tmrHabilitarBotonSolucion_->setObjectName(QStringLiteral("tmrHabilitarBotonSolucion"));
    connect(tmrHabilitarBotonSolucion_, &QTimer::timeout, this,
            [this] { tmrHabilitarBotonSolucion_Timer(); });

    connect(cmdQuery_, &QPushButton::clicked, this, [this] { cmdQuery_Click(); });
    connect(cmdCompRespuesta_, &QPushButton::clicked, this, [this] { ComprobarRespuesta(); });
    connect(cmdCompRespuesta2_, &QPushButton::clicked, this, [this] { ComprobarRespuesta(); });
    connect(cmdMostrarSolucion_, &QPushButton::clicked, this,
            [this] { cmdMostrarSolucion_Click(); });
    connect(cmdMostrarSolucion2_, &QPushButton::clicked, this,
            [this] { cmdMostrarSolucion2_Click(); });
    connect(cmdGuardarCons_, &QPushButton::clicked, this, [this] { cmdGuardarCons_Click(); });
    connect(cmdAntQuery_, &QPushButton::clicked, this, [this] { cmdAntQuery_Click(); });
    connect(cmdSigQuery_, &QPushButton::clicked, this, [this] { cmdSigQuery_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);

    CargarTextos();
    primerPintado_ = true;
    txtPregunta_->clear();
    txtRespuesta_->clear();
    // Until the mode is known, room for the controls of both.
    tamano_ = QSize(Px(kColumna + kAnchoColumna + 240), Px(kTopFilaBoletin + kAltoBoton + 480));
    resize(tamano_);

    // The word lists and the schema model; a failure only leaves cmdQuery without effect.
    if (bdUsuario_ && bdAuxiliar_) {
        try {
            generador_ = std::make_unique<GeneradorConsultas>(bdUsuario_, bdAuxiliar_);
            engine::EngineError error;
            generadorCargado_ = generador_->Cargar(error);
        } catch (...) {
            generadorCargado_ = false;
        }
    }
}

frmVLRQuerys::~frmVLRQuerys() = default;

void frmVLRQuerys::setNombreBoletin(const QString& nombre) {
    const bool cambia = nombre != nombreBoletin_;
    nombreBoletin_ = nombre;
    // The menus reuse the open window: another mode or bulletin needs a new set-up.
    if (cambia && modoPreparado_) {
        tmrHabilitarBotonSolucion_->stop();
        TimerInicio_->start(IntervalosActuales().inicio);
    }
}

void frmVLRQuerys::CargarTextos() {
    setWindowTitle(T(1101));
    FrPregunta_->setTitle(T(1102));
    FrRespuesta_->setTitle(T(1103));
    FrSolucion_->setTitle(T(1104));
    cmdCompRespuesta_->setText(T(1105));
    cmdCompRespuesta2_->setText(T(1105));
    cmdMostrarSolucion_->setText(T(1106));
    cmdMostrarSolucion2_->setText(T(1106));
    for (int i = 0; i < 5; ++i) chkQuery_[std::size_t(i)]->setText(T(1107 + i));
    cmdGuardarCons_->setText(T(1112));
    cmdSalir_->setText(T(1113));
    lblNPregunta_->setText(T(1114));
    lblDePregunta_->setText(T(1115));
    cmdQuery_->setText(T(1121));
}

void frmVLRQuerys::paintEvent(QPaintEvent* event) {
    if (primerPintado_) {
        primerPintado_ = false;
        TimerInicio_->start(IntervalosActuales().inicio);
    }
    QWidget::paintEvent(event);
}

void frmVLRQuerys::TimerInicio_Timer() {
    TimerInicio_->stop();
    PrepararModo();
}

void frmVLRQuerys::PrepararModo() {
    modoPreparado_ = true;
    const bool modoBoletin = !nombreBoletin_.isEmpty();
    ConfigurarControles(modoBoletin);
    if (!modoBoletin) {
        Dimensionar(Tw(chkQuery_[0]->x()) + Tw(chkQuery_[0]->width()) + 240,
                    Tw(FrSolucion_->y()) + Tw(FrSolucion_->height()) + 480);
        // Back from a bulletin: nothing of the last question, and no solution button
        // enabled until a new question starts its own wait.
        preguntasBoletin_.clear();
        solucionSQL_.clear();
        textoPregunta_.clear();
        tmrHabilitarBotonSolucion_->stop();
        HabilitarSolucion(false);
        LimpiarTextos();
        return;
    }
    Dimensionar(Tw(FrPregunta_->x()) + Tw(FrPregunta_->width()) + 240,
                Tw(cmdAntQuery_->y()) + Tw(cmdAntQuery_->height()) + 480);
    minutosSolucion_ = 0;
    AbrirBoletin();
    if (!preguntasBoletin_.empty()) {
        LimpiarTextos();
        MostrarPreguntaBoletin();
        txtRespuesta_->setFocus();
    }
}

void frmVLRQuerys::ConfigurarControles(bool modoBoletin) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdAntQuery_, cmdSigQuery_, cmdCompRespuesta2_, cmdMostrarSolucion2_, lblNPregunta_,
             lblPreguntaActual_, lblDePregunta_, lblTotalPreguntas_})
        w->setVisible(modoBoletin);
    for (QWidget* w : chkQuery_) w->setVisible(!modoBoletin);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdQuery_, cmdCompRespuesta_,
                                                      cmdMostrarSolucion_, cmdGuardarCons_})
        w->setVisible(!modoBoletin);
    if (!ModoProfesor)
        cmdGuardarCons_->setVisible(false);

    if (!modoBoletin) {
        cmdSalir_->move(cmdQuery_->x(),
                        FrSolucion_->y() + FrSolucion_->height() - cmdSalir_->height());
    } else {
        cmdSalir_->move(FrSolucion_->x() + FrSolucion_->width() - cmdSalir_->width(),
                        cmdAntQuery_->y());
    }
}

void frmVLRQuerys::Dimensionar(int anchoTwips, int altoTwips) {
    tamano_ = QSize(Px(anchoTwips), Px(altoTwips));
    updateGeometry();
    resize(tamano_);
    // Inside the main window the sub-window follows, frame included.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->adjustSize();
}

void frmVLRQuerys::LimpiarTextos() {
    txtPregunta_->clear();
    txtRespuesta_->clear();
    txtSolucion_->clear();
}

void frmVLRQuerys::chkQuery_Click() {
    for (QCheckBox* chk : chkQuery_)
        if (chk->isChecked())
            return;
    chkQuery_[0]->setChecked(true);
}

void frmVLRQuerys::cmdQuery_Click() {
    // Errors are ignored: without a new question the previous one stays on screen.
    try {
        if (!generador_ && bdUsuario_ && bdAuxiliar_)
            generador_ = std::make_unique<GeneradorConsultas>(bdUsuario_, bdAuxiliar_);
        if (!generador_)
            return;
        CursorEspera espera;
        if (!generadorCargado_) {
            engine::EngineError error;
            generadorCargado_ = generador_->Cargar(error);
            if (!generadorCargado_)
                return;
        }
        std::array<bool, 5> marcadas{};
        for (std::size_t i = 0; i < 5; ++i) marcadas[i] = chkQuery_[i]->isChecked();
        if (!generador_->GenerarPregunta(marcadas))
            return;
        solucionSQL_ = Q(generador_->SolucionSQL());
        textoPregunta_ = Q(generador_->TextoPregunta());
    } catch (...) {
        return;
    }
    MostrarPregunta();
}

void frmVLRQuerys::MostrarPregunta() {
    txtPregunta_->setPlainText(textoPregunta_);
    txtSolucion_->clear();
    txtRespuesta_->clear();
    txtRespuesta_->setFocus();
    if (ModoProfesor) {
        HabilitarSolucion(true);
        return;
    }
    HabilitarSolucion(false);
    minutosSolucion_ = 5;
    tmrHabilitarBotonSolucion_->start(IntervalosActuales().minuto);
}

void frmVLRQuerys::tmrHabilitarBotonSolucion_Timer() {
    --minutosSolucion_;
    if (minutosSolucion_ < 1) {
        tmrHabilitarBotonSolucion_->stop();
        HabilitarSolucion(true);
    }
}

void frmVLRQuerys::HabilitarSolucion(bool habilitar) {
    cmdMostrarSolucion_->setEnabled(habilitar);
    cmdMostrarSolucion2_->setEnabled(habilitar);
}

void frmVLRQuerys::AbrirBoletin() {
    engine::EngineError error;
    preguntasBoletin_.clear();
    posicion_ = 0;
    // Errors are ignored: a bulletin that cannot be read is shown as an empty one.
    if (bdAuxiliar_) {
        try {
            preguntasBoletin_ = LeerBoletin(*bdAuxiliar_, nombreBoletin_.toStdString(), error);
        } catch (...) {
            preguntasBoletin_.clear();
        }
    }
    if (preguntasBoletin_.empty()) {
        Mensaje(QStringLiteral("No hay preguntas disponibles en el boletín seleccionado"),
                Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        lblPreguntaActual_->setText(QStringLiteral("0"));
        lblTotalPreguntas_->setText(QStringLiteral("0"));
        LimpiarTextos();
        cmdAntQuery_->setEnabled(false);
        cmdSigQuery_->setEnabled(false);
        cmdCompRespuesta2_->setEnabled(false);
        cmdSalir_->setFocus();
        return;
    }
    lblTotalPreguntas_->setText(QString::number(preguntasBoletin_.size()));
    LimpiarTextos();
    MostrarPreguntaBoletin();
    cmdCompRespuesta2_->setEnabled(true);
    cmdCompRespuesta2_->setFocus();
}

void frmVLRQuerys::MostrarPreguntaBoletin() {
    if (posicion_ >= preguntasBoletin_.size())
        return;
    lblPreguntaActual_->setText(QString::number(posicion_ + 1));
    txtPregunta_->setPlainText(Q(preguntasBoletin_[posicion_].Pregunta));
    txtRespuesta_->clear();
    txtSolucion_->clear();
    txtRespuesta_->setFocus();
    HabilitarSolucion(false);
    tmrHabilitarBotonSolucion_->start(IntervalosActuales().segundo);
    ActualizarNavegacion();
}

void frmVLRQuerys::ActualizarNavegacion() {
    cmdSigQuery_->setEnabled(posicion_ < preguntasBoletin_.size() &&
                             posicion_ + 1 != preguntasBoletin_.size());
    cmdAntQuery_->setEnabled(posicion_ != 0);
}

void frmVLRQuerys::cmdSigQuery_Click() {
    if (posicion_ + 1 >= preguntasBoletin_.size())
        return;
    ++posicion_;
    ActualizarNavegacion();
    LimpiarTextos();
    MostrarPreguntaBoletin();
}

void frmVLRQuerys::cmdAntQuery_Click() {
    if (posicion_ == 0)
        return;
    --posicion_;
    ActualizarNavegacion();
    LimpiarTextos();
    MostrarPreguntaBoletin();
}

void frmVLRQuerys::cmdMostrarSolucion_Click() {
    txtSolucion_->setPlainText(solucionSQL_);
}

void frmVLRQuerys::cmdMostrarSolucion2_Click() {
    if (posicion_ < preguntasBoletin_.size())
        txtSolucion_->setPlainText(Q(preguntasBoletin_[posicion_].Respuesta));
}

void frmVLRQuerys::ComprobarRespuesta() {
    std::string solucion;
    if (nombreBoletin_.isEmpty())
        solucion = solucionSQL_.toStdString();
    else if (posicion_ < preguntasBoletin_.size())
        solucion = preguntasBoletin_[posicion_].Respuesta;
    const std::string respuesta = txtRespuesta_->toPlainText().toStdString();

    ResultadoComprobacion r;
    if (!bdUsuario_) {
        r = {Veredicto::SolucionInvalida, MensajeVeredicto(Veredicto::SolucionInvalida), {}};
    } else {
        CursorEspera espera;
        try {
            r = ::veliora::ComprobarRespuesta(*bdUsuario_, solucion, respuesta);
        } catch (...) {
            r = {Veredicto::SolucionInvalida, MensajeVeredicto(Veredicto::SolucionInvalida), {}};
        }
    }
    Mensaje(Q(r.mensaje), IconoDe(r.veredicto), Botones::Aceptar, QStringLiteral("VELIORA"), this);
    // A right answer makes the solution available at once; a running wait still counts down.
    if (r.veredicto == Veredicto::Correcto)
        HabilitarSolucion(true);
}

void frmVLRQuerys::cmdGuardarCons_Click() {
    frmVLRGuardarQuery dialogo(this);
    dialogo.setModoConsultas(false);
    dialogo.setQuery(solucionSQL_);
    dialogo.setSolucion(textoPregunta_);
    dialogo.exec();
}

void frmVLRQuerys::closeEvent(QCloseEvent* event) {
    tmrHabilitarBotonSolucion_->stop();
    TimerInicio_->stop();
    preguntasBoletin_.clear();
    QWidget::closeEvent(event);
}

}  // namespace veliora::ui
