#!/usr/bin/env python3
"""Checks the labels of pares.tsv outside the program.

Every pair must give the same result on its database. Then random databases that keep the
database's schema are drawn from it (rows copied under new keys with the rows that refer to
them, values changed to ones near the literals of the pair or to other rows' values, rows
deleted with the rows that refer to them), and both statements are compared on each, with
Python's own sqlite3. A pair labelled "distinto" must be told apart by one of them; a pair
labelled "equivalente" by none of N variants (N: --variantes); a pair labelled "distinto" may
take up to 8 N, the search stopping at the first that tells it apart.

    python3 bench/contraejemplos/etiquetas.py [--variantes N] [--semilla S] [pares.tsv]
"""

import argparse
import math
import os
import random
import re
import sqlite3
import sys

AQUI = os.path.dirname(os.path.abspath(__file__))
RAIZ = os.path.abspath(os.path.join(AQUI, "..", ".."))
SCRIPTS = {
    "tienda": os.path.join(RAIZ, "resources", "samples", "tienda", "tienda.sql"),
    "escuela": os.path.join(RAIZ, "resources", "samples", "escuela", "escuela.sql"),
    "agenda": os.path.join(AQUI, "agenda.sql"),
}

# ---------------------------------------------------------------- the schema


class Columna:
    def __init__(self, nombre, tipo, no_nula, en_clave):
        self.nombre = nombre
        self.tipo = (tipo or "").upper()
        self.no_nula = no_nula or en_clave
        self.en_clave = en_clave
        m = re.search(r"\((\d+)(?:\s*,\s*(\d+))?\)", self.tipo)
        base = self.tipo.split("(")[0].strip()
        self.longitud = int(m.group(1)) if m and base in ("CHAR", "VARCHAR", "NCHAR", "NVARCHAR") else None
        self.escala = int(m.group(2)) if m and m.group(2) else None
        if base in ("BOOLEAN", "BIT"):
            self.clase = "booleano"
        elif base in ("INTEGER", "INT", "SMALLINT", "BIGINT", "TINYINT"):
            self.clase = "entero"
        elif base in ("REAL", "DOUBLE", "FLOAT", "MONEY", "DECIMAL", "NUMERIC", "CURRENCY"):
            self.clase = "numero"
            if base in ("MONEY", "CURRENCY") and self.escala is None:
                self.escala = 2
        elif base in ("DATETIME", "TIMESTAMP"):
            self.clase = "momento"
        elif base == "DATE":
            self.clase = "fecha"
        else:
            self.clase = "texto"


class Tabla:
    def __init__(self, con, nombre):
        self.nombre = nombre
        info = con.execute("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?)", (nombre,)).fetchall()
        self.columnas = [Columna(n, t, nn, pk > 0) for n, t, nn, pk in info]
        self.clave = [n for n, t, nn, pk in sorted(info, key=lambda r: r[3]) if pk > 0]
        self.unicas = [self.clave] if self.clave else []
        for _, nombre_indice, unico, _, _ in con.execute("SELECT * FROM pragma_index_list(?)", (nombre,)):
            if unico:
                cols = [r[2] for r in con.execute("SELECT * FROM pragma_index_info(?)", (nombre_indice,))]
                if cols not in self.unicas:
                    self.unicas.append(cols)
        # (child columns, parent table, parent columns)
        self.referencias = []
        por_id = {}
        for fila in con.execute("SELECT id, \"table\", \"from\", \"to\" FROM pragma_foreign_key_list(?)", (nombre,)):
            por_id.setdefault(fila[0], []).append(fila)
        for filas in por_id.values():
            padre = filas[0][1]
            hijas = [f[2] for f in filas]
            padres = [f[3] for f in filas]
            if padres[0] is None:
                padres = [r[0] for r in con.execute("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk", (padre,))]
            self.referencias.append((hijas, padre, padres))

    def columna(self, nombre):
        for c in self.columnas:
            if c.nombre.lower() == nombre.lower():
                return c
        return None


def q(nombre):
    return '"' + nombre.replace('"', '""') + '"'


def esquema(con):
    nombres = [r[0] for r in con.execute("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")]
    return {n: Tabla(con, n) for n in nombres}


def hijas_de(tablas, padre):
    return [(t, r) for t in tablas.values() for r in t.referencias if r[1].lower() == padre.lower()]


# ---------------------------------------------------------------- the program's reading of text


def collate_es_ci(a, b):
    a, b = a.casefold(), b.casefold()
    return (a > b) - (a < b)


def vistas_sin_mayusculas(con, tablas):
    """Text columns compare ignoring letter case, as in the program."""
    for t in tablas.values():
        cols = []
        for c in t.columnas:
            if c.clase == "texto":
                cols.append("%s COLLATE es_ci AS %s" % (q(c.nombre), q(c.nombre)))
            else:
                cols.append(q(c.nombre))
        con.execute("CREATE TEMP VIEW %s AS SELECT %s FROM main.%s" % (q(t.nombre), ", ".join(cols), q(t.nombre)))


def funciones(con):
    con.create_collation("es_ci", collate_es_ci)
    con.create_function("lower", 1, lambda x: x.lower() if isinstance(x, str) else x, deterministic=True)
    con.create_function("upper", 1, lambda x: x.upper() if isinstance(x, str) else x, deterministic=True)


def traducir(sql):
    """A text literal after a comparison ignores letter case, as in the program."""
    salida, i = [], 0
    for m in re.finditer(r"'(?:[^']|'')*'", sql):
        salida.append(sql[i:m.start()])
        antes = "".join(salida).rstrip()
        salida.append(m.group(0))
        despues = sql[m.end():].lstrip().lower()
        if antes and antes[-1] in "=<>" and not despues.startswith("collate"):
            salida.append(" COLLATE es_ci")
        i = m.end()
    salida.append(sql[i:])
    return "".join(salida)


def abrir(script):
    con = sqlite3.connect(":memory:", isolation_level=None)
    funciones(con)
    with open(script, encoding="utf-8") as f:
        con.executescript(f.read())
    return con


def copiar(origen, tablas):
    con = sqlite3.connect(":memory:", isolation_level=None)
    funciones(con)
    origen.backup(con)
    vistas_sin_mayusculas(con, tablas)
    return con


# ---------------------------------------------------------------- comparing results


def mismo_valor(a, b):
    if isinstance(a, (int, float)) and isinstance(b, (int, float)) and not isinstance(a, bool):
        if isinstance(a, int) and isinstance(b, int):
            return a == b
        return a == b or abs(a - b) <= 1e-9 * max(abs(a), abs(b))
    if isinstance(a, str) and isinstance(b, str):
        # A date and the same date at midnight are the same moment.
        if re.fullmatch(r"\d{4}-\d\d-\d\d", a) and b == a + " 00:00:00":
            return True
        if re.fullmatch(r"\d{4}-\d\d-\d\d", b) and a == b + " 00:00:00":
            return True
    return type(a) == type(b) and a == b


def clave_orden(fila):
    k = []
    for v in fila:
        if v is None:
            k.append((0, 0))
        elif isinstance(v, (int, float)):
            k.append((1, float("%.9g" % v)))
        elif isinstance(v, str):
            k.append((2, v[:-9] if v.endswith(" 00:00:00") else v))
        else:
            k.append((3, bytes(v)))
    return k


def mismas_filas(a, b):
    if len(a) != len(b):
        return False
    if a and len(a[0]) != len(b[0]):
        return False
    a = sorted(a, key=clave_orden)
    b = sorted(b, key=clave_orden)
    if all(len(x) == len(y) and all(mismo_valor(u, v) for u, v in zip(x, y)) for x, y in zip(a, b)):
        return True
    # Numbers close to a rounding edge: pair what is left one against all.
    resto = list(b)
    for x in a:
        for i, y in enumerate(resto):
            if len(x) == len(y) and all(mismo_valor(u, v) for u, v in zip(x, y)):
                del resto[i]
                break
        else:
            return False
    return True


def resultado(con, sql):
    try:
        cur = con.execute(sql)
        return [tuple(f) for f in cur.fetchall()], len(cur.description or [])
    except sqlite3.Error as e:
        return ("error", str(e)), 0


def mismos(con, p):
    a, na = resultado(con, traducir(p["solucion"]))
    b, nb = resultado(con, traducir(p["respuesta"]))
    if isinstance(a, tuple) or isinstance(b, tuple):
        return None
    return na == nb and mismas_filas(a, b)


# ---------------------------------------------------------------- values a column may take


def literales(sql):
    textos = re.findall(r"'((?:[^']|'')*)'", sql)
    sin_textos = re.sub(r"'(?:[^']|'')*'", "''", sql)
    numeros = [float(x) for x in re.findall(r"(?<![\w.])(\d+(?:\.\d+)?)(?![\w.])", sin_textos)]
    return [t.replace("''", "'") for t in textos], numeros


def fechas_de(texto, numeros):
    """Days and moments near the dates, months and years a pair mentions."""
    dias = set()
    for t in texto:
        t2 = t.strip("%_")
        m = re.match(r"^(\d{4})(?:-(\d\d)(?:-(\d\d))?)?", t2)
        if not m:
            continue
        y = int(m.group(1))
        if m.group(3):
            dias.add((y, int(m.group(2)), int(m.group(3))))
        elif m.group(2):
            dias.add((y, int(m.group(2)), 1))
            dias.add((y, int(m.group(2)), 28))
        else:
            dias.update({(y, 1, 1), (y, 12, 31), (y, 6, 15), (y - 1, 12, 31), (y + 1, 1, 1)})
    for n in numeros:
        if n == int(n) and 1900 <= n <= 2100:
            y = int(n)
            dias.update({(y, 1, 1), (y, 12, 31), (y, 6, 15)})
        if n == int(n) and 1 <= n <= 12:
            dias.add((2011, int(n), 10))
    return dias


def sumar_dia(y, m, d, k):
    import datetime
    try:
        x = datetime.date(y, m, d) + datetime.timedelta(days=k)
    except ValueError:
        return None
    return (x.year, x.month, x.day)


class Valores:
    def __init__(self, con, tabla, pares_sql):
        self.con = con
        self.tabla = tabla
        textos, numeros = [], []
        for s in pares_sql:
            t, n = literales(s)
            textos += t
            numeros += n
        self.textos = textos
        self.numeros = numeros
        self.dias = fechas_de(textos, numeros)
        self.palabras = set(w.lower() for s in pares_sql for w in re.findall(r"\w+", s))

    def admitido(self, col, v):
        if v is None:
            return not col.no_nula
        if col.clase == "texto" and col.longitud is not None and len(v) > col.longitud:
            return False
        if col.clase == "booleano":
            return v in (0, 1)
        if col.clase == "numero" and col.escala is not None:
            return abs(round(v, col.escala) - v) < 1e-9
        return True

    def de(self, col, existentes):
        vs = []
        if col.clase in ("entero", "numero", "booleano"):
            base = []
            for n in self.numeros:
                base += [n, n - 1, n + 1, n - 0.01, n + 0.01, n - 0.5, n + 0.5, 2 * n]
            base += [0, 1, -1, 2, 3, 10]
            for e in existentes[:4]:
                if isinstance(e, (int, float)):
                    base += [e + 1, e - 1, e + 0.01, e * 2, e + 0.25, round(e)]
            base += [0.5, 2.25, -1.5, 1.99, 0.99]
            for x in base:
                if col.clase in ("entero", "booleano"):
                    if x != int(x):
                        continue
                    x = int(x)
                vs.append(x)
        elif col.clase in ("fecha", "momento"):
            for (y, m, d) in list(self.dias):
                for k in (-1, 0, 1):
                    dd = sumar_dia(y, m, d, k)
                    if not dd:
                        continue
                    dia = "%04d-%02d-%02d" % dd
                    if col.clase == "fecha":
                        vs.append(dia)
                    else:
                        vs += [dia + " 00:00:00", dia + " 23:59:59", dia + " 10:00:00"]
            for e in existentes[:3]:
                if isinstance(e, str) and len(e) >= 10:
                    vs.append(e)
        else:
            for t in self.textos:
                if re.fullmatch(r"[\d%_-]*", t) and re.search(r"\d{4}", t):
                    continue
                llano = t.replace("%", "").replace("_", "x")
                vs += [t, llano, llano + "x", "x" + llano, llano[:-1], t.replace("%", "x"),
                       llano.upper(), llano.lower(), t.replace("%", "").replace("_", "")]
            for e in existentes[:6]:
                if isinstance(e, str):
                    vs += [e, e + "x", e.upper()]
        vs += [e for e in existentes if e is not None][:8]
        if not col.no_nula:
            vs.append(None)
        return [v for v in vs if self.admitido(col, v)]


# ---------------------------------------------------------------- random changes that keep the schema


def filas(con, t):
    return [r[0] for r in con.execute("SELECT rowid FROM main.%s" % q(t.nombre))]


def nueva_clave(col, usadas, rnd):
    for _ in range(200):
        if col.clase in ("entero", "numero"):
            v = rnd.randint(100000, 999999)
        elif col.clase == "texto":
            n = col.longitud or 8
            v = "".join(rnd.choice("QWXZ") for _ in range(min(n, 5)))
        else:
            return None
        if v not in usadas:
            usadas.add(v)
            return v
    return None


def duplicar(con, tablas, t, rnd, con_hijas):
    """Copies some rows of t under new keys; their children are copied to the copies."""
    ids = filas(con, t)
    if not ids:
        return
    elegidas = rnd.sample(ids, max(1, rnd.randint(1, len(ids))))
    _duplicar_filas(con, tablas, t, elegidas, rnd, con_hijas, {}, 0)


def _duplicar_filas(con, tablas, t, rowids, rnd, con_hijas, remapeo, nivel):
    """remapeo: (parent, parent columns, old values) -> new values of copied parents."""
    if nivel > 3 or not rowids:
        return
    nombres = [c.nombre for c in t.columnas]
    referentes = set(h for hijas, _, _ in t.referencias for h in hijas)
    nuevos = {}
    for rid in rowids:
        vieja = con.execute("SELECT %s FROM main.%s WHERE rowid = ?" % (", ".join(q(n) for n in nombres), q(t.nombre)), (rid,)).fetchone()
        vieja = dict(zip(nombres, vieja))
        nueva = dict(vieja)
        for hijas, padre, padres in t.referencias:
            clave = (padre.lower(), tuple(p.lower() for p in padres), tuple(vieja[h] for h in hijas))
            if clave in remapeo:
                nueva.update(zip(hijas, remapeo[clave]))
        posible = True
        for cols in t.unicas:
            if any(nueva[c] != vieja[c] for c in cols):
                continue
            libres = [c for c in cols if c not in referentes]
            if not libres:
                posible = False
                break
            c = rnd.choice(libres)
            usadas = set(r[0] for r in con.execute("SELECT %s FROM main.%s" % (q(c), q(t.nombre))))
            v = nueva_clave(t.columna(c), usadas, rnd)
            if v is None:
                posible = False
                break
            nueva[c] = v
        if not posible:
            continue
        try:
            con.execute("INSERT INTO main.%s (%s) VALUES (%s)" % (q(t.nombre), ", ".join(q(n) for n in nombres), ", ".join("?" * len(nombres))), [nueva[n] for n in nombres])
        except sqlite3.Error:
            continue
        for cols in t.unicas:
            nuevos[(t.nombre.lower(), tuple(c.lower() for c in cols), tuple(vieja[c] for c in cols))] = tuple(nueva[c] for c in cols)
    if not con_hijas or not nuevos:
        return
    for hija, (hijas, padre, padres) in hijas_de(tablas, t.nombre):
        if hija is t:
            continue
        cols = tuple(p.lower() for p in padres)
        antiguas = [k[2] for k in nuevos if k[1] == cols]
        if not antiguas:
            continue
        ids = []
        for i in range(0, len(antiguas), 100):
            trozo = antiguas[i:i + 100]
            cond = " OR ".join("(" + " AND ".join("%s IS ?" % q(h) for h in hijas) + ")" for _ in trozo)
            ids += [r[0] for r in con.execute("SELECT rowid FROM main.%s WHERE %s" % (q(hija.nombre), cond), [v for k in trozo for v in k])]
        _duplicar_filas(con, tablas, hija, ids, rnd, con_hijas, nuevos, nivel + 1)


def borrar(con, tablas, t, rnd):
    ids = filas(con, t)
    if not ids:
        return
    elegidas = ids if rnd.random() < 0.3 else rnd.sample(ids, rnd.randint(1, len(ids)))
    con.executemany("DELETE FROM main.%s WHERE rowid = ?" % q(t.nombre), [(i,) for i in elegidas])
    # The rows that referred to them go too, over and over.
    for _ in range(8):
        cambio = False
        for h in tablas.values():
            for hijas, padre, padres in h.referencias:
                enlace = " AND ".join("p.%s = h.%s" % (q(pp), q(hh)) for hh, pp in zip(hijas, padres))
                llenas = " AND ".join("h.%s IS NOT NULL" % q(hh) for hh in hijas)
                cur = con.execute("DELETE FROM main.%s WHERE rowid IN (SELECT h.rowid FROM main.%s AS h WHERE %s AND NOT EXISTS (SELECT 1 FROM main.%s AS p WHERE %s))" % (q(h.nombre), q(h.nombre), llenas, q(padre), enlace))
                cambio |= cur.rowcount > 0
        if not cambio:
            break


def cambiar(con, t, valores, rnd, filas_elegidas):
    nombradas = [c for c in t.columnas if c.nombre.lower() in valores.palabras]
    col = rnd.choice(nombradas if nombradas and rnd.random() < 0.8 else t.columnas)
    existentes = [r[0] for r in con.execute("SELECT DISTINCT %s FROM main.%s LIMIT 20" % (q(col.nombre), q(t.nombre)))]
    pool = valores.de(col, existentes)
    if not pool or not filas_elegidas:
        return
    k = rnd.random()
    if k < 0.5:
        ids = [rnd.choice(filas_elegidas)]
    elif k < 0.85:
        ids = rnd.sample(filas_elegidas, max(1, len(filas_elegidas) // 2))
    else:
        ids = filas_elegidas
    unico = rnd.random() < 0.5
    cercanos = pool[: max(1, len(pool) // 2)]
    v = rnd.choice(cercanos if rnd.random() < 0.5 else pool)
    for i in ids:
        if not unico:
            v = rnd.choice(pool)
        try:
            con.execute("UPDATE main.%s SET %s = ? WHERE rowid = ?" % (q(t.nombre), q(col.nombre)), (v, i))
        except sqlite3.Error:
            pass


def igualar(con, t, rnd, filas_elegidas):
    """One row takes another's values in some columns that are no key."""
    if len(filas_elegidas) < 2:
        return
    a, b = rnd.sample(filas_elegidas, 2)
    libres = [c.nombre for c in t.columnas if not c.en_clave]
    if not libres:
        return
    cols = rnd.sample(libres, rnd.randint(1, len(libres)))
    for c in cols:
        try:
            con.execute("UPDATE main.%s SET %s = (SELECT %s FROM main.%s WHERE rowid = ?) WHERE rowid = ?" % (q(t.nombre), q(c), q(c), q(t.nombre)), (a, b))
        except sqlite3.Error:
            pass


def roturas(con, tablas):
    """What breaks the schema: references without their row, keys with a null or repeated
    (texts ignoring letter case, as the program compares them), texts longer than declared."""
    malas = set(("ref",) + tuple(r) for r in con.execute("SELECT * FROM pragma_foreign_key_check"))
    for t in tablas.values():
        if t.clave:
            nulos = " OR ".join("%s IS NULL" % q(c) for c in t.clave)
            for (r,) in con.execute("SELECT rowid FROM main.%s WHERE %s" % (q(t.nombre), nulos)):
                malas.add(("nula", t.nombre, r))
        for cols in t.unicas:
            expr = ", ".join("lower(%s)" % q(c) if t.columna(c).clase == "texto" else q(c) for c in cols)
            for fila in con.execute("SELECT %s FROM main.%s GROUP BY %s HAVING count(*) > 1" % (expr, q(t.nombre), expr)):
                if None not in fila:
                    malas.add(("repetida", t.nombre) + tuple(fila))
        for c in t.columnas:
            if c.clase == "texto" and c.longitud:
                for (v,) in con.execute("SELECT DISTINCT %s FROM main.%s WHERE length(%s) > ?" % (q(c.nombre), q(t.nombre), q(c.nombre)), (c.longitud,)):
                    malas.add(("larga", t.nombre, c.nombre, v))
    return malas


def cambiar_relacionadas(con, tablas, usadas, valores, rnd):
    """A row and the row it refers to change together (a line and its invoice)."""
    pares = [(t, r) for t in tablas.values() if t.nombre.lower() in usadas
             for r in t.referencias if r[1].lower() in usadas]
    if not pares:
        return
    hija, (hijas, padre, padres) = rnd.choice(pares)
    ids = filas(con, hija)
    if not ids:
        return
    rid = rnd.choice(ids)
    fila = con.execute("SELECT %s FROM main.%s WHERE rowid = ?" % (", ".join(q(h) for h in hijas), q(hija.nombre)), (rid,)).fetchone()
    tp = tablas[[n for n in tablas if n.lower() == padre.lower()][0]]
    enlace = " AND ".join("%s IS ?" % q(p) for p in padres)
    pid = con.execute("SELECT rowid FROM main.%s WHERE %s" % (q(tp.nombre), enlace), fila).fetchone()
    cambiar(con, hija, valores, rnd, [rid])
    if pid:
        cambiar(con, tp, valores, rnd, [pid[0]])


def valida(con, tablas, base):
    return roturas(con, tablas) <= base


def variante(origen, tablas, usadas, valores, rnd, base):
    con = copiar(origen, tablas)
    con.execute("PRAGMA foreign_keys = OFF")
    con.execute("BEGIN")
    nombres = [n for n in tablas if n.lower() in usadas] or list(tablas)
    elegidas = {}
    for _ in range(rnd.randint(1, 6)):
        t = tablas[rnd.choice(nombres)]
        if t.nombre not in elegidas:
            ids = filas(con, t)
            elegidas[t.nombre] = rnd.sample(ids, min(len(ids), rnd.randint(1, 4))) if ids else []
        k = rnd.random()
        if k < 0.35:
            cambiar(con, t, valores, rnd, elegidas[t.nombre])
        elif k < 0.45:
            cambiar_relacionadas(con, tablas, usadas, valores, rnd)
        elif k < 0.65:
            # Also a table the used ones refer to, copied with the rows referring to it.
            padres = [tablas[n] for n in tablas for h in [t] for r in h.referencias if r[1].lower() == n.lower()]
            duplicar(con, tablas, rnd.choice(padres) if padres and rnd.random() < 0.3 else t, rnd, rnd.random() < 0.7)
        elif k < 0.8:
            igualar(con, t, rnd, elegidas[t.nombre])
        else:
            borrar(con, tablas, t, rnd)
    con.execute("COMMIT")
    return con if valida(con, tablas, base) else None


# ---------------------------------------------------------------- the pairs


def leer_pares(ruta):
    pares = []
    with open(ruta, encoding="utf-8") as f:
        for n, linea in enumerate(f, 1):
            linea = linea.rstrip("\n")
            if not linea.strip() or linea.startswith("#"):
                continue
            partes = linea.split("\t")
            if len(partes) != 5:
                sys.exit("%s:%d: five tab-separated fields expected" % (ruta, n))
            bd, clase, tipo, sol, resp = partes
            if clase not in ("equivalente", "distinto"):
                sys.exit("%s:%d: unknown class %s" % (ruta, n, clase))
            pares.append({"linea": n, "bd": bd, "clase": clase, "tipo": tipo, "solucion": sol, "respuesta": resp})
    return pares


def nombres_usados(sql, tablas):
    palabras = set(w.lower() for w in re.findall(r"[A-Za-zÁÉÍÓÚáéíóúñÑ_]\w*", sql))
    return {n.lower() for n in tablas if n.lower() in palabras or n.lower() in sql.lower()}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("pares", nargs="?", default=os.path.join(AQUI, "pares.tsv"))
    ap.add_argument("--variantes", type=int, default=400)
    ap.add_argument("--semilla", type=int, default=1)
    args = ap.parse_args()
    pares = leer_pares(args.pares)
    bases = {}
    malos = 0
    for p in pares:
        if p["bd"] not in bases:
            con = abrir(SCRIPTS[p["bd"]])
            tablas = esquema(con)
            bases[p["bd"]] = (con, tablas, roturas(con, tablas))
        origen, tablas, base = bases[p["bd"]]
        prueba = copiar(origen, tablas)
        igual = mismos(prueba, p)
        if igual is None:
            print("line %d: a statement fails: %s | %s" % (p["linea"], resultado(prueba, p["solucion"])[0], resultado(prueba, p["respuesta"])[0]))
            malos += 1
            continue
        if not igual:
            print("line %d: not the same result on %s" % (p["linea"], p["bd"]))
            malos += 1
            continue
        rnd = random.Random("%d-%d" % (args.semilla, p["linea"]))
        usadas = nombres_usados(p["solucion"] + " " + p["respuesta"], tablas)
        valores = Valores(origen, tablas, [p["solucion"], p["respuesta"]])
        separa = None
        probadas = 0
        # A pair labelled distinto stops at the first variant that tells it apart: it may
        # look further.
        for _ in range(args.variantes * (8 if p["clase"] == "distinto" else 1)):
            con = variante(origen, tablas, usadas, valores, rnd, base)
            if con is None:
                continue
            probadas += 1
            if mismos(con, p) is False:
                separa = con
                break
        if p["clase"] == "distinto" and separa is None:
            print("line %d: labelled distinto, no variant of %d told it apart: %s" % (p["linea"], probadas, p["respuesta"]))
            malos += 1
        elif p["clase"] == "equivalente" and separa is not None:
            print("line %d: labelled equivalente, a variant told it apart: %s" % (p["linea"], p["respuesta"]))
            print("   solution:", resultado(separa, p["solucion"])[0][:5])
            print("   answer:  ", resultado(separa, p["respuesta"])[0][:5])
            malos += 1
    distintos = sum(1 for p in pares if p["clase"] == "distinto")
    print("%d pairs (%d distinto, %d equivalente): %d labels not confirmed" % (len(pares), distintos, len(pares) - distintos, malos))
    return 1 if malos else 0


if __name__ == "__main__":
    sys.exit(main())
