#include "ui/bulletins/frmVLRImportarBoletines.h"

#include "ui/shell/provisional.h"

namespace veliora::ui {

frmVLRImportarBoletines::frmVLRImportarBoletines(QWidget* parent) : QWidget(parent) {
    ConstruirVentanaProvisional(this, 1401);
}

frmVLRImportarBoletines::~frmVLRImportarBoletines() = default;

}  // namespace veliora::ui
