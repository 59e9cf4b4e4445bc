#include "ui/practice/editor_sql.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <vector>

#include "core/dictionary/vista_esquema.h"
#include "core/engine/sql_scanner.h"

namespace veliora::ui {

namespace {

const QStringList& PalabrasSql() {
    static const QStringList palabras = {
        "select",   "from",  "where", "group", "by",      "having", "order", "asc",   "desc",
        "and",      "or",    "not",   "in",    "between", "like",   "is",    "null",  "as",
        "distinct", "join",  "inner", "left",  "right",   "outer",  "on",    "union", "all",
        "exists",   "count", "sum",   "avg",   "min",     "max",    "case",  "when",  "then",
        "else",     "end",   "limit", "any",   "some",    "cross",  "full",  "true",  "false"};
    return palabras;
}

bool DeNombre(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Keywords, texts, comments, bracketed names, numbers and #dates#, in colour. A comment or
// a text left open goes on in the next lines (the block state says which).
class ResaltadoSql : public QSyntaxHighlighter {
  public:
    explicit ResaltadoSql(QTextDocument* documento) : QSyntaxHighlighter(documento) {
        palabra_.setForeground(QColor(0x1f, 0x4e, 0x9a));
        palabra_.setFontWeight(QFont::Bold);
        texto_.setForeground(QColor(0xa3, 0x15, 0x15));
        comentario_.setForeground(QColor(0x6a, 0x73, 0x7d));
        comentario_.setFontItalic(true);
        nombre_.setForeground(QColor(0x79, 0x5e, 0x26));
        numero_.setForeground(QColor(0x09, 0x86, 0x58));
    }

  protected:
    enum Estado { kCodigo = 0, kComentario = 1, kTexto = 2 };

    void highlightBlock(const QString& linea) override {
        int i = 0;
        const int n = int(linea.size());
        int estado = std::max(0, previousBlockState());
        if (estado == kComentario)
            i = Hasta(linea, 0, QStringLiteral("*/"), comentario_, estado);
        else if (estado == kTexto)
            i = FinTexto(linea, 0, estado);
        while (i < n) {
            const QChar c = linea[i];
            if (linea.mid(i, 2) == QLatin1String("--")) {
                setFormat(i, n - i, comentario_);
                i = n;
            } else if (linea.mid(i, 2) == QLatin1String("/*")) {
                i = Hasta(linea, i, QStringLiteral("*/"), comentario_, estado, kComentario);
            } else if (c == QLatin1Char('\'')) {
                i = FinTexto(linea, i + 1, estado);
            } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
                const int fin = linea.indexOf(c == QLatin1Char('[') ? QLatin1Char(']') : c, i + 1);
                const int hasta = fin < 0 ? n : fin + 1;
                setFormat(i, hasta - i, nombre_);
                i = hasta;
            } else if (c == QLatin1Char('#')) {
                const int fin = linea.indexOf(QLatin1Char('#'), i + 1);
                const int hasta = fin < 0 ? i + 1 : fin + 1;
                setFormat(i, hasta - i, numero_);
                i = hasta;
            } else if (DeNombre(c)) {
                int fin = i;
                while (fin < n && DeNombre(linea[fin])) ++fin;
                const QString w = linea.mid(i, fin - i);
                if (c.isDigit())
                    setFormat(i, fin - i, numero_);
                else if (PalabrasSql().contains(w.toLower()))
                    setFormat(i, fin - i, palabra_);
                i = fin;
            } else {
                ++i;
            }
        }
        setCurrentBlockState(estado);
    }

  private:
    // Formats from `desde` to the end mark (included) or the line's end; the state says
    // whether the stretch goes on.
    int Hasta(const QString& linea, int desde, const QString& cierre, const QTextCharFormat& f,
              int& estado, int abierto = kComentario) {
        const int fin = linea.indexOf(cierre, desde + (estado == abierto ? 0 : 2));
        const int hasta = fin < 0 ? int(linea.size()) : fin + int(cierre.size());
        setFormat(desde, hasta - desde, f);
        estado = fin < 0 ? abierto : kCodigo;
        return hasta;
    }
    // A text from its opening quote (just before `desde`); a doubled quote stays inside.
    int FinTexto(const QString& linea, int desde, int& estado) {
        int i = desde;
        const int inicio = estado == kTexto && desde == 0 ? 0 : desde - 1;
        estado = kTexto;
        while (i < linea.size()) {
            if (linea[i] == QLatin1Char('\'')) {
                if (i + 1 < linea.size() && linea[i + 1] == QLatin1Char('\'')) {
                    i += 2;
                    continue;
                }
                estado = kCodigo;
                ++i;
                break;
            }
            ++i;
        }
        setFormat(inicio, i - inicio, texto_);
        return i;
    }

    QTextCharFormat palabra_, texto_, comentario_, nombre_, numero_;
};

class AreaNumeros : public QWidget {
  public:
    explicit AreaNumeros(EditorSql* editor) : QWidget(editor), editor_(editor) {}
    QSize sizeHint() const override { return {editor_->AnchoNumeros(), 0}; }

  protected:
    void paintEvent(QPaintEvent* event) override { editor_->PintarNumeros(event); }

  private:
    EditorSql* editor_;
};

}  // namespace

EditorSql::EditorSql(QWidget* parent) : QPlainTextEdit(parent) {
    new ResaltadoSql(document());
    numeros_ = new AreaNumeros(this);
    modelo_ = new QStringListModel(this);
    completador_ = new QCompleter(modelo_, this);
    completador_->setObjectName(QStringLiteral("cmpSql"));
    completador_->setWidget(this);
    completador_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completador_->setCaseSensitivity(Qt::CaseInsensitive);
    connect(completador_, qOverload<const QString&>(&QCompleter::activated), this,
            &EditorSql::Aceptar);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &EditorSql::ActualizarMargen);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& r, int dy) {
        if (dy)
            numeros_->scroll(0, dy);
        else
            numeros_->update(0, r.y(), numeros_->width(), r.height());
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditorSql::MarcarParentesis);
    ActualizarMargen();
    generales_ = PalabrasSql();
}

void EditorSql::FijarEsquema(const VistaEsquema& vista) {
    generales_ = PalabrasSql();
    camposDeTabla_.clear();
    todosLosCampos_.clear();
    for (const TablaVista& t : vista.Tablas) {
        const QString tabla = QString::fromStdString(NombreEnSql(t.Nombre));
        generales_ << tabla;
        QStringList& campos = camposDeTabla_[QString::fromStdString(t.Nombre).toLower()];
        for (const CampoVista& c : t.Campos) {
            campos << QString::fromStdString(NombreEnSql(c.Nombre));
            if (!todosLosCampos_.contains(campos.back(), Qt::CaseInsensitive))
                todosLosCampos_ << campos.back();
        }
    }
}

void EditorSql::Insertar(const QString& texto) {
    insertPlainText(texto);
    setFocus();
}

int EditorSql::AnchoNumeros() const {
    int cifras = 1;
    for (int n = std::max(1, blockCount()); n >= 10; n /= 10) ++cifras;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(2, cifras);
}

void EditorSql::ActualizarMargen() {
    setViewportMargins(AnchoNumeros(), 0, 0, 0);
}

void EditorSql::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    numeros_->setGeometry(QRect(r.left(), r.top(), AnchoNumeros(), r.height()));
}

void EditorSql::focusInEvent(QFocusEvent* event) {
    completador_->setWidget(this);
    QPlainTextEdit::focusInEvent(event);
}

void EditorSql::PintarNumeros(QPaintEvent* event) {
    QPainter p(numeros_);
    p.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    p.setPen(palette().color(QPalette::PlaceholderText));
    QTextBlock bloque = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(bloque).translated(contentOffset()).top());
    while (bloque.isValid() && top <= event->rect().bottom()) {
        const int alto = qRound(blockBoundingRect(bloque).height());
        if (bloque.isVisible() && top + alto >= event->rect().top())
            p.drawText(0, top, numeros_->width() - 4, fontMetrics().height(), Qt::AlignRight,
                       QString::number(bloque.blockNumber() + 1));
        bloque = bloque.next();
        top += alto;
    }
}

void EditorSql::MarcarParentesis() {
    // The parentheses of code, texts and comments left out, paired as the statement reads.
    const std::string sql = toPlainText().toStdString();
    std::vector<std::size_t> abiertos;
    std::vector<std::pair<std::size_t, std::size_t>> pares;
    for (engine::SqlScanner lector(sql); !lector.Done(); lector.Next()) {
        if (!lector.Stretch().code())
            continue;
        const std::size_t at = lector.Stretch().begin;
        if (lector.Char() == '(') {
            abiertos.push_back(at);
        } else if (lector.Char() == ')' && !abiertos.empty()) {
            pares.emplace_back(abiertos.back(), at);
            abiertos.pop_back();
        }
    }
    // Positions in bytes of the UTF-8 text; the cursor counts characters.
    const QByteArray bytes = toPlainText().toUtf8();
    const auto caracter = [&](std::size_t byte) {
        return int(QString::fromUtf8(bytes.left(qsizetype(byte))).size());
    };
    const int cursor = textCursor().position();
    QList<QTextEdit::ExtraSelection> marcas;
    for (const auto& [a, b] : pares) {
        const int ca = caracter(a), cb = caracter(b);
        if (cursor != ca && cursor != ca + 1 && cursor != cb && cursor != cb + 1)
            continue;
        for (const int pos : {ca, cb}) {
            QTextEdit::ExtraSelection marca;
            marca.format.setBackground(QColor(0xff, 0xe0, 0x8a));
            marca.format.setFontWeight(QFont::Bold);
            marca.cursor = textCursor();
            marca.cursor.setPosition(pos);
            marca.cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
            marcas << marca;
        }
        break;
    }
    setExtraSelections(marcas);
}

QString EditorSql::Prefijo(QString* tabla) const {
    const QString texto = toPlainText().left(textCursor().position());
    int i = int(texto.size());
    while (i > 0 && DeNombre(texto[i - 1])) --i;
    if (i > 0 && texto[i - 1] == QLatin1Char('['))
        --i;
    if (tabla) {
        tabla->clear();
        if (i > 0 && texto[i - 1] == QLatin1Char('.')) {
            int j = i - 1;
            if (j > 0 && texto[j - 1] == QLatin1Char(']')) {
                const int abre = int(texto.lastIndexOf(QLatin1Char('['), j - 1));
                *tabla = abre < 0 ? QString() : texto.mid(abre + 1, j - 2 - abre);
            } else {
                int k = j;
                while (k > 0 && DeNombre(texto[k - 1])) --k;
                *tabla = texto.mid(k, j - k);
            }
        }
    }
    return texto.mid(i);
}

void EditorSql::Completar(bool forzado) {
    QString tabla;
    const QString prefijo = Prefijo(&tabla);
    const auto campos = camposDeTabla_.find(tabla.toLower());
    const bool tras = campos != camposDeTabla_.end();
    if (!forzado && !tras && prefijo.size() < 2) {
        completador_->popup()->hide();
        return;
    }
    QString buscado = prefijo;
    buscado.remove(QLatin1Char('['));
    QStringList ofrecidos;
    const QStringList& todos = tras ? campos->second : generales_ + todosLosCampos_;
    for (QString o : todos) {
        QString nombre = o;
        nombre.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        if (!nombre.startsWith(buscado, Qt::CaseInsensitive) ||
            (nombre.compare(buscado, Qt::CaseInsensitive) == 0 && !forzado))
            continue;
        // SQL words follow the letter case the user types them in.
        if (PalabrasSql().contains(o) && !prefijo.isEmpty() && prefijo[0].isUpper())
            o = o.toUpper();
        if (!ofrecidos.contains(o))
            ofrecidos << o;
    }
    modelo_->setStringList(ofrecidos);
    if (ofrecidos.isEmpty()) {
        completador_->popup()->hide();
        return;
    }
    QRect r = cursorRect();
    r.setWidth(completador_->popup()->sizeHintForColumn(0) +
               completador_->popup()->verticalScrollBar()->sizeHint().width());
    completador_->complete(r);
    completador_->popup()->setCurrentIndex(completador_->completionModel()->index(0, 0));
}

void EditorSql::Aceptar(const QString& eleccion) {
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(Prefijo(nullptr).size()));
    c.insertText(eleccion);
    setTextCursor(c);
}

void EditorSql::keyPressEvent(QKeyEvent* event) {
    if (completador_->popup()->isVisible()) {
        switch (event->key()) {
            case Qt::Key_Enter:
            case Qt::Key_Return:
            case Qt::Key_Escape:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                event->ignore();  // the completer takes it
                return;
            default:
                break;
        }
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier) {
        Completar(true);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    const QString tecleado = event->text();
    if (!tecleado.isEmpty() && (DeNombre(tecleado.back()) || tecleado == QLatin1String(".") ||
                                tecleado == QLatin1String("[")))
        Completar(false);
    else if (event->key() != Qt::Key_Shift && event->key() != Qt::Key_Control)
        completador_->popup()->hide();
}

}  // namespace veliora::ui
