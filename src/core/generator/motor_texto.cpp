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

// The comparison words: the operators' positions, then the feminine "distinct".
constexpr int kDistintaFemenino = 8;

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
        o = kDistintaFemenino;
    Anadir(s, Entrada(Palabras.Comparaciones, o));
    const bool entreComillas = comillas && EsTexto(TipoCampo(ct, cf));
    auto valor = [&](const std::string& v) { return entreComillas ? TextoEntreComillas(v) : v; };
    if ((o >= Operadores::Igual && o <= Operadores::Distinto) || o == kDistintaFemenino)
        s += valor(A);
    else if (o == Operadores::Entre)
        s += valor(A) + " y " + valor(B);
    else if (o == Operadores::En)
        s += valor(A) + " o " + valor(B);
}

void Motor::AnadirTextoSubquery(std::string& s, const PlanConsulta& p, int t) {
    if (p.TipoSubquery < Subconsultas::Valor || p.TipoSubquery > Subconsultas::NoExiste)
        return;
    if (p.TipoSubquery == Subconsultas::NoExiste) {
        Anadir(s, Entrada(Palabras.FrasesNoExisten, Aleatorio(0, 5)));
        s += p.TextoSubquery;
        return;
    }
    const bool masculino = LeerMascFemeCampo(t, p.IndCampoSub);
    int k = 0;
    if (p.IndCampoCond < 1) {
        if (p.TipoSubquery == Subconsultas::Valor) {
            k = Aleatorio(0, 2);
            if (!masculino && k == 1)
                k = 3;
        } else {
            k = masculino ? 1 : 3;  // no draw for in / not in
        }
        Anadir(s, Entrada(Palabras.Conectores, k));
    } else {
        if (p.Conector == Conectores::Y)
            Anadir(s, "y");
        if (p.Conector == Conectores::O)
            Anadir(s, "o");
        Anadir(s, masculino ? "el" : "la");
    }
    Anadir(s, LeerNombreCampo(t, p.IndCampoSub, true));
    if (p.TipoSubquery == Subconsultas::Valor) {
        if (k == 1 || k == 3)
            Anadir(s, p.OperadorSub == Operadores::Entre ? " esté " : " sea ");
        int o = p.OperadorSub;
        if (!masculino && p.OperadorSub == Operadores::Distinto)
            o = kDistintaFemenino;
        Anadir(s, Entrada(Palabras.Comparaciones, o));
    } else {
        Anadir(s, p.OperadorSub == Pertenencia::En ? " esté entre" : " no esté entre");
    }
    s += p.TextoSubquery;
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

std::string Motor::TextoUnaTabla(bool Verbo, const PlanConsulta& p) {
    std::string s;
    BloqueV(s, Verbo);
    BloqueS(s, p.IndTabla, p.IndCampo, p.Agregado, p.Distinto);
    if (p.IndCampoCond > 0)
        BloqueC(s, p.IndTabla, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s += ' ';
    AnadirTextoSubquery(s, p, p.IndTabla);
    return s;
}

std::string Motor::TextoVariasTablas(bool Verbo, const PlanConsulta& p) {
    std::string s;
    BloqueV(s, Verbo);
    BloqueS(s, p.IndTabla, p.IndCampo, p.Agregado, false);
    // One flag for both steps: the second lookup keeps what the first one read when it
    // finds nothing.
    bool nc = false;
    BloqueR(s, p.IndTabla, p.IndRelacion, p.IndTabla2, nc);
    if (p.IndTabla3 != 0)
        BloqueR(s, p.IndTabla2, p.IndRelacion2, p.IndTabla3, nc);
    const int ct = p.IndTabla3 != 0 ? p.IndTabla3 : p.IndTabla2;
    BloqueC(s, ct, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s += ' ';
    AnadirTextoSubquery(s, p, ct);
    return s;
}

// The opening both grouped statements share: verb, the grouping field, the shown aggregate
// of the aggregated table ta, and the grouping table.
std::string Motor::InicioAgrupada(bool Verbo, const PlanConsulta& p, int ta) {
    std::string s;
    BloqueV(s, Verbo);
    Anadir(s, Articulo(LeerMascFemeCampo(p.IndTabla, p.IndCampoGrupo)));
    Anadir(s, LeerNombreCampo(p.IndTabla, p.IndCampoGrupo, false));
    if (p.MostrarAgregado) {
        Anadir(s, "y");
        BloqueS(s, ta, p.IndCampoAgregado, p.Agregado, false);
    }
    Anadir(s, "de");
    Anadir(s, Articulo(LeerMascFemeTabla(p.IndTabla)));
    Anadir(s, LeerNombreTabla(p.IndTabla, false));
    return s;
}

std::string Motor::TextoAgrupadaUnaTabla(bool Verbo, const PlanConsulta& p) {
    std::string s = InicioAgrupada(Verbo, p, p.IndTabla);
    if (p.IndCampoCond != 0)
        BloqueC(s, p.IndTabla, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s += ' ';
    AnadirTextoSubquery(s, p, p.IndTabla);
    BloqueG(s, p.IndTabla, p.IndCampoGrupo, p.IndTabla, p.IndCampoAgregado, p.AgregadoHaving,
            p.OperadorHaving, p.ValorHaving);
    return s;
}

std::string Motor::TextoAgrupadaVariasTablas(bool Verbo, const PlanConsulta& p) {
    std::string s = InicioAgrupada(Verbo, p, p.IndTabla2);
    bool nc = false;
    BloqueR(s, p.IndTabla, p.IndRelacion, p.IndTabla2, nc);
    if (p.IndCampoCond != 0)
        BloqueC(s, p.IndTabla2, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s += ' ';
    AnadirTextoSubquery(s, p, p.IndTabla2);
    BloqueG(s, p.IndTabla, p.IndCampoGrupo, p.IndTabla2, p.IndCampoAgregado, p.AgregadoHaving,
            p.OperadorHaving, p.ValorHaving);
    return s;
}

std::string Motor::TextoSubqueryCorrelacionada(const PlanSubconsulta& sub) {
    const int t = sub.IndTabla;
    std::string s;
    Anadir(s, LeerNombreTabla(t, false));
    bool nc = false;
    BloqueR(s, t, sub.IndRelacion, sub.IndTabla2, nc);
    // Values of a correlated subquery are shown as they are, never quoted.
    if (sub.IndCampoCond > 0)
        BloqueC(s, t, sub.IndCampoCond, sub.Operador, sub.Valor1, sub.Valor2, false);
    s += ' ';
    return s;
}

}  // namespace veliora::generador
