#include "ui/practice/panel_esquema.h"

#include <QHeaderView>
#include <QPainter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/dictionary/vista_esquema.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

constexpr int kNombreSql = Qt::UserRole;  // the name as it is typed

// A small badge with the key's kind: "PK" for the primary key, "FK" for a foreign key.
QIcon Insignia(const QString& texto, const QColor& color) {
    QPixmap imagen(22, 14);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(0.5, 1.5, 21, 11), 3, 3);
    QFont letra = p.font();
    letra.setPixelSize(9);
    letra.setBold(true);
    p.setFont(letra);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 1, 22, 12), Qt::AlignCenter, texto);
    return QIcon(imagen);
}

QString Diccionario(const std::string& singular, const std::string& plural) {
    if (singular.empty() && plural.empty())
        return {};
    return T(2401).arg(QString::fromStdString(singular), QString::fromStdString(plural));
}

}  // namespace

PanelEsquema::PanelEsquema(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlEsquema"));
    cmdEsquema_ = new QToolButton(this);
    cmdEsquema_->setObjectName(QStringLiteral("cmdEsquema"));
    cmdEsquema_->setCheckable(true);
    cmdEsquema_->setChecked(true);
    cmdEsquema_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    cmdEsquema_->setArrowType(Qt::DownArrow);
    cmdEsquema_->setAutoRaise(true);
    arbol_ = new QTreeWidget(this);
    arbol_->setObjectName(QStringLiteral("tvEsquema"));
    arbol_->setColumnCount(2);
    arbol_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    arbol_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    arbol_->header()->setStretchLastSection(false);
    arbol_->setRootIsDecorated(true);
    arbol_->setUniformRowHeights(true);
    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->setSpacing(2);
    capa->addWidget(cmdEsquema_);
    capa->addWidget(arbol_, 1);
    connect(cmdEsquema_, &QToolButton::toggled, this, &PanelEsquema::Abrir);
    connect(arbol_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Elegir(item); });
    CargarTextos();
}

void PanelEsquema::CargarTextos() {
    cmdEsquema_->setText(T(2400));
    cmdEsquema_->setToolTip(T(2402));
    arbol_->setHeaderLabels({T(2403), T(2404)});
}

void PanelEsquema::Cargar(const VistaEsquema& vista) {
    arbol_->clear();
    const QIcon primaria = Insignia(QStringLiteral("PK"), QColor(0xa0, 0x70, 0x00));
    const QIcon ajena = Insignia(QStringLiteral("FK"), QColor(0x6b, 0x7b, 0x8b));
    for (const TablaVista& t : vista.Tablas) {
        auto* tabla = new QTreeWidgetItem(arbol_, {QString::fromStdString(t.Nombre)});
        tabla->setData(0, kNombreSql, QString::fromStdString(NombreEnSql(t.Nombre)));
        QFont negrita = tabla->font(0);
        negrita.setBold(true);
        tabla->setFont(0, negrita);
        tabla->setToolTip(0, Diccionario(t.Singular, t.Plural));
        for (const CampoVista& c : t.Campos) {
            auto* campo = new QTreeWidgetItem(
                tabla, {QString::fromStdString(c.Nombre), QString::fromStdString(c.Tipo)});
            campo->setData(0, kNombreSql, QString::fromStdString(NombreEnSql(c.Nombre)));
            if (c.Clave || c.Ajena)
                campo->setIcon(0, c.Clave ? primaria : ajena);
            campo->setToolTip(0, Diccionario(c.Singular, c.Plural));
        }
    }
}

bool PanelEsquema::Abierto() const {
    return cmdEsquema_->isChecked();
}

void PanelEsquema::Abrir(bool abierto) {
    cmdEsquema_->setChecked(abierto);
    cmdEsquema_->setArrowType(abierto ? Qt::DownArrow : Qt::RightArrow);
    arbol_->setVisible(abierto);
    updateGeometry();
    emit abiertoCambiado(abierto);
}

QSize PanelEsquema::sizeHint() const {
    const QSize boton = cmdEsquema_->sizeHint();
    return Abierto() ? QSize(std::max(220, boton.width()), 300) : boton;
}

void PanelEsquema::Elegir(QTreeWidgetItem* item) {
    if (item)
        emit nombreElegido(item->data(0, kNombreSql).toString());
}

}  // namespace veliora::ui
