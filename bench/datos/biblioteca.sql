-- A lending library of @PRESTAMOS@ loans over 50,000 books and 20,000 members, for the
-- benchmarks of scripts/bench (sqlite3 runs it; @PRESTAMOS@ is replaced first). Text keys
-- (ISBN), cities in several spellings, an index on the loans' book.
PRAGMA journal_mode = off;
PRAGMA synchronous = off;
CREATE TABLE libros (isbn TEXT PRIMARY KEY, titulo TEXT, autor TEXT, paginas INTEGER,
                     ciudad TEXT);
CREATE TABLE socios (id INTEGER PRIMARY KEY, nombre TEXT, ciudad TEXT, alta DATE);
CREATE TABLE prestamos (id INTEGER PRIMARY KEY, isbnlibro TEXT REFERENCES libros(isbn),
                        socio INTEGER REFERENCES socios(id), fecha DATE, dias INTEGER,
                        multa DOUBLE);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000)
INSERT INTO libros
SELECT printf('978-84-%05d-%d', i, i * 37 % 10), 'Título ' || (i * 7919 % 50021),
       'Autor ' || (i % 3001), 48 + (i * 13 % 900),
       CASE i % 5 WHEN 0 THEN 'Ávila' WHEN 1 THEN 'VALENCIA' WHEN 2 THEN 'sevilla'
                  WHEN 3 THEN 'avila' ELSE 'Lleida' END
FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)
INSERT INTO socios
SELECT i, 'Socio ' || (i * 31 % 20011),
       CASE i % 3 WHEN 0 THEN 'ÁVILA' WHEN 1 THEN 'valencia' ELSE 'Sevilla' END,
       date('2010-01-01', '+' || (i % 4000) || ' days')
FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < @PRESTAMOS@)
INSERT INTO prestamos
SELECT i, printf('978-84-%05d-%d', 1 + i * 7 % 50000, (1 + i * 7 % 50000) * 37 % 10),
       1 + i * 11 % 20000, date('2015-01-01', '+' || (i % 3000) || ' days'), 1 + i * 17 % 60,
       CASE WHEN i % 9 = 0 THEN (i % 40) / 4.0 END
FROM n;
CREATE INDEX prestamos_libro ON prestamos (isbnlibro);
