#include "ui/practice/frmVLRQuerys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/aula/clase.h"
#include "core/practice/sql_estandar.h"
#include "core/session/sesion.h"
#include "core/shell/directorio.h"
#include "ui/aula/envio_clase.h"
#include "ui/practice/editor_sql.h"
#include "ui/practice/frmVLRGuardarQuery.h"
#include "ui/practice/panel_esquema.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {

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

// Design positions (twips).
constexpr int kMargen = 120;
constexpr int kAnchoMarco = 9000, kAltoMarco = 1500;
constexpr int kTopPregunta = 120, kTopRespuesta = 1740, kTopSolucion = 3360;
constexpr int kColumna = kMargen + kAnchoMarco + kMargen, kAnchoColumna = 1950;
constexpr int kAltoBoton = 420;
constexpr int kAnchoSalir = 1500;
constexpr int kTopFilaBoletin = kTopSolucion + kAltoMarco + kMargen;

constexpr int kAltoTrabajo = 26;         // pixels of the busy strip, below the lowest row
constexpr int kAnchoPanelAbierto = 250;  // pixels of the open schema panel
constexpr int kAltoDiferencias = 160;    // pixels the open differences area adds

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
    sesion_ = std::make_shared<SesionPractica>(Aplicacion::Actual().Usuario(),
                                               Aplicacion::Actual().Auxiliar());
    CrearCajas();
    CrearBotones();
    CrearDetalle();
    OrdenarTabulacion();
    trabajo_ = new Trabajo(this);
    connect(trabajo_, &Trabajo::terminado, this, [this] { Ocupar(false); });
    CrearTemporizadores();
    Conectar();
    CrearAtajos();
    CargarTextos();
    primerPintado_ = true;
    // Until the mode is known, room for the controls of both.
    tamano_ = QSize(Px(kColumna + kAnchoColumna + 240), Px(kTopFilaBoletin + kAltoBoton + 480));
    anchoPanel_ = AnchoPanel();
    Colocar();
    resize(sizeHint());
}

QPushButton* frmVLRQuerys::NuevoBoton(const char* nombre) {
    auto* b = new QPushButton(this);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setAutoDefault(true);  // Enter presses the focused button
    return b;
}

void frmVLRQuerys::CrearCajas() {
    auto marco = [this](const char* nombre, const char* nombreTexto, QPlainTextEdit* texto) {
        auto* fr = new QGroupBox(this);
        fr->setObjectName(QString::fromLatin1(nombre));
        texto->setParent(fr);
        texto->setObjectName(QString::fromLatin1(nombreTexto));
        texto->setTabChangesFocus(true);
        auto* capa = new QVBoxLayout(fr);
        capa->setContentsMargins(6, 4, 6, 6);
        capa->addWidget(texto);
        return fr;
    };
    txtPregunta_ = new QPlainTextEdit;
    txtRespuesta_ = new EditorSql;
    txtSolucion_ = new EditorSql;
    FrPregunta_ = marco("FrPregunta", "txtPregunta", txtPregunta_);
    FrRespuesta_ = marco("FrRespuesta", "txtRespuesta", txtRespuesta_);
    FrSolucion_ = marco("FrSolucion", "txtSolucion", txtSolucion_);
    txtPregunta_->setReadOnly(true);
    TabuladorConControl(txtRespuesta_);
    txtSolucion_->setReadOnly(true);
    txtRespuesta_->setFont(FuenteSQL());
    txtSolucion_->setFont(FuenteSQL());
    // Beside the boxes: the tables and fields, a double-click types a name into the answer.
    pnlEsquema_ = new PanelEsquema(this);
    connect(pnlEsquema_, &PanelEsquema::nombreElegido, txtRespuesta_, &EditorSql::Insertar);
    connect(pnlEsquema_, &PanelEsquema::abiertoCambiado, this,
            [this] { AjustarAncho(anchoPanel_); });
    // The solution as generated or as other tools read it; the wait, counted down.
    chkSqlEstandar_ = new QCheckBox(this);
    chkSqlEstandar_->setObjectName(QStringLiteral("chkSqlEstandar"));
    connect(chkSqlEstandar_, &QCheckBox::toggled, this, [this] { MostrarSolucion(); });
    lblCuentaAtras_ = new QLabel(this);
    lblCuentaAtras_->setObjectName(QStringLiteral("lblCuentaAtras"));
    lblCuentaAtras_->setAlignment(Qt::AlignCenter);
    lblCuentaAtras_->setWordWrap(true);
    lblCuentaAtras_->hide();
    tmrCuentaAtras_ = new QTimer(this);
    tmrCuentaAtras_->setInterval(1000);
    connect(tmrCuentaAtras_, &QTimer::timeout, this, [this] { ActualizarCuentaAtras(); });
    finEspera_ = std::make_unique<QDeadlineTimer>();
}

void frmVLRQuerys::CrearBotones() {
    for (int i = 0; i < 5; ++i) {
        auto* chk = new QCheckBox(this);
        chk->setObjectName(QStringLiteral("chkQuery%1").arg(i + 1));
        chk->setChecked(true);
        connect(chk, &QCheckBox::toggled, this, [this] { chkQuery_Click(); });
        chkQuery_[std::size_t(i)] = chk;
    }
    cmdQuery_ = NuevoBoton("cmdQuery");
    cmdCompRespuesta_ = NuevoBoton("cmdCompRespuesta");
    cmdMostrarSolucion_ = NuevoBoton("cmdMostrarSolucion");
    cmdGuardarCons_ = NuevoBoton("cmdGuardarCons");

    auto etiqueta = [this](const char* nombre, Qt::Alignment alineacion) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nombre));
        l->setAlignment(alineacion | Qt::AlignVCenter);
        return l;
    };
    lblNPregunta_ = etiqueta("lblNPregunta", Qt::AlignLeft);
    lblPreguntaActual_ = etiqueta("lblPreguntaActual", Qt::AlignRight);
    lblDePregunta_ = etiqueta("lblDePregunta", Qt::AlignHCenter);
    lblTotalPreguntas_ = etiqueta("lblTotalPreguntas", Qt::AlignLeft);
    cmdAntQuery_ = NuevoBoton("cmdAntQuery");
    cmdSigQuery_ = NuevoBoton("cmdSigQuery");
    cmdCompRespuesta2_ = NuevoBoton("cmdCompRespuesta2");
    cmdMostrarSolucion2_ = NuevoBoton("cmdMostrarSolucion2");
    cmdSalir_ = NuevoBoton("cmdSalir");
    cmdAntQuery_->setText(QStringLiteral("<<"));
    cmdSigQuery_->setText(QStringLiteral(">>"));
}

void frmVLRQuerys::CrearDetalle() {
    // Teachers choose whether questions whose result is empty or ignores their condition
    // are redrawn; the setting is kept for the next sessions.
    chkEvitarTriviales_ = new QCheckBox(this);
    chkEvitarTriviales_->setObjectName(QStringLiteral("chkEvitarTriviales"));
    chkEvitarTriviales_->setChecked(sesion_->EvitaTriviales());
    connect(chkEvitarTriviales_, &QCheckBox::toggled, this, [this] { chkEvitarTriviales_Click(); });
    // A push button, not a tool button: Enter presses it as it does the others.
    cmdVerDiferencias_ = NuevoBoton("cmdVerDiferencias");
    cmdVerDiferencias_->setCheckable(true);
    cmdVerDiferencias_->setFlat(true);
    cmdVerDiferencias_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    cmdVerDiferencias_->hide();
    connect(cmdVerDiferencias_, &QPushButton::toggled, this, [this](bool on) { AbrirDetalle(on); });
    txtDiferencias_ = new QPlainTextEdit(this);
    txtDiferencias_->setObjectName(QStringLiteral("txtDiferencias"));
    txtDiferencias_->setReadOnly(true);
    txtDiferencias_->setTabChangesFocus(true);
    txtDiferencias_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDiferencias_->setFont(FuenteSQL());
    txtDiferencias_->hide();
}

void frmVLRQuerys::OrdenarTabulacion() {
    // Reading order: question, answer, the buttons of the mode, the kinds, exit.
    QWidget* orden[] = {
        txtPregunta_,        txtRespuesta_,        cmdQuery_,       cmdCompRespuesta_,
        cmdMostrarSolucion_, cmdGuardarCons_,      cmdAntQuery_,    cmdSigQuery_,
        cmdCompRespuesta2_,  cmdMostrarSolucion2_, chkQuery_[0],    chkQuery_[1],
        chkQuery_[2],        chkQuery_[3],         chkQuery_[4],    chkEvitarTriviales_,
        txtSolucion_,        cmdVerDiferencias_,   txtDiferencias_, cmdSalir_};
    for (std::size_t i = 1; i < std::size(orden); ++i) setTabOrder(orden[i - 1], orden[i]);
}

void frmVLRQuerys::CrearTemporizadores() {
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
}

void frmVLRQuerys::Conectar() {
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
}

void frmVLRQuerys::CrearAtajos() {
    // Ctrl+Enter and F5 check with the check button of the mode; Ctrl+N asks for a new
    // question.
    auto atajo = [this](QKeySequence tecla, auto accion) {
        auto* s = new QShortcut(tecla, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, accion);
    };
    auto comprobar = [this] {
        QPushButton* b = modoBoletin_ ? cmdCompRespuesta2_ : cmdCompRespuesta_;
        if (b->isVisible() && b->isEnabled())
            b->click();
    };
    atajo(QKeySequence(Qt::CTRL | Qt::Key_Return), comprobar);
    atajo(QKeySequence(Qt::CTRL | Qt::Key_Enter), comprobar);
    atajo(QKeySequence(Qt::Key_F5), comprobar);
    atajo(QKeySequence(Qt::CTRL | Qt::Key_N), [this] {
        if (cmdQuery_->isVisible() && cmdQuery_->isEnabled())
            cmdQuery_->click();
    });
}

frmVLRQuerys::~frmVLRQuerys() = default;

QString frmVLRQuerys::SolucionSQL() const {
    return Q(sesion_->Solucion());
}
QString frmVLRQuerys::TextoPregunta() const {
    return Q(sesion_->Pregunta());
}
void frmVLRQuerys::setSolucionSQL(const QString& sql) {
    sesion_->FijarPregunta(sql.toStdString(), sesion_->Pregunta());
}
void frmVLRQuerys::setTextoPregunta(const QString& texto) {
    sesion_->FijarPregunta(sesion_->Solucion(), texto.toStdString());
}
int frmVLRQuerys::MinutosSolucion() const {
    return sesion_->TicksRestantes();
}
bool frmVLRQuerys::Ocupada() const {
    return trabajo_->Ocupado();
}
void frmVLRQuerys::Cancelar() {
    trabajo_->Cancelar();
}

void frmVLRQuerys::setNombreBoletin(const QString& nombre) {
    const bool cambia = nombre != nombreBoletin_;
    nombreBoletin_ = nombre;
    // The menus reuse the open window: another mode or bulletin needs a new set-up.
    if (cambia && modoPreparado_) {
        Cancelar();
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
    chkEvitarTriviales_->setText(T(1819));
    cmdVerDiferencias_->setText(T(1810));
    chkSqlEstandar_->setText(T(2418));
    chkSqlEstandar_->setToolTip(T(2419));
    const auto teclas = [](std::initializer_list<QKeySequence> lista) {
        QStringList t;
        for (const QKeySequence& k : lista) t << k.toString(QKeySequence::NativeText);
        return t.join(QStringLiteral(", "));
    };
    const QString comprobar =
        T(2414).arg(teclas({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::Key_F5)}));
    cmdCompRespuesta_->setToolTip(comprobar);
    cmdCompRespuesta2_->setToolTip(comprobar);
    cmdQuery_->setToolTip(T(2417).arg(teclas({QKeySequence(Qt::CTRL | Qt::Key_N)})));
}

void frmVLRQuerys::paintEvent(QPaintEvent* event) {
    if (primerPintado_) {
        primerPintado_ = false;
        TimerInicio_->start(IntervalosActuales().inicio);
    }
    QWidget::paintEvent(event);
}

void frmVLRQuerys::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Colocar();
}

void frmVLRQuerys::Colocar() {
    const int dx = std::max(0, width() - AnchoPanel() - tamano_.width());
    const int dy = std::max(0, height() - AltoDiferencias() - tamano_.height());
    // The three boxes share the extra height; what is below them moves down with them.
    const int dyMarco = dy / 3;
    const int alto = Px(kAltoMarco) + dyMarco;
    const int ancho = Px(kAnchoMarco) + dx;
    int top = Px(kTopPregunta);
    for (QGroupBox* fr : {FrPregunta_, FrRespuesta_, FrSolucion_}) {
        fr->setGeometry(Px(kMargen), top, ancho, alto);
        top += alto + Px(kTopRespuesta - kTopPregunta - kAltoMarco);
    }
    const int columna = Px(kColumna) + dx;
    for (int i = 0; i < 5; ++i)
        chkQuery_[std::size_t(i)]->setGeometry(columna, Px(240 + i * 330), Px(kAnchoColumna),
                                               Px(300));
    const int altoBoton = Px(kAltoBoton);
    cmdQuery_->setGeometry(columna, Px(2040), Px(kAnchoColumna), altoBoton);
    cmdCompRespuesta_->setGeometry(columna, Px(2580), Px(kAnchoColumna), altoBoton);
    cmdMostrarSolucion_->setGeometry(columna, Px(3120), Px(kAnchoColumna), altoBoton);
    cmdGuardarCons_->setGeometry(columna, Px(3660), Px(kAnchoColumna), altoBoton);

    const int fila = FrSolucion_->geometry().bottom() + 1 + Px(kMargen);
    auto enFila = [fila](QWidget* w, int left, int width, int height, int bajada = 0) {
        w->setGeometry(Px(left), fila + Px(bajada), Px(width), height);
    };
    enFila(lblNPregunta_, kMargen, 1140, Px(300), 60);
    enFila(lblPreguntaActual_, 1275, 480, Px(300), 60);
    enFila(lblDePregunta_, 1785, 360, Px(300), 60);
    enFila(lblTotalPreguntas_, 2160, 600, Px(300), 60);
    enFila(cmdAntQuery_, 2880, 600, altoBoton);
    enFila(cmdSigQuery_, 3540, 600, altoBoton);
    enFila(cmdCompRespuesta2_, 4260, 1500, altoBoton);
    enFila(cmdMostrarSolucion2_, 5880, 1620, altoBoton);
    const QRect solucion = FrSolucion_->geometry();
    if (!modoBoletin_)
        cmdSalir_->setGeometry(columna, solucion.bottom() + 1 - altoBoton, Px(kAnchoSalir),
                               altoBoton);
    else
        cmdSalir_->setGeometry(solucion.right() + 1 - Px(kAnchoSalir), fila, Px(kAnchoSalir),
                               altoBoton);
    // Below the lowest row: the busy strip, or after a check the "Ver diferencias" button;
    // the teachers' setting at the right; under them the differences area when open.
    const int abajo = modoBoletin_ ? fila + altoBoton : solucion.bottom() + 1;
    int anchoFila = solucion.width();
    if (chkEvitarTriviales_->isVisible()) {
        const int ancho = chkEvitarTriviales_->sizeHint().width();
        const int derecha = width() - Px(240) / 2;
        chkEvitarTriviales_->setGeometry(derecha - ancho, abajo + 3, ancho, kAltoTrabajo);
        anchoFila = std::min(anchoFila, derecha - ancho - 6 - solucion.x());
    }
    trabajo_->setGeometry(solucion.x(), abajo + 3, anchoFila, kAltoTrabajo);
    trabajo_->raise();
    cmdVerDiferencias_->setGeometry(solucion.x(), abajo + 3,
                                    std::min(anchoFila, cmdVerDiferencias_->sizeHint().width()),
                                    kAltoTrabajo);
    txtDiferencias_->setGeometry(solucion.x(), abajo + 3 + kAltoTrabajo + 3,
                                 width() - solucion.x() - Px(240) / 2, kAltoDiferencias - 6);
    // The schema panel at the right, as tall as the boxes; the standard-SQL switch on the
    // solution's frame; the countdown where the store button stands for teachers.
    const int derecha = width() - AnchoPanel() + 4;
    const int arriba = Px(kTopPregunta);
    pnlEsquema_->setGeometry(derecha, arriba + 6, AnchoPanel() - 4 - Px(kMargen),
                             std::max(solucion.bottom(), abajo) - arriba - 6);
    const QSize interruptor = chkSqlEstandar_->sizeHint();
    chkSqlEstandar_->setGeometry(solucion.right() - interruptor.width() - 8, solucion.top(),
                                 interruptor.width(), interruptor.height());
    chkSqlEstandar_->raise();
    lblCuentaAtras_->setGeometry(columna, Px(3600), Px(kAnchoColumna), 2 * altoBoton);
}

int frmVLRQuerys::AnchoPanel() const {
    return pnlEsquema_->Abierto() ? kAnchoPanelAbierto : pnlEsquema_->sizeHint().width() + 8;
}

void frmVLRQuerys::AjustarAncho(int antes) {
    const int delta = AnchoPanel() - antes;
    anchoPanel_ = AnchoPanel();
    if (delta != 0) {
        updateGeometry();
        if (QMdiSubWindow* sub = MarcoDe(this))
            sub->resize(sub->width() + delta, sub->height());
        else
            resize(width() + delta, height());
    }
    Colocar();
}

int frmVLRQuerys::AltoDiferencias() const {
    return detalle_ && cmdVerDiferencias_->isChecked() ? kAltoDiferencias : 0;
}

void frmVLRQuerys::AjustarAlto(int antes) {
    // The area adds its height below what is there; the boxes keep theirs.
    const int delta = AltoDiferencias() - antes;
    if (delta != 0) {
        updateGeometry();
        if (QMdiSubWindow* sub = MarcoDe(this))
            sub->resize(sub->width(), sub->height() + delta);
        else
            resize(width(), height() + delta);
    }
    Colocar();
}

void frmVLRQuerys::TimerInicio_Timer() {
    TimerInicio_->stop();
    PrepararModo();
}

void frmVLRQuerys::PrepararModo() {
    Cancelar();
    modoPreparado_ = true;
    modoBoletin_ = !nombreBoletin_.isEmpty();
    CargarEsquema();
    ConfigurarControles(modoBoletin_);
    if (!modoBoletin_) {
        Dimensionar(kColumna + kAnchoColumna + 240, kTopSolucion + kAltoMarco + 480);
        // Back from a bulletin: nothing of the last question, and no solution button
        // enabled until a new question starts its own wait.
        sesion_->ModoAleatorio();
        tmrHabilitarBotonSolucion_->stop();
        HabilitarSolucion(false);
        LimpiarTextos();
        return;
    }
    Dimensionar(kMargen + kAnchoMarco + 240, kTopFilaBoletin + kAltoBoton + 480);
    AbrirBoletin();
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
    if (!Aplicacion::Actual().Profesor())
        cmdGuardarCons_->setVisible(false);
    chkEvitarTriviales_->setVisible(!modoBoletin && Aplicacion::Actual().Profesor());
    OlvidarDetalle();
    Colocar();
}

void frmVLRQuerys::Dimensionar(int anchoTwips, int altoTwips) {
    tamano_ = QSize(Px(anchoTwips), Px(altoTwips));
    updateGeometry();
    resize(sizeHint());
    Colocar();
    // Inside the main window the frame follows, within the workspace.
    AjustarMarco(this);
}

void frmVLRQuerys::LimpiarTextos() {
    txtPregunta_->clear();
    txtRespuesta_->clear();
    txtSolucion_->clear();
    solucionMostrada_ = false;
}

void frmVLRQuerys::CargarEsquema() {
    if (esquemaCargado_ || !sesion_->Usuario())
        return;
    esquemaCargado_ = true;
    engine::Error error;
    // Without it the panel stays empty: the structure's errors show where it is loaded.
    if (!LeerVistaEsquema(*sesion_->Usuario(), Aplicacion::Actual().Auxiliar().get(), esquema_,
                          error))
        return;
    pnlEsquema_->Cargar(esquema_);
    txtRespuesta_->FijarEsquema(esquema_);
}

void frmVLRQuerys::MostrarSolucion() {
    if (!solucionMostrada_)
        return;
    const QString sql = SolucionSQL();
    txtSolucion_->setPlainText(
        chkSqlEstandar_->isChecked() ? Q(SqlEstandar(sql.toStdString(), esquema_)) : sql);
}

void frmVLRQuerys::EmpezarCuentaAtras() {
    const bool esperando = sesion_->Esperando() && !sesion_->TicksDeUnSegundo();
    lblCuentaAtras_->setVisible(esperando && !modoBoletin_);
    if (!esperando) {
        tmrCuentaAtras_->stop();
        return;
    }
    finEspera_->setRemainingTime(qint64(sesion_->TicksRestantes()) * IntervalosActuales().minuto);
    tmrCuentaAtras_->start();
    ActualizarCuentaAtras();
}

void frmVLRQuerys::ActualizarCuentaAtras() {
    const qint64 segundos = (finEspera_->remainingTime() + 999) / 1000;
    lblCuentaAtras_->setText(T(2415).arg(
        QStringLiteral("%1:%2").arg(segundos / 60).arg(segundos % 60, 2, 10, QLatin1Char('0'))));
}

void frmVLRQuerys::chkQuery_Click() {
    for (QCheckBox* chk : chkQuery_)
        if (chk->isChecked())
            return;
    chkQuery_[0]->setChecked(true);
}

void frmVLRQuerys::Ocupar(bool ocupada) {
    // While a worker runs, nothing that would start another or change the question.
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdQuery_, cmdCompRespuesta_, cmdAntQuery_, cmdSigQuery_,
                                         cmdGuardarCons_, chkEvitarTriviales_})
        w->setEnabled(!ocupada);
    cmdCompRespuesta2_->setEnabled(!ocupada && sesion_->TotalPreguntas() > 0);
    if (!ocupada && modoBoletin_)
        ActualizarNavegacion();
}

void frmVLRQuerys::cmdQuery_Click() {
    if (Ocupada())
        return;
    std::array<bool, 5> marcadas{};
    for (std::size_t i = 0; i < 5; ++i) marcadas[i] = chkQuery_[i]->isChecked();
    // A delivery only runs while its window and its work are current, so `this` is alive.
    auto sesion = sesion_;
    // Without a new question the previous one stays on screen.
    const bool lanzado = trabajo_->Lanzar(
        T(1155), sesion_->Usuario(), [this, sesion, marcadas]() -> Trabajo::Entrega {
            auto nueva = sesion->Generar(marcadas);
            if (!nueva)
                return {};
            return [this, nueva = std::move(*nueva)] {
                sesion_->FijarPregunta(nueva.solucion, nueva.pregunta);
                MostrarPregunta();
            };
        });
    if (lanzado)
        Ocupar(true);
}

void frmVLRQuerys::MostrarPregunta() {
    OlvidarDetalle();
    txtPregunta_->setPlainText(TextoPregunta());
    txtSolucion_->clear();
    txtRespuesta_->clear();
    txtRespuesta_->setFocus();
    mostrada_ = aula::Ahora();
    sesion_->EmpezarEspera(Aplicacion::Actual().Profesor());
    HabilitarSolucion(sesion_->SolucionDisponible());
    tmrHabilitarBotonSolucion_->stop();
    if (sesion_->Esperando())
        tmrHabilitarBotonSolucion_->start(sesion_->TicksDeUnSegundo()
                                              ? IntervalosActuales().segundo
                                              : IntervalosActuales().minuto);
    solucionMostrada_ = false;
    EmpezarCuentaAtras();
}

void frmVLRQuerys::tmrHabilitarBotonSolucion_Timer() {
    if (sesion_->Tick()) {
        tmrHabilitarBotonSolucion_->stop();
        HabilitarSolucion(true);
    } else {
        EmpezarCuentaAtras();  // back in step with the ticks
    }
}

void frmVLRQuerys::HabilitarSolucion(bool habilitar) {
    cmdMostrarSolucion_->setEnabled(habilitar);
    cmdMostrarSolucion2_->setEnabled(habilitar);
    if (habilitar) {
        tmrCuentaAtras_->stop();
        lblCuentaAtras_->hide();
    }
    // The rows the answer misses may show now.
    if (habilitar && detalle_)
        MostrarDetalle();
}

void frmVLRQuerys::AbrirBoletin() {
    if (!sesion_->AbrirBoletin(nombreBoletin_.toStdString())) {
        Mensaje(T(1150), Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        lblPreguntaActual_->setText(QStringLiteral("0"));
        lblTotalPreguntas_->setText(QStringLiteral("0"));
        LimpiarTextos();
        cmdAntQuery_->setEnabled(false);
        cmdSigQuery_->setEnabled(false);
        cmdCompRespuesta2_->setEnabled(false);
        HabilitarSolucion(false);
        cmdSalir_->setFocus();
        return;
    }
    lblTotalPreguntas_->setText(QString::number(sesion_->TotalPreguntas()));
    cmdCompRespuesta2_->setEnabled(true);
    MostrarPreguntaBoletin();
}

void frmVLRQuerys::MostrarPreguntaBoletin() {
    if (sesion_->TotalPreguntas() == 0)
        return;
    lblPreguntaActual_->setText(QString::number(sesion_->Posicion() + 1));
    MostrarPregunta();
    ActualizarNavegacion();
}

void frmVLRQuerys::ActualizarNavegacion() {
    cmdSigQuery_->setEnabled(sesion_->HaySiguiente());
    cmdAntQuery_->setEnabled(sesion_->HayAnterior());
}

void frmVLRQuerys::cmdSigQuery_Click() {
    if (!Ocupada() && sesion_->Siguiente())
        MostrarPreguntaBoletin();
}

void frmVLRQuerys::cmdAntQuery_Click() {
    if (!Ocupada() && sesion_->Anterior())
        MostrarPreguntaBoletin();
}

void frmVLRQuerys::cmdMostrarSolucion_Click() {
    solucionMostrada_ = true;
    MostrarSolucion();
}

void frmVLRQuerys::cmdMostrarSolucion2_Click() {
    solucionMostrada_ = true;
    MostrarSolucion();
}

void frmVLRQuerys::ComprobarRespuesta() {
    if (Ocupada())
        return;
    OlvidarDetalle();
    const std::string respuesta = txtRespuesta_->toPlainText().toStdString();
    auto comprobacion = sesion_->Comprobacion(respuesta);
    // What the joined class keeps of the check (see IntentoDeClase).
    const aula::DatosIntento datos{{},
                                   modoBoletin_ ? nombreBoletin_.toStdString() : std::string(),
                                   sesion_->NumeroPregunta(),
                                   sesion_->Pregunta(),
                                   sesion_->Solucion(),
                                   respuesta,
                                   mostrada_};
    const std::string ruta = sesion_->Usuario() ? sesion_->Usuario()->Name() : std::string();
    const std::filesystem::path directorio = DirectorioAplicacion();
    const bool lanzado = trabajo_->Lanzar(
        T(1153), sesion_->Usuario(),
        [this, comprobacion, datos, ruta, directorio]() -> Trabajo::Entrega {
            auto juicio = comprobacion();
            auto intento = aula::IntentoDeClase(directorio, ruta, datos, juicio);
            return [this, juicio = std::move(juicio), intento = std::move(intento)] {
                if (intento)
                    EnvioClase::Instancia().Registrar(*intento);
                MostrarVeredicto(sesion_->Anotar(juicio));
            };
        },
        [this] {
            // No verdict: only that it was cancelled.
            Mensaje(T(1151), Icono::Informacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        });
    if (lanzado)
        Ocupar(true);
}

void frmVLRQuerys::MostrarVeredicto(const ResultadoPractica& resultado) {
    const ResultadoComprobacion& r = resultado.resultado;
    Mensaje(Q(r.mensaje), IconoDe(r.veredicto), Botones::Aceptar, QStringLiteral("VELIORA"), this);
    const int antes = AltoDiferencias();
    detalle_ = !resultado.detalle.empty();
    // A right answer makes the solution available at once; a running wait still counts down.
    if (resultado.solucionDisponible)
        HabilitarSolucion(true);
    if (detalle_)
        MostrarDetalle();
    AjustarAlto(antes);
}

namespace {
// The column names under "Sobran" and "Faltan" are a header, not a row of data: bold and
// underlined.
void MarcarCabeceras(QPlainTextEdit* caja) {
    const QStringList titulos{T(1812), T(1813)};
    QTextCharFormat cabecera;
    cabecera.setFontWeight(QFont::Bold);
    cabecera.setFontUnderline(true);
    for (QTextBlock b = caja->document()->begin(); b.isValid(); b = b.next()) {
        if (!b.previous().isValid() || !titulos.contains(b.previous().text()))
            continue;
        QTextCursor cursor(b);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(cabecera);
    }
}
}  // namespace

void frmVLRQuerys::MostrarDetalle() {
    txtDiferencias_->setPlainText(Q(sesion_->Detalle()));
    MarcarCabeceras(txtDiferencias_);
    cmdVerDiferencias_->show();
    txtDiferencias_->setVisible(cmdVerDiferencias_->isChecked());
}

void frmVLRQuerys::OlvidarDetalle() {
    // The open or closed state stays for the next answer.
    const int antes = AltoDiferencias();
    detalle_ = false;
    cmdVerDiferencias_->hide();
    txtDiferencias_->hide();
    txtDiferencias_->clear();
    AjustarAlto(antes);
}

void frmVLRQuerys::AbrirDetalle(bool abierto) {
    cmdVerDiferencias_->setIcon(
        style()->standardIcon(abierto ? QStyle::SP_ArrowDown : QStyle::SP_ArrowRight));
    txtDiferencias_->setVisible(abierto && detalle_);
    AjustarAlto(detalle_ && !abierto ? kAltoDiferencias : 0);
}

void frmVLRQuerys::chkEvitarTriviales_Click() {
    sesion_->EvitarTriviales(chkEvitarTriviales_->isChecked());
}

void frmVLRQuerys::cmdGuardarCons_Click() {
    frmVLRGuardarQuery dialogo(this);
    dialogo.setModoConsultas(false);
    dialogo.setQuery(SolucionSQL());
    dialogo.setSolucion(TextoPregunta());
    dialogo.exec();
}

void frmVLRQuerys::closeEvent(QCloseEvent* event) {
    // Whatever runs stops first: nothing of it may reach a closed window or connection.
    trabajo_->Cancelar(false);
    tmrHabilitarBotonSolucion_->stop();
    tmrCuentaAtras_->stop();
    TimerInicio_->stop();
    QWidget::closeEvent(event);
}

}  // namespace veliora::ui
