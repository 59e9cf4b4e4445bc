#pragma once
// Content of the windows whose work is not built yet: their title, a notice, a close button.

class QWidget;

namespace veliora::ui {

void ConstruirVentanaProvisional(QWidget* ventana, int idTitulo);

}  // namespace veliora::ui
