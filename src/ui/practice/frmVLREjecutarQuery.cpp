#include "ui/practice/frmVLREjecutarQuery.h"

namespace veliora::ui {
frmVLREjecutarQuery::frmVLREjecutarQuery(QWidget* parent) : QWidget(parent) {}
frmVLREjecutarQuery::~frmVLREjecutarQuery() = default;
}  // namespace veliora::ui
