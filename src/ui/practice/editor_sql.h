#pragma once
// The box where one types SQL: line numbers, keywords, texts and comments in colour, the
// parenthesis matching the one at the cursor marked, and completion of SQL words and of the
// open database's table and field names (after "table." only that table's fields).

#include <QPlainTextEdit>
#include <QStringList>
#include <map>

class QCompleter;
class QStringListModel;

namespace veliora {
struct VistaEsquema;
}

namespace veliora::ui {

class EditorSql : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit EditorSql(QWidget* parent = nullptr);

    // Names offered by completion: the tables and fields of the open database.
    void FijarEsquema(const VistaEsquema& vista);
    // Types `texto` at the cursor, as the user would.
    void Insertar(const QString& texto);
    QCompleter* Completador() const { return completador_; }

    // The area of the line numbers (painted by the editor).
    int AnchoNumeros() const;
    void PintarNumeros(QPaintEvent* event);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void ActualizarMargen();
    void MarcarParentesis();
    // The word being typed before the cursor, and the table it follows ("t." → t).
    QString Prefijo(QString* tabla) const;
    void Completar(bool forzado);
    void Aceptar(const QString& eleccion);

    QWidget* numeros_;
    QCompleter* completador_;
    QStringListModel* modelo_;
    QStringList generales_;                         // SQL words and table names
    std::map<QString, QStringList> camposDeTabla_;  // lower-case table name -> its fields
    QStringList todosLosCampos_;
};

}  // namespace veliora::ui
