-- The auxiliary database: data dictionary and bulletins of one user database.
-- Yes/no columns hold -1 (yes) or 0 (no). Pregunta and Respuesta hold scrambled bytes.
CREATE TABLE Tablas (
  Nombre         TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
  NombreSingular TEXT,
  NombrePlural   TEXT,
  MascFeme       BOOLEAN NOT NULL DEFAULT 0,
  PosX           INTEGER NOT NULL DEFAULT 0,
  PosY           INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE Campos (
  NombreTabla    TEXT NOT NULL COLLATE NOCASE,
  Nombre         TEXT NOT NULL COLLATE NOCASE,
  NombreSingular TEXT,
  NombrePlural   TEXT,
  MascFeme       BOOLEAN NOT NULL DEFAULT 0,
  PermiteSum     BOOLEAN NOT NULL DEFAULT 0,
  PRIMARY KEY (NombreTabla, Nombre)
);
CREATE TABLE Relaciones (
  Nombre         TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
  Traduccion     TEXT,
  Traduccion2    TEXT,
  NoConcatenar   BOOLEAN NOT NULL DEFAULT 0,
  NoConcatenar2  BOOLEAN NOT NULL DEFAULT 0
);
CREATE TABLE CabBoletines (
  Nombre         TEXT NOT NULL PRIMARY KEY COLLATE NOCASE
);
CREATE TABLE LBoletines (
  NombreBoletin  TEXT NOT NULL COLLATE NOCASE,
  NumPregunta    INTEGER NOT NULL,
  Pregunta       BLOB,
  Respuesta      BLOB,
  PRIMARY KEY (NombreBoletin, NumPregunta)
);
