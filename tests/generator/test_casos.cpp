// The generator's exact outputs, read from data files (formas_sql.txt, enunciados.txt): each
// case names a builder, the plan it is given and what it gives, to the letter. The files
// say how a case is written.
#include <fstream>
#include <map>
#include <sstream>

#include "generator/entorno.h"

namespace veliora::test {
namespace {

using P = generador::PlanConsulta;

struct Caso {
    std::string nombre;  // file and line
    std::string constructor, fallo;
    bool completa = false;  // a whole question: a verb first
    P plan;
    std::map<std::string, std::string> sql;        // sql, valor1, valor2, having
    std::vector<std::vector<std::string>> textos;  // every combination, in order
};

// Numbers the words of `lista` from `primero`, each name under `prefijo`.
void Numerar(std::map<std::string, int>& n, const std::string& prefijo, const char* lista,
             int primero) {
    std::istringstream palabras(lista);
    for (std::string p; palabras >> p;) n[prefijo + p] = primero++;
}

// The names a plan's values are written with: the codes of reglas.h, gen_formas' relations,
// its tables by name and their fields in declaration order.
std::map<std::string, int> Nombres() {
    std::map<std::string, int> n;
    Numerar(n, "Ag.", "Count Ninguno Max Min Sum Avg", 0);
    Numerar(n, "Op.", "Igual Mayor Menor MayorIgual MenorIgual Distinto Entre En", 0);
    Numerar(n, "Sub.", "Ninguna Valor Lista NoExiste", 0);
    Numerar(n, "Con.", "Ninguno Y O", 0);
    Numerar(n, "Per.", "En NoEn", 1);
    Numerar(n, "", "ClientesPedidos PedidosLineas TiendasPedidos ZonasTiendas", 0);
    Numerar(n, "", "Clientes Lineas Pedidos Tiendas Zonas", 1);
    Numerar(n, "Clientes.", "Id Nombre Ciudad Edad Vip", 1);
    Numerar(n, "Lineas.", "Id IdPedido Cantidad Producto", 1);
    Numerar(n, "Pedidos.", "Id IdCliente Importe Fecha IdTienda", 1);
    Numerar(n, "Tiendas.", "Id Pais CodigoZona", 1);
    Numerar(n, "Zonas.", "Pais Codigo Nombre", 1);
    return n;
}

// The quoted strings of `linea`, in order.
std::vector<std::string> Citas(const std::string& linea) {
    std::vector<std::string> citas;
    for (size_t a = linea.find('"'); a != std::string::npos; a = linea.find('"', a + 1)) {
        const size_t b = linea.find('"', a + 1);
        citas.push_back(linea.substr(a + 1, b - a - 1));
        a = b;
    }
    return citas;
}

// One `Campo=valor` of a plan line; a value is a name, a number or a quoted string.
void Asignar(Caso& c, const std::string& campo, const std::string& valor) {
    static const std::map<std::string, int> nombres = Nombres();
#define CAMPO(f) \
    { #f, &P::f }
    static const std::map<std::string, int P::*> enteros = {
        CAMPO(IndTabla),       CAMPO(IndTabla2),     CAMPO(IndTabla3),        CAMPO(IndRelacion),
        CAMPO(IndRelacion2),   CAMPO(IndCampo),      CAMPO(Agregado),         CAMPO(IndCampoCond),
        CAMPO(Operador),       CAMPO(IndCampoGrupo), CAMPO(IndCampoAgregado), CAMPO(AgregadoHaving),
        CAMPO(OperadorHaving), CAMPO(TipoSubquery),  CAMPO(Conector),         CAMPO(IndCampoSub),
        CAMPO(OperadorSub)};
    static const std::map<std::string, std::string P::*> textos = {
        CAMPO(Valor1), CAMPO(Valor2), CAMPO(ValorHaving), CAMPO(SqlSubquery), CAMPO(TextoSubquery)};
#undef CAMPO
    if (campo == "Distinto" || campo == "MostrarAgregado")
        (campo == "Distinto" ? c.plan.Distinto : c.plan.MostrarAgregado) = valor == "1";
    else if (textos.count(campo))
        c.plan.*textos.at(campo) = valor;
    else if (!enteros.count(campo) || valor.empty())
        c.fallo += "unknown field " + campo + "; ";
    else if (nombres.count(valor))
        c.plan.*enteros.at(campo) = nombres.at(valor);
    else if (std::isdigit(static_cast<unsigned char>(valor[0])))
        c.plan.*enteros.at(campo) = std::stoi(valor);
    else
        c.fallo += "unknown name " + valor + "; ";
}

void LeerLinea(Caso& c, const std::string& linea) {
    const std::string clave = linea.substr(0, linea.find(':'));
    if (clave == "textos")
        c.textos.push_back(Citas(linea));
    else if (clave == "sql" || clave == "valor1" || clave == "valor2" || clave == "having")
        c.sql[clave] = Citas(linea).at(0);
    else
        for (size_t i = 0; i < linea.size();) {
            const size_t igual = linea.find('=', i), citado = igual + 1;
            const bool cita = linea[citado] == '"';
            const size_t fin = cita ? linea.find('"', citado + 1) + 1 : linea.find(' ', citado);
            const std::string valor = linea.substr(citado, fin - citado);
            Asignar(c, linea.substr(i, igual - i), cita ? Citas(valor).at(0) : valor);
            i = linea.find_first_not_of(' ', fin);
        }
}

// Cases start at "== Builder" (or "== Builder completa"); blank and "#" lines are left out.
std::vector<Caso> Leer(const std::string& archivo) {
    std::ifstream in(std::string(VELIORA_SOURCE_DIR) + "/tests/generator/" + archivo + ".txt");
    std::vector<Caso> casos;
    std::string linea;
    for (int n = 1; std::getline(in, linea); ++n) {
        if (linea.rfind("== ", 0) == 0) {
            casos.push_back({.nombre = archivo + ".txt:" + std::to_string(n)});
            std::istringstream(linea.substr(3)) >> casos.back().constructor;
            casos.back().completa = linea.ends_with(" completa");
        } else if (!linea.empty() && linea[0] != '#' && !casos.empty()) {
            LeerLinea(casos.back(), linea);
        }
    }
    if (casos.empty())
        casos.push_back({.nombre = archivo, .fallo = "no cases read"});
    return casos;
}

generador::PlanSubconsulta Interna(const P& p) {
    return {.IndRelacion = p.IndRelacion,
            .IndTabla = p.IndTabla,
            .IndTabla2 = p.IndTabla2,
            .IndCampo = p.IndCampo,
            .Agregado = p.Agregado,
            .IndCampoCond = p.IndCampoCond,
            .Operador = p.Operador,
            .Valor1 = p.Valor1,
            .Valor2 = p.Valor2};
}

std::set<std::string> Combinar(const std::vector<std::vector<std::string>>& partes) {
    std::set<std::string> actual = {""};
    for (const auto& alternativas : partes) {
        std::set<std::string> siguiente;
        for (const auto& prefijo : actual)
            for (const auto& a : alternativas) siguiente.insert(prefijo + a);
        actual = std::move(siguiente);
    }
    return actual;
}

// One data file per parameter; its cases share one database, as rows of a table do.
class Casos : public ::testing::TestWithParam<const char*>, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }

    generador::SqlConValores Sql(const Caso& c) {
        auto& m = *motor;
        const std::map<std::string, std::function<generador::SqlConValores()>> sql = {
            {"SqlUnaTabla", [&] { return m.SqlUnaTabla(c.plan); }},
            {"SqlVariasTablas", [&] { return m.SqlVariasTablas(c.plan); }},
            {"SqlAgrupadaUnaTabla", [&] { return m.SqlAgrupadaUnaTabla(c.plan); }},
            {"SqlAgrupadaVariasTablas", [&] { return m.SqlAgrupadaVariasTablas(c.plan); }},
            {"SqlSubqueryCorrelacionada",
             [&] { return m.SqlSubqueryCorrelacionada(Interna(c.plan)); }}};
        return sql.at(c.constructor)();
    }

    std::string Texto(const Caso& c, const P& plan) {
        auto& m = *motor;
        const bool v = c.completa;
        const std::map<std::string, std::function<std::string()>> texto = {
            {"TextoUnaTabla", [&] { return m.TextoUnaTabla(v, plan); }},
            {"TextoVariasTablas", [&] { return m.TextoVariasTablas(v, plan); }},
            {"TextoAgrupadaUnaTabla", [&] { return m.TextoAgrupadaUnaTabla(v, plan); }},
            {"TextoAgrupadaVariasTablas", [&] { return m.TextoAgrupadaVariasTablas(v, plan); }},
            {"TextoSubqueryCorrelacionada",
             [&] { return m.TextoSubqueryCorrelacionada(Interna(plan)); }}};
        return texto.at(c.constructor)();
    }

    // A subquery's clause alone: what the statement with it adds to the same statement
    // without it under the same seed (its draws come last).
    std::set<std::string> Clausulas(Caso c) {
        P sin = c.plan;
        sin.TipoSubquery = sin.Conector = sin.IndCampoSub = sin.OperadorSub = 0;
        sin.SqlSubquery = sin.TextoSubquery = "";
        c.constructor = "TextoUnaTabla";
        std::set<std::string> textos;
        for (int i = 0; i < 300; ++i) {
            SembrarAleatorio(std::uint64_t(i) * 7919u + 1u);
            const std::string base = Texto(c, sin);
            SembrarAleatorio(std::uint64_t(i) * 7919u + 1u);
            const std::string con = Texto(c, c.plan);
            EXPECT_EQ(con.substr(0, base.size()), base);
            textos.insert(con.substr(base.size()));
        }
        return textos;
    }
};

TEST_P(Casos, GiveTheirExactOutput) {
    const std::vector<Caso> casos = Leer(GetParam());
    ASSERT_FALSE(casos.empty());
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        ASSERT_EQ(c.fallo, "");
        if (c.constructor.starts_with("Sql")) {
            const generador::SqlConValores r = Sql(c);
            auto esperado = [&](const char* k) { return c.sql.count(k) ? c.sql.at(k) : ""; };
            EXPECT_EQ(r.Sql, esperado("sql"));
            EXPECT_EQ(r.Valor1, esperado("valor1"));
            EXPECT_EQ(r.Valor2, esperado("valor2"));
            EXPECT_EQ(r.ValorHaving, esperado("having"));
        } else if (c.constructor == "ClausulaSubconsulta") {
            EXPECT_EQ(Clausulas(c), Combinar(c.textos));
        } else {
            EXPECT_EQ(Variantes([&] { return Texto(c, c.plan); }), Combinar(c.textos));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Generador, Casos, ::testing::Values("formas_sql", "enunciados"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace veliora::test
