#include "ui/bulletins/frmVLRExportarBoletin.h"

#include "ui/shell/provisional.h"

namespace veliora::ui {

frmVLRExportarBoletin::frmVLRExportarBoletin(QWidget* parent) : QWidget(parent) {
    ConstruirVentanaProvisional(this, 801);
}

frmVLRExportarBoletin::~frmVLRExportarBoletin() = default;

}  // namespace veliora::ui
