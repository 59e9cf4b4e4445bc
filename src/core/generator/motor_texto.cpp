// Statement builders: the question in Spanish, made of the blocks V (verb), S (selection),
// R (relation step), C (condition), Q (subquery clause) and G (grouping). Every piece is
// followed by one blank and blanks are never collapsed: checkers compare blank for blank.
#include "core/generator/motor.h"
#include "core/generator/reglas.h"
#include "core/shell/rutinas.h"

namespace veliora::generador {

namespace {

const std::string& Entrada(const std::vector<std::string>& lista, int i) {
    static const std::string kVacia;
    if (i < 0 || std::size_t(i) >= lista.size())
        return kVacia;
    return lista[std::size_t(i)];
}

}  // namespace

void Motor::Anadir(std::string& s, const std::string& pieza) const {
    s += pieza;
    s += ' ';
}

void Motor::BloqueV(std::string& s, bool Verbo) {
    if (Verbo)
        Anadir(s, Entrada(Palabras.Verbos, Aleatorio(0, 2)));
}

void Motor::BloqueS(std::string& s, int t, int f, int a, bool d) {
    if (a == Agregados::Count) {
        Anadir(s, LeerMascFemeTabla(t) ? "cuántos" : "cuántas");
        Anadir(s, LeerNombreTabla(t, false));
        Anadir(s, Entrada(Palabras.FrasesExistencia, Aleatorio(0, 1)));
        return;
    }
    const bool masculino = f != 0 && LeerMascFemeCampo(t, f);
    switch (a) {
        case Agregados::Max:
            Anadir(s, masculino ? "el máximo" : "la máxima");
            break;
        case Agregados::Min:
            Anadir(s, masculino ? "el mínimo" : "la mínima");
            break;
        case Agregados::Sum:
            Anadir(s, Entrada(Palabras.FrasesSuma, Aleatorio(0, 1)));
            break;
        case Agregados::Avg:
            Anadir(s, "la media de");
            break;
        default:
            break;
    }
    const bool maxmin = a == Agregados::Max || a == Agregados::Min;
    if (!maxmin && f != 0) {
        Anadir(s, Articulo(masculino));
        if (d)
            Anadir(s, Entrada(Palabras.Distintos, masculino ? Aleatorio(0, 1) : Aleatorio(2, 3)));
    }
    if (f != 0)
        Anadir(s, LeerNombreCampo(t, f, maxmin));
    else
        Anadir(s, Entrada(Palabras.FrasesTodo, Aleatorio(0, 1)));
    Anadir(s, "de");
    Anadir(s, Articulo(LeerMascFemeTabla(t)));
    Anadir(s, LeerNombreTabla(t, false));
}

void Motor::BloqueR(std::string& s, int t, int r, int u, bool& nc) {
    const int primaria = r >= 0 && std::size_t(r) < relaciones_.size()
                             ? IndiceTabla(relaciones_[std::size_t(r)].Table)
                             : 0;
    Anadir(s, primaria == t ? LeerTraduccion(r, nc) : LeerTraduccion2(r, nc));
    if (!nc)
        Anadir(s, LeerNombreTabla(u, false));
}

void Motor::BloqueC(std::string& s, int ct, int cf, int op, const std::string& A,
                    const std::string& B, bool comillas) {
    const bool masculino = LeerMascFemeCampo(ct, cf);
    int k = Aleatorio(0, 2);
    if (!masculino && k == 1)
        k = 3;
    Anadir(s, Entrada(Palabras.Conectores, k));
    Anadir(s, LeerNombreCampo(ct, cf, true));
    if (k == 1 || k == 3)
        Anadir(s, op == Operadores::Entre ? " esté " : " sea ");
    int o = op;
    if (!masculino && op == Operadores::Distinto)
        o = 8;
    Anadir(s, Entrada(Palabras.Comparaciones, o));
    const bool entreComillas = comillas && EsTexto(TipoCampo(ct, cf));
    auto valor = [&](const std::string& v) { return entreComillas ? TextoEntreComillas(v) : v; };
    if ((o >= 0 && o <= 5) || o == 8)
        s += valor(A);
    else if (o == Operadores::Entre)
        s += valor(A) + " y " + valor(B);
    else if (o == Operadores::En)
        s += valor(A) + " o " + valor(B);
}

void Motor::AnadirTextoSubquery(std::string& s, int TipoSubquery, int IndCampoCond, int Conector,
                                int t, int IndCampoSub, int OperadorSub,
                                const std::string& TextoSubquery) {
    if (TipoSubquery < 1 || TipoSubquery > 3)
        return;
    if (TipoSubquery == 3) {
        Anadir(s, Entrada(Palabras.FrasesNoExisten, Aleatorio(0, 5)));
        s += TextoSubquery;
        return;
    }
    const bool masculino = LeerMascFemeCampo(t, IndCampoSub);
    int k = 0;
    if (IndCampoCond < 1) {
        if (TipoSubquery == 1) {
            k = Aleatorio(0, 2);
            if (!masculino && k == 1)
                k = 3;
        } else {
            k = masculino ? 1 : 3;  // no draw for in / not in
        }
        Anadir(s, Entrada(Palabras.Conectores, k));
    } else {
        if (Conector == 1)
            Anadir(s, "y");
        if (Conector == 2)
            Anadir(s, "o");
        Anadir(s, masculino ? "el" : "la");
    }
    Anadir(s, LeerNombreCampo(t, IndCampoSub, true));
    if (TipoSubquery == 1) {
        if (k == 1 || k == 3)
            Anadir(s, OperadorSub == Operadores::Entre ? " esté " : " sea ");
        int o = OperadorSub;
        if (!masculino && OperadorSub == Operadores::Distinto)
            o = 8;
        Anadir(s, Entrada(Palabras.Comparaciones, o));
    } else {
        Anadir(s, OperadorSub == 1 ? " esté entre" : " no esté entre");
    }
    s += TextoSubquery;
}

void Motor::BloqueG(std::string& s, int tg, int g, int ta, int af, int h, int oh,
                    const std::string& vh) {
    if (h == Agregados::Ninguno) {
        Anadir(s, " agrupado por");
        Anadir(s, Articulo(LeerMascFemeCampo(tg, g)));
        Anadir(s, LeerNombreCampo(tg, g, false));
        Anadir(s, "de");
        Anadir(s, Articulo(LeerMascFemeTabla(tg)));
        Anadir(s, LeerNombreTabla(tg, false));
        return;
    }
    Anadir(s, Entrada(Palabras.FrasesParaCada, Aleatorio(0, 3)));
    Anadir(s, LeerNombreCampo(tg, g, true));
    switch (h) {
        case Agregados::Count:
            Anadir(s, "el número de");
            Anadir(s, Articulo(LeerMascFemeTabla(ta)));
            Anadir(s, LeerNombreTabla(ta, false));
            break;
        case Agregados::Max:
            Anadir(s, LeerMascFemeCampo(ta, af) ? "el máximo" : "la máxima");
            Anadir(s, LeerNombreCampo(ta, af, true));
            break;
        case Agregados::Min:
            Anadir(s, LeerMascFemeCampo(ta, af) ? "el mínimo" : "la mínima");
            Anadir(s, LeerNombreCampo(ta, af, true));
            break;
        case Agregados::Sum:
        case Agregados::Avg:
            Anadir(s, h == Agregados::Sum ? "la suma de" : "la media de");
            Anadir(s, Articulo(LeerMascFemeCampo(ta, af)));
            Anadir(s, LeerNombreCampo(ta, af, false));
            break;
        default:
            break;
    }
    Anadir(s, "sea");
    Anadir(s, Entrada(Palabras.Comparaciones, oh));
    s += EsTexto(TipoCampo(ta, af)) ? TextoEntreComillas(vh) : vh;
}

std::string Motor::TextoUnaTabla(bool Verbo, int IndTabla, int IndCampo, bool Distinto,
                                 int Agregado, int IndCampoCond, int Operador,
                                 const std::string& Valor1, const std::string& Valor2,
                                 int TipoSubquery, int Conector, int IndCampoSub, int OperadorSub,
                                 const std::string& TextoSubquery) {
    std::string s;
    BloqueV(s, Verbo);
    BloqueS(s, IndTabla, IndCampo, Agregado, Distinto);
    if (IndCampoCond > 0)
        BloqueC(s, IndTabla, IndCampoCond, Operador, Valor1, Valor2, true);
    s += ' ';
    if (TipoSubquery > 0)
        AnadirTextoSubquery(s, TipoSubquery, IndCampoCond, Conector, IndTabla, IndCampoSub,
                            OperadorSub, TextoSubquery);
    return s;
}

std::string Motor::TextoVariasTablas(bool Verbo, int IndRelacion, int IndTabla, int IndTabla2,
                                     int IndCampo, int Agregado, int IndCampoCond, int Operador,
                                     const std::string& Valor1, const std::string& Valor2,
                                     int IndRelacion2, int IndTabla3, int TipoSubquery,
                                     int Conector, int IndCampoSub, int OperadorSub,
                                     const std::string& TextoSubquery) {
    std::string s;
    BloqueV(s, Verbo);
    BloqueS(s, IndTabla, IndCampo, Agregado, false);
    // One flag for both steps: the second lookup keeps what the first one read when it
    // finds nothing.
    bool nc = false;
    BloqueR(s, IndTabla, IndRelacion, IndTabla2, nc);
    if (IndTabla3 != 0)
        BloqueR(s, IndTabla2, IndRelacion2, IndTabla3, nc);
    const int ct = IndTabla3 != 0 ? IndTabla3 : IndTabla2;
    BloqueC(s, ct, IndCampoCond, Operador, Valor1, Valor2, true);
    s += ' ';
    if (TipoSubquery > 0)
        AnadirTextoSubquery(s, TipoSubquery, IndCampoCond, Conector, ct, IndCampoSub, OperadorSub,
                            TextoSubquery);
    return s;
}

// The opening both grouped statements share: verb, the grouping field, the shown aggregate
// of the aggregated table ta, and the grouping table.
std::string Motor::InicioAgrupada(bool Verbo, int IndTabla, int IndCampoGrupo, int ta,
                                  int IndCampoAgregado, bool MostrarAgregado, int Agregado) {
    std::string s;
    BloqueV(s, Verbo);
    Anadir(s, Articulo(LeerMascFemeCampo(IndTabla, IndCampoGrupo)));
    Anadir(s, LeerNombreCampo(IndTabla, IndCampoGrupo, false));
    if (MostrarAgregado) {
        Anadir(s, "y");
        BloqueS(s, ta, IndCampoAgregado, Agregado, false);
    }
    Anadir(s, "de");
    Anadir(s, Articulo(LeerMascFemeTabla(IndTabla)));
    Anadir(s, LeerNombreTabla(IndTabla, false));
    return s;
}

std::string Motor::TextoAgrupadaUnaTabla(bool Verbo, int IndTabla, int IndCampoGrupo,
                                         int IndCampoAgregado, bool MostrarAgregado, int Agregado,
                                         int IndCampoCond, int Operador, int AgregadoHaving,
                                         int OperadorHaving, const std::string& Valor1,
                                         const std::string& Valor2, const std::string& ValorHaving,
                                         int TipoSubquery, int Conector, int IndCampoSub,
                                         int OperadorSub, const std::string& TextoSubquery) {
    std::string s = InicioAgrupada(Verbo, IndTabla, IndCampoGrupo, IndTabla, IndCampoAgregado,
                                   MostrarAgregado, Agregado);
    if (IndCampoCond != 0)
        BloqueC(s, IndTabla, IndCampoCond, Operador, Valor1, Valor2, true);
    s += ' ';
    if (TipoSubquery > 0)
        AnadirTextoSubquery(s, TipoSubquery, IndCampoCond, Conector, IndTabla, IndCampoSub,
                            OperadorSub, TextoSubquery);
    BloqueG(s, IndTabla, IndCampoGrupo, IndTabla, IndCampoAgregado, AgregadoHaving, OperadorHaving,
            ValorHaving);
    return s;
}

std::string Motor::TextoAgrupadaVariasTablas(bool Verbo, int IndRelacion, int IndTabla,
                                             int IndTabla2, int IndCampoGrupo, int IndCampoAgregado,
                                             bool MostrarAgregado, int Agregado, int IndCampoCond,
                                             int Operador, int AgregadoHaving, int OperadorHaving,
                                             const std::string& Valor1, const std::string& Valor2,
                                             const std::string& ValorHaving, int TipoSubquery,
                                             int Conector, int IndCampoSub, int OperadorSub,
                                             const std::string& TextoSubquery) {
    std::string s = InicioAgrupada(Verbo, IndTabla, IndCampoGrupo, IndTabla2, IndCampoAgregado,
                                   MostrarAgregado, Agregado);
    bool nc = false;
    BloqueR(s, IndTabla, IndRelacion, IndTabla2, nc);
    if (IndCampoCond != 0)
        BloqueC(s, IndTabla2, IndCampoCond, Operador, Valor1, Valor2, true);
    s += ' ';
    if (TipoSubquery > 0)
        AnadirTextoSubquery(s, TipoSubquery, IndCampoCond, Conector, IndTabla2, IndCampoSub,
                            OperadorSub, TextoSubquery);
    BloqueG(s, IndTabla, IndCampoGrupo, IndTabla2, IndCampoAgregado, AgregadoHaving, OperadorHaving,
            ValorHaving);
    return s;
}

std::string Motor::TextoSubqueryCorrelacionada(int IndRelacion, int t, int u, int IndCampoCond,
                                               int Operador, const std::string& Valor1,
                                               const std::string& Valor2, int TipoSubquery,
                                               int Conector, int IndCampoSub, int OperadorSub,
                                               const std::string& TextoSubquery) {
    std::string s;
    Anadir(s, LeerNombreTabla(t, false));
    bool nc = false;
    BloqueR(s, t, IndRelacion, u, nc);
    // Values of a correlated subquery are shown as they are, never quoted.
    if (IndCampoCond > 0)
        BloqueC(s, t, IndCampoCond, Operador, Valor1, Valor2, false);
    s += ' ';
    if (TipoSubquery > 0)
        AnadirTextoSubquery(s, TipoSubquery, IndCampoCond, Conector, t, IndCampoSub, OperadorSub,
                            TextoSubquery);
    return s;
}

}  // namespace veliora::generador
