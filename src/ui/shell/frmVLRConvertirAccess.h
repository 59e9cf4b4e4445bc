#pragma once
// The progress of an Access file's conversion (access::Preparar), run off the window
// thread, with Cancel.

#include <QProgressDialog>
#include <QString>

#include "core/engine/database.h"

namespace veliora::ui {

class frmVLRConvertirAccess : public QProgressDialog {
    Q_OBJECT
  public:
    frmVLRConvertirAccess(const QString& ruta, QWidget* parent = nullptr);

    // Converts (or finds the earlier conversion unchanged) while the dialog shows the rows
    // done; returns when the conversion ends, failed or cancelled (error SQLITE_INTERRUPT).
    bool Ejecutar(engine::EngineError& error);

  private:
    QString ruta_;
};

}  // namespace veliora::ui
