// Statement builders: the question in Spanish or in Valencian, made of the blocks V (verb),
// S (selection), R (relation step), C (condition), Q (subquery clause) and G (grouping).
// Both languages make the same random draws in the same order, so that a seed gives the
// same query in either; the Valencian departures from the Spanish structure are where its
// grammar asks for them, each said where it is made. Blanks: see Redaccion.
#include "core/base/rutinas.h"
#include "core/generator/motor.h"
#include "core/generator/reglas.h"

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

bool EsRelativo(int k) {
    return k == 1 || k == 3;
}

}  // namespace

void Motor::BloqueV(Redaccion& s, bool Verbo) {
    if (Verbo)
        s.Pieza(Entrada(Palabras.Verbos, Aleatorio(0, 2)));
}

void Motor::BloqueS(Redaccion& s, int t, int f, int a, bool d) {
    if (a == Agregados::Count) {
        s.Pieza(Palabras.Cuantos[LeerMascFemeTabla(t) ? 1 : 0]);
        s.Pieza(LeerNombreTabla(t, false));
        s.Pieza(Entrada(Palabras.FrasesExistencia, Aleatorio(0, 1)));
        return;
    }
    const bool masculino = f != 0 && LeerMascFemeCampo(t, f);
    const bool maxmin = a == Agregados::Max || a == Agregados::Min;
    const std::string& extremo =
        (a == Agregados::Max ? Palabras.Maximo : Palabras.Minimo)[masculino ? 1 : 0];
    // Valencian puts the adjective after its noun: "l'import màxim", "la data mínima".
    const bool pospuesto = maxmin && Palabras.Valenciano;
    if (maxmin && !pospuesto)
        s.Pieza(extremo);
    if (pospuesto)
        s.Pieza(ArticuloSingular(masculino));
    if (a == Agregados::Sum)
        s.Pieza(Entrada(Palabras.FrasesSuma, Aleatorio(0, 1)));
    if (a == Agregados::Avg)
        s.Pieza(Palabras.Media);
    if (!maxmin && f != 0) {
        s.Pieza(Articulo(masculino));
        if (d)
            s.Pieza(Entrada(Palabras.Distintos, masculino ? Aleatorio(0, 1) : Aleatorio(2, 3)));
    }
    if (f != 0)
        s.Pieza(LeerNombreCampo(t, f, maxmin));
    else
        s.Pieza(Entrada(Palabras.FrasesTodo, Aleatorio(0, 1)));
    if (pospuesto)
        s.Pieza(extremo);
    s.Pieza(Palabras.De);
    s.Pieza(Articulo(LeerMascFemeTabla(t)));
    s.Pieza(LeerNombreTabla(t, false));
}

void Motor::BloqueR(Redaccion& s, int t, int r, int u, bool& nc) {
    const int primaria = r >= 0 && std::size_t(r) < relaciones_.size()
                             ? IndiceTabla(relaciones_[std::size_t(r)].Table)
                             : 0;
    s.Pieza(primaria == t ? LeerTraduccion(r, nc) : LeerTraduccion2(r, nc));
    if (!nc)
        s.Pieza(LeerNombreTabla(u, false));
}

void Motor::IntroducirCampo(Redaccion& s, int t, int f, bool masculino, int k) {
    if (!Palabras.Valenciano) {
        s.Pieza(Entrada(Palabras.Conectores, k));
        s.Pieza(LeerNombreCampo(t, f, true));
        return;
    }
    // "amb l'edat", "que tenen l'edat": the field takes its article. The relative follows
    // it and agrees with the table it belongs to: "l'edat dels quals", "de les quals".
    if (!EsRelativo(k))
        s.Pieza(Entrada(Palabras.Conectores, k));
    s.Pieza(ArticuloSingular(masculino));
    s.Pieza(LeerNombreCampo(t, f, true));
    if (EsRelativo(k))
        s.Pieza(Entrada(Palabras.Conectores, LeerMascFemeTabla(t) ? 1 : 3));
}

void Motor::BloqueC(Redaccion& s, int ct, int cf, int op, const std::string& A,
                    const std::string& B, bool comillas) {
    const bool masculino = LeerMascFemeCampo(ct, cf);
    int k = Aleatorio(0, 2);
    if (!masculino && k == 1)
        k = 3;
    IntroducirCampo(s, ct, cf, masculino, k);
    if (EsRelativo(k))
        s.Pieza(op == Operadores::Entre ? Palabras.Este : Palabras.Sea);
    int o = op;
    if (!masculino && op == Operadores::Distinto)
        o = kDistintaFemenino;
    s.Pieza(Entrada(Palabras.Comparaciones, o));
    // Valencian quotes the texts of a correlated subquery too, like every other text value.
    const bool entreComillas = (comillas || Palabras.Valenciano) && EsTexto(TipoCampo(ct, cf));
    auto valor = [&](const std::string& v) { return entreComillas ? TextoEntreComillas(v) : v; };
    if ((o >= Operadores::Igual && o <= Operadores::Distinto) || o == kDistintaFemenino) {
        s.Valor(valor(A));
    } else if (o == Operadores::Entre || o == Operadores::En) {
        s.Valor(valor(A));
        s.Enlace(o == Operadores::Entre ? Palabras.Y : Palabras.O);
        s.Valor(valor(B));
    }
}

void Motor::AnadirTextoSubquery(Redaccion& s, const PlanConsulta& p, int t) {
    if (p.TipoSubquery < Subconsultas::Valor || p.TipoSubquery > Subconsultas::NoExiste)
        return;
    if (p.TipoSubquery == Subconsultas::NoExiste) {
        s.Pieza(Entrada(Palabras.FrasesNoExisten, Aleatorio(0, 5)));
        s.Enunciado(p.TextoSubquery);
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
        IntroducirCampo(s, t, p.IndCampoSub, masculino, k);
    } else {
        if (p.Conector == Conectores::Y)
            s.Pieza(Palabras.Y);
        if (p.Conector == Conectores::O)
            s.Pieza(Palabras.O);
        s.Pieza(ArticuloSingular(masculino));
        s.Pieza(LeerNombreCampo(t, p.IndCampoSub, true));
    }
    if (p.TipoSubquery == Subconsultas::Valor) {
        if (EsRelativo(k))
            s.Pieza(p.OperadorSub == Operadores::Entre ? Palabras.Este : Palabras.Sea);
        int o = p.OperadorSub;
        if (!masculino && p.OperadorSub == Operadores::Distinto)
            o = kDistintaFemenino;
        s.Pieza(Entrada(Palabras.Comparaciones, o));
    } else {
        s.Pieza(p.OperadorSub == Pertenencia::En ? Palabras.EsteEntre : Palabras.NoEsteEntre);
    }
    s.Enunciado(p.TextoSubquery);
}

void Motor::BloqueG(Redaccion& s, int tg, int g, int ta, int af, int h, int oh,
                    const std::string& vh) {
    if (h == Agregados::Ninguno) {
        s.Pieza(Palabras.AgrupadoPor);
        s.Pieza(Articulo(LeerMascFemeCampo(tg, g)));
        s.Pieza(LeerNombreCampo(tg, g, false));
        s.Pieza(Palabras.De);
        s.Pieza(Articulo(LeerMascFemeTabla(tg)));
        s.Pieza(LeerNombreTabla(tg, false));
        return;
    }
    s.Pieza(Entrada(Palabras.FrasesParaCada, Aleatorio(0, 3)));
    s.Pieza(LeerNombreCampo(tg, g, true));
    // The gender of what the comparison is said of: Spanish keeps the masculine form.
    bool sujetoMasculino = true;
    switch (h) {
        case Agregados::Count:
            s.Pieza(Palabras.NumeroDe);
            s.Pieza(Articulo(LeerMascFemeTabla(ta)));
            s.Pieza(LeerNombreTabla(ta, false));
            break;
        case Agregados::Max:
        case Agregados::Min: {
            sujetoMasculino = LeerMascFemeCampo(ta, af);
            const std::string& extremo =
                (h == Agregados::Max ? Palabras.Maximo : Palabras.Minimo)[sujetoMasculino ? 1 : 0];
            if (Palabras.Valenciano) {
                s.Pieza(ArticuloSingular(sujetoMasculino));
                s.Pieza(LeerNombreCampo(ta, af, true));
                s.Pieza(extremo);
            } else {
                s.Pieza(extremo);
                s.Pieza(LeerNombreCampo(ta, af, true));
            }
            break;
        }
        case Agregados::Sum:
        case Agregados::Avg:
            sujetoMasculino = false;  // "la suma", "la mitjana"
            s.Pieza(h == Agregados::Sum ? Palabras.SumaDe : Palabras.Media);
            s.Pieza(Articulo(LeerMascFemeCampo(ta, af)));
            s.Pieza(LeerNombreCampo(ta, af, false));
            break;
        default:
            break;
    }
    s.Pieza(Palabras.SeaHaving);
    // Valencian agrees "distint"/"distinta" with the subject ("la suma ... distinta de").
    const bool femenina = Palabras.Valenciano && !sujetoMasculino && oh == Operadores::Distinto;
    s.Pieza(Entrada(Palabras.Comparaciones, femenina ? kDistintaFemenino : oh));
    s.Valor(EsTexto(TipoCampo(ta, af)) ? TextoEntreComillas(vh) : vh);
}

std::string Motor::TextoUnaTabla(bool Verbo, const PlanConsulta& p) {
    Redaccion s = NuevaRedaccion();
    BloqueV(s, Verbo);
    BloqueS(s, p.IndTabla, p.IndCampo, p.Agregado, p.Distinto);
    if (p.IndCampoCond > 0)
        BloqueC(s, p.IndTabla, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s.Hueco();
    AnadirTextoSubquery(s, p, p.IndTabla);
    return s.Texto();
}

std::string Motor::TextoVariasTablas(bool Verbo, const PlanConsulta& p) {
    Redaccion s = NuevaRedaccion();
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
    s.Hueco();
    AnadirTextoSubquery(s, p, ct);
    return s.Texto();
}

// The opening both grouped statements share: verb, the grouping field, the shown aggregate
// of the aggregated table ta, and the grouping table.
void Motor::InicioAgrupada(Redaccion& s, bool Verbo, const PlanConsulta& p, int ta) {
    BloqueV(s, Verbo);
    s.Pieza(Articulo(LeerMascFemeCampo(p.IndTabla, p.IndCampoGrupo)));
    s.Pieza(LeerNombreCampo(p.IndTabla, p.IndCampoGrupo, false));
    if (p.MostrarAgregado) {
        s.Pieza(Palabras.Y);
        BloqueS(s, ta, p.IndCampoAgregado, p.Agregado, false);
    }
    s.Pieza(Palabras.De);
    s.Pieza(Articulo(LeerMascFemeTabla(p.IndTabla)));
    s.Pieza(LeerNombreTabla(p.IndTabla, false));
}

std::string Motor::TextoAgrupadaUnaTabla(bool Verbo, const PlanConsulta& p) {
    Redaccion s = NuevaRedaccion();
    InicioAgrupada(s, Verbo, p, p.IndTabla);
    if (p.IndCampoCond != 0)
        BloqueC(s, p.IndTabla, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s.Hueco();
    AnadirTextoSubquery(s, p, p.IndTabla);
    BloqueG(s, p.IndTabla, p.IndCampoGrupo, p.IndTabla, p.IndCampoAgregado, p.AgregadoHaving,
            p.OperadorHaving, p.ValorHaving);
    return s.Texto();
}

std::string Motor::TextoAgrupadaVariasTablas(bool Verbo, const PlanConsulta& p) {
    Redaccion s = NuevaRedaccion();
    InicioAgrupada(s, Verbo, p, p.IndTabla2);
    bool nc = false;
    BloqueR(s, p.IndTabla, p.IndRelacion, p.IndTabla2, nc);
    if (p.IndCampoCond != 0)
        BloqueC(s, p.IndTabla2, p.IndCampoCond, p.Operador, p.Valor1, p.Valor2, true);
    s.Hueco();
    AnadirTextoSubquery(s, p, p.IndTabla2);
    BloqueG(s, p.IndTabla, p.IndCampoGrupo, p.IndTabla2, p.IndCampoAgregado, p.AgregadoHaving,
            p.OperadorHaving, p.ValorHaving);
    return s.Texto();
}

std::string Motor::TextoSubqueryCorrelacionada(const PlanSubconsulta& sub) {
    const int t = sub.IndTabla;
    Redaccion s = NuevaRedaccion();
    s.Pieza(LeerNombreTabla(t, false));
    bool nc = false;
    BloqueR(s, t, sub.IndRelacion, sub.IndTabla2, nc);
    // Spanish shows the values of a correlated subquery as they are, never quoted.
    if (sub.IndCampoCond > 0)
        BloqueC(s, t, sub.IndCampoCond, sub.Operador, sub.Valor1, sub.Valor2, false);
    s.Hueco();
    return s.Texto();
}

}  // namespace veliora::generador
