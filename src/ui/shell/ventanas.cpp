#include "ui/shell/ventanas.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <vector>

namespace veliora::ui {

namespace {
QPointer<QMdiArea>& Area() {
    static QPointer<QMdiArea> area;
    return area;
}
std::vector<QPointer<QWidget>>& Abiertas() {
    static std::vector<QPointer<QWidget>> abiertas;
    return abiertas;
}
}  // namespace

void FijarAreaMdi(QMdiArea* area) {
    Area() = area;
}
QMdiArea* AreaMdi() {
    return Area();
}

QWidget* BuscarVentana(const QString& nombre) {
    auto& abiertas = Abiertas();
    std::erase_if(abiertas, [](const QPointer<QWidget>& p) { return p.isNull(); });
    for (const auto& p : abiertas)
        if (p->objectName() == nombre)
            return p;
    return nullptr;
}

void RegistrarVentana(QWidget* ventana) {
    Abiertas().emplace_back(ventana);
    if (QMdiArea* area = Area()) {
        QMdiSubWindow* sub = area->addSubWindow(ventana);
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
}

void MostrarVentana(QWidget* ventana) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(ventana->parentWidget())) {
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

}  // namespace veliora::ui
