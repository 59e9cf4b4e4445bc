-- The Valencian half of the data dictionary, beside the Spanish tables of bdaux.sql (which
-- keep their shape, so older files and exports still work). Created when missing: an
-- auxiliary database without these tables is still valid, and its questions in Valencian
-- take the default Valencian names. Same meanings as the Spanish columns; whether a field
-- may be summed is kept once, in Campos.
CREATE TABLE IF NOT EXISTS TablasVa (
  Nombre         TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
  NombreSingular TEXT,
  NombrePlural   TEXT,
  MascFeme       BOOLEAN NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS CamposVa (
  NombreTabla    TEXT NOT NULL COLLATE NOCASE,
  Nombre         TEXT NOT NULL COLLATE NOCASE,
  NombreSingular TEXT,
  NombrePlural   TEXT,
  MascFeme       BOOLEAN NOT NULL DEFAULT 0,
  PRIMARY KEY (NombreTabla, Nombre)
);
CREATE TABLE IF NOT EXISTS RelacionesVa (
  Nombre         TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
  Traduccion     TEXT,
  Traduccion2    TEXT,
  NoConcatenar   BOOLEAN NOT NULL DEFAULT 0,
  NoConcatenar2  BOOLEAN NOT NULL DEFAULT 0
);
