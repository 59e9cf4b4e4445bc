#pragma once
// The program's own help window: the bundled help pages with their links, back and
// forward, and the page in the desktop's browser on request.

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace veliora::ui {

class frmVLRAyuda : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRAyuda(QWidget* parent = nullptr);
    void Mostrar(const QString& ruta);
    QString Pagina() const;

    QSize sizeHint() const override { return {760, 560}; }

  private:
    QTextBrowser* txtAyuda_;
    QPushButton* cmdAtras_;
    QPushButton* cmdAdelante_;
    QPushButton* cmdNavegador_;
    QPushButton* cmdSalir_;
};

// Shows a help page in the help window (the desktop's browser when the page cannot be
// read there).
void MostrarAyuda(const QString& ruta);

}  // namespace veliora::ui
