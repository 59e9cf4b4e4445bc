-- Data dictionary and bulletin of the sample database "escuela".
-- Runs after bdaux.sql. Yes/no columns: -1 yes, 0 no. MascFeme -1 = masculine.
-- Relation phrases are glued into generated questions as
--   "... de los alumnos" + Traduccion + (plural of the next table unless NoConcatenar)
--   + " cuya localidad sea igual a ..."
-- so each phrase must read well between a plural noun and the next table's plural.
-- Bulletin questions and answers are written in clear text here; the build scrambles them.

-- Tables. PosX/PosY (twips) lay the diagram out in two rows of four boxes, with related
-- tables side by side.
INSERT INTO Tablas (Nombre, NombreSingular, NombrePlural, MascFeme, PosX, PosY) VALUES
  ('Departamentos', 'departamento', 'departamentos', -1, 100, 100),
  ('Profesores', 'profesor', 'profesores', -1, 2850, 100),
  ('Grupos', 'grupo', 'grupos', -1, 5600, 100),
  ('Alumnos', 'alumno', 'alumnos', -1, 8350, 100),
  ('Asignaturas', 'asignatura', 'asignaturas', 0, 100, 2500),
  ('Matriculas', 'matrícula', 'matrículas', 0, 2850, 2500),
  ('Evaluaciones', 'evaluación', 'evaluaciones', 0, 5600, 2500),
  ('Faltas Asistencia', 'falta de asistencia', 'faltas de asistencia', 0, 8350, 2500);

-- Fields. PermiteSum -1 only for amounts and quantities that make sense summed or averaged
-- (money, hours, marks); codes, years, floors and terms are not summable.
INSERT INTO Campos (NombreTabla, Nombre, NombreSingular, NombrePlural, MascFeme, PermiteSum) VALUES
  ('Departamentos', 'IdDepartamento', 'código de departamento', 'códigos de departamento', -1, 0),
  ('Departamentos', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Departamentos', 'Planta', 'planta', 'plantas', 0, 0),
  ('Departamentos', 'Extension', 'extensión telefónica', 'extensiones telefónicas', 0, 0),
  ('Departamentos', 'Presupuesto', 'presupuesto', 'presupuestos', -1, -1),

  ('Profesores', 'IdProfesor', 'código de profesor', 'códigos de profesor', -1, 0),
  ('Profesores', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Profesores', 'Apellidos', 'apellido', 'apellidos', -1, 0),
  ('Profesores', 'Dni', 'dni', 'dni', -1, 0),
  ('Profesores', 'Email', 'correo electrónico', 'correos electrónicos', -1, 0),
  ('Profesores', 'FechaAlta', 'fecha de alta', 'fechas de alta', 0, 0),
  ('Profesores', 'Funcionario', 'condición de funcionario', 'condiciones de funcionario', 0, 0),
  ('Profesores', 'HorasSemana', 'número de horas semanales', 'números de horas semanales', -1, -1),
  ('Profesores', 'Sueldo', 'sueldo', 'sueldos', -1, -1),
  ('Profesores', 'IdDepartamento', 'código de departamento', 'códigos de departamento', -1, 0),

  ('Grupos', 'IdGrupo', 'código de grupo', 'códigos de grupo', -1, 0),
  ('Grupos', 'Etapa', 'etapa', 'etapas', 0, 0),
  ('Grupos', 'Curso', 'curso', 'cursos', -1, 0),
  ('Grupos', 'Letra', 'letra', 'letras', 0, 0),
  ('Grupos', 'Aula', 'aula', 'aulas', 0, 0),
  ('Grupos', 'Turno', 'turno', 'turnos', -1, 0),
  ('Grupos', 'IdTutor', 'código de tutor', 'códigos de tutor', -1, 0),

  ('Alumnos', 'IdAlumno', 'código de alumno', 'códigos de alumno', -1, 0),
  ('Alumnos', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Alumnos', 'Apellidos', 'apellido', 'apellidos', -1, 0),
  ('Alumnos', 'Sexo', 'sexo', 'sexos', -1, 0),
  ('Alumnos', 'FechaNacimiento', 'fecha de nacimiento', 'fechas de nacimiento', 0, 0),
  ('Alumnos', 'Dni', 'dni', 'dni', -1, 0),
  ('Alumnos', 'Direccion', 'dirección', 'direcciones', 0, 0),
  ('Alumnos', 'Localidad', 'localidad', 'localidades', 0, 0),
  ('Alumnos', 'CodigoPostal', 'código postal', 'códigos postales', -1, 0),
  ('Alumnos', 'Telefono', 'teléfono', 'teléfonos', -1, 0),
  ('Alumnos', 'Repetidor', 'condición de repetidor', 'condiciones de repetidor', 0, 0),
  ('Alumnos', 'Beca', 'importe de beca', 'importes de beca', -1, -1),
  ('Alumnos', 'IdGrupo', 'código de grupo', 'códigos de grupo', -1, 0),

  ('Asignaturas', 'IdAsignatura', 'código de asignatura', 'códigos de asignatura', -1, 0),
  ('Asignaturas', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Asignaturas', 'Etapa', 'etapa', 'etapas', 0, 0),
  ('Asignaturas', 'Curso', 'curso', 'cursos', -1, 0),
  ('Asignaturas', 'HorasSemana', 'número de horas semanales', 'números de horas semanales', -1, -1),
  ('Asignaturas', 'Optativa', 'carácter optativo', 'caracteres optativos', -1, 0),
  ('Asignaturas', 'IdDepartamento', 'código de departamento', 'códigos de departamento', -1, 0),

  ('Matriculas', 'IdAlumno', 'código de alumno', 'códigos de alumno', -1, 0),
  ('Matriculas', 'IdAsignatura', 'código de asignatura', 'códigos de asignatura', -1, 0),
  ('Matriculas', 'FechaMatricula', 'fecha de matrícula', 'fechas de matrícula', 0, 0),
  ('Matriculas', 'Convalidada', 'convalidación', 'convalidaciones', 0, 0),
  ('Matriculas', 'NotaFinal', 'nota final', 'notas finales', 0, -1),

  ('Evaluaciones', 'IdAlumno', 'código de alumno', 'códigos de alumno', -1, 0),
  ('Evaluaciones', 'IdAsignatura', 'código de asignatura', 'códigos de asignatura', -1, 0),
  ('Evaluaciones', 'Trimestre', 'trimestre', 'trimestres', -1, 0),
  ('Evaluaciones', 'FechaExamen', 'fecha de examen', 'fechas de examen', 0, 0),
  ('Evaluaciones', 'Nota', 'nota', 'notas', 0, -1),
  ('Evaluaciones', 'Observaciones', 'observación', 'observaciones', 0, 0),

  ('Faltas Asistencia', 'IdFalta', 'código de falta', 'códigos de falta', -1, 0),
  ('Faltas Asistencia', 'IdAlumno', 'código de alumno', 'códigos de alumno', -1, 0),
  ('Faltas Asistencia', 'Fecha', 'fecha', 'fechas', 0, 0),
  ('Faltas Asistencia', 'Horas', 'número de horas', 'números de horas', -1, -1),
  ('Faltas Asistencia', 'Justificada', 'justificación', 'justificaciones', 0, 0),
  ('Faltas Asistencia', 'Motivo', 'motivo', 'motivos', -1, 0);

-- Relations, named after the referenced table followed by the referencing one.
-- Traduccion reads from the referenced table, Traduccion2 from the referencing one:
--   "los nombres de los departamentos que tienen profesores cuyo sueldo ..."
--   "los nombres de los profesores que pertenecen a departamentos cuyo presupuesto ..."
-- GruposAlumnos shows NoConcatenar: its phrase already ends with the word "alumnos".
INSERT INTO Relaciones (Nombre, Traduccion, Traduccion2, NoConcatenar, NoConcatenar2) VALUES
  ('AlumnosFaltas Asistencia', 'que tienen', 'de', 0, 0),
  ('AlumnosMatriculas', 'que tienen', 'de', 0, 0),
  ('AsignaturasMatriculas', 'que tienen', 'de', 0, 0),
  ('DepartamentosAsignaturas', 'que imparten', 'impartidas por', 0, 0),
  ('DepartamentosProfesores', 'que tienen', 'que pertenecen a', 0, 0),
  ('GruposAlumnos', 'en los que hay alumnos', 'que pertenecen a', -1, 0),
  ('MatriculasEvaluaciones', 'que tienen', 'de', 0, 0),
  ('ProfesoresGrupos', 'que son tutores de', 'tutelados por', 0, 0);


-- The Valencian dictionary (bdaux_va.sql): the same objects named in Valencian, for the
-- questions worded in Valencian.
INSERT INTO TablasVa (Nombre, NombreSingular, NombrePlural, MascFeme) VALUES
  ('Departamentos', 'departament', 'departaments', -1),
  ('Profesores', 'professor', 'professors', -1),
  ('Grupos', 'grup', 'grups', -1),
  ('Alumnos', 'alumne', 'alumnes', -1),
  ('Asignaturas', 'assignatura', 'assignatures', 0),
  ('Matriculas', 'matrícula', 'matrícules', 0),
  ('Evaluaciones', 'avaluació', 'avaluacions', 0),
  ('Faltas Asistencia', 'falta d''assistència', 'faltes d''assistència', 0);

INSERT INTO CamposVa (NombreTabla, Nombre, NombreSingular, NombrePlural, MascFeme) VALUES
  ('Departamentos', 'IdDepartamento', 'codi de departament', 'codis de departament', -1),
  ('Departamentos', 'Nombre', 'nom', 'noms', -1),
  ('Departamentos', 'Planta', 'planta', 'plantes', 0),
  ('Departamentos', 'Extension', 'extensió telefònica', 'extensions telefòniques', 0),
  ('Departamentos', 'Presupuesto', 'pressupost', 'pressupostos', -1),

  ('Profesores', 'IdProfesor', 'codi de professor', 'codis de professor', -1),
  ('Profesores', 'Nombre', 'nom', 'noms', -1),
  ('Profesores', 'Apellidos', 'cognom', 'cognoms', -1),
  ('Profesores', 'Dni', 'dni', 'dni', -1),
  ('Profesores', 'Email', 'correu electrònic', 'correus electrònics', -1),
  ('Profesores', 'FechaAlta', 'data d''alta', 'dates d''alta', 0),
  ('Profesores', 'Funcionario', 'condició de funcionari', 'condicions de funcionari', 0),
  ('Profesores', 'HorasSemana', 'nombre d''hores setmanals', 'nombres d''hores setmanals', -1),
  ('Profesores', 'Sueldo', 'sou', 'sous', -1),
  ('Profesores', 'IdDepartamento', 'codi de departament', 'codis de departament', -1),

  ('Grupos', 'IdGrupo', 'codi de grup', 'codis de grup', -1),
  ('Grupos', 'Etapa', 'etapa', 'etapes', 0),
  ('Grupos', 'Curso', 'curs', 'cursos', -1),
  ('Grupos', 'Letra', 'lletra', 'lletres', 0),
  ('Grupos', 'Aula', 'aula', 'aules', 0),
  ('Grupos', 'Turno', 'torn', 'torns', -1),
  ('Grupos', 'IdTutor', 'codi de tutor', 'codis de tutor', -1),

  ('Alumnos', 'IdAlumno', 'codi d''alumne', 'codis d''alumne', -1),
  ('Alumnos', 'Nombre', 'nom', 'noms', -1),
  ('Alumnos', 'Apellidos', 'cognom', 'cognoms', -1),
  ('Alumnos', 'Sexo', 'sexe', 'sexes', -1),
  ('Alumnos', 'FechaNacimiento', 'data de naixement', 'dates de naixement', 0),
  ('Alumnos', 'Dni', 'dni', 'dni', -1),
  ('Alumnos', 'Direccion', 'adreça', 'adreces', 0),
  ('Alumnos', 'Localidad', 'localitat', 'localitats', 0),
  ('Alumnos', 'CodigoPostal', 'codi postal', 'codis postals', -1),
  ('Alumnos', 'Telefono', 'telèfon', 'telèfons', -1),
  ('Alumnos', 'Repetidor', 'condició de repetidor', 'condicions de repetidor', 0),
  ('Alumnos', 'Beca', 'import de beca', 'imports de beca', -1),
  ('Alumnos', 'IdGrupo', 'codi de grup', 'codis de grup', -1),

  ('Asignaturas', 'IdAsignatura', 'codi d''assignatura', 'codis d''assignatura', -1),
  ('Asignaturas', 'Nombre', 'nom', 'noms', -1),
  ('Asignaturas', 'Etapa', 'etapa', 'etapes', 0),
  ('Asignaturas', 'Curso', 'curs', 'cursos', -1),
  ('Asignaturas', 'HorasSemana', 'nombre d''hores setmanals', 'nombres d''hores setmanals', -1),
  ('Asignaturas', 'Optativa', 'caràcter optatiu', 'caràcters optatius', -1),
  ('Asignaturas', 'IdDepartamento', 'codi de departament', 'codis de departament', -1),

  ('Matriculas', 'IdAlumno', 'codi d''alumne', 'codis d''alumne', -1),
  ('Matriculas', 'IdAsignatura', 'codi d''assignatura', 'codis d''assignatura', -1),
  ('Matriculas', 'FechaMatricula', 'data de matrícula', 'dates de matrícula', 0),
  ('Matriculas', 'Convalidada', 'convalidació', 'convalidacions', 0),
  ('Matriculas', 'NotaFinal', 'nota final', 'notes finals', 0),

  ('Evaluaciones', 'IdAlumno', 'codi d''alumne', 'codis d''alumne', -1),
  ('Evaluaciones', 'IdAsignatura', 'codi d''assignatura', 'codis d''assignatura', -1),
  ('Evaluaciones', 'Trimestre', 'trimestre', 'trimestres', -1),
  ('Evaluaciones', 'FechaExamen', 'data d''examen', 'dates d''examen', 0),
  ('Evaluaciones', 'Nota', 'nota', 'notes', 0),
  ('Evaluaciones', 'Observaciones', 'observació', 'observacions', 0),

  ('Faltas Asistencia', 'IdFalta', 'codi de falta', 'codis de falta', -1),
  ('Faltas Asistencia', 'IdAlumno', 'codi d''alumne', 'codis d''alumne', -1),
  ('Faltas Asistencia', 'Fecha', 'data', 'dates', 0),
  ('Faltas Asistencia', 'Horas', 'nombre d''hores', 'nombres d''hores', -1),
  ('Faltas Asistencia', 'Justificada', 'justificació', 'justificacions', 0),
  ('Faltas Asistencia', 'Motivo', 'motiu', 'motius', -1);

INSERT INTO RelacionesVa (Nombre, Traduccion, Traduccion2, NoConcatenar, NoConcatenar2) VALUES
  ('AlumnosFaltas Asistencia', 'que tenen', 'de', 0, 0),
  ('AlumnosMatriculas', 'que tenen', 'de', 0, 0),
  ('AsignaturasMatriculas', 'que tenen', 'de', 0, 0),
  ('DepartamentosAsignaturas', 'que imparteixen', 'impartides per', 0, 0),
  ('DepartamentosProfesores', 'que tenen', 'que pertanyen a', 0, 0),
  ('GruposAlumnos', 'en què hi ha alumnes', 'que pertanyen a', -1, 0),
  ('MatriculasEvaluaciones', 'que tenen', 'de', 0, 0),
  ('ProfesoresGrupos', 'que són tutors de', 'tutelats per', 0, 0);

-- Bulletin "Repaso": a review of the whole SQL syllabus on this database.
INSERT INTO CabBoletines (Nombre) VALUES ('Repaso');

INSERT INTO LBoletines (NombreBoletin, NumPregunta, Pregunta, Respuesta) VALUES
  ('Repaso', 1,
   'Obtener el nombre, los apellidos y la localidad de los alumnos que viven en Godella.',
   'Select Nombre, Apellidos, Localidad from Alumnos where Localidad = ''Godella'''),
  ('Repaso', 2,
   'Mostrar el nombre, los apellidos y la fecha de nacimiento de los alumnos nacidos antes del 1 de enero de 2008.',
   'Select Nombre, Apellidos, FechaNacimiento from Alumnos where FechaNacimiento < #01/01/2008#'),
  ('Repaso', 3,
   '¿Cuántos alumnos repetidores hay en cada etapa? Mostrar la etapa y el número de repetidores.',
   'Select Grupos.Etapa, Count(*) from Grupos, Alumnos where Grupos.IdGrupo = Alumnos.IdGrupo and Alumnos.Repetidor = 1 group by Grupos.Etapa'),
  ('Repaso', 4,
   'Obtener el nombre, los apellidos y el sueldo de los profesores que cobran más que la media de todos los profesores.',
   'Select Nombre, Apellidos, Sueldo from Profesores where Sueldo > (Select Avg(Sueldo) from Profesores)'),
  ('Repaso', 5,
   'Mostrar el nombre y los apellidos de los alumnos matriculados en la asignatura Filosofía.',
   'Select Alumnos.Nombre, Alumnos.Apellidos from Alumnos, Matriculas, Asignaturas where Alumnos.IdAlumno = Matriculas.IdAlumno and Asignaturas.IdAsignatura = Matriculas.IdAsignatura and Asignaturas.Nombre = ''Filosofía'''),
  ('Repaso', 6,
   'Para cada asignatura de 2º de Bachillerato, obtener su nombre y la nota media del primer trimestre.',
   'Select Asignaturas.Nombre, Avg(Evaluaciones.Nota) from Asignaturas, Evaluaciones where Asignaturas.IdAsignatura = Evaluaciones.IdAsignatura and Asignaturas.Etapa = ''Bachillerato'' and Asignaturas.Curso = 2 and Evaluaciones.Trimestre = 1 group by Asignaturas.Nombre'),
  ('Repaso', 7,
   'Mostrar el nombre y los apellidos de los alumnos que no tienen ninguna falta de asistencia.',
   'Select Nombre, Apellidos from Alumnos where not exists (Select * from [Faltas Asistencia] where [Faltas Asistencia].IdAlumno = Alumnos.IdAlumno)'),
  ('Repaso', 8,
   'Obtener el nombre, los apellidos y el total de horas de faltas sin justificar de los alumnos que acumulan más de 6 horas sin justificar.',
   'Select Alumnos.Nombre, Alumnos.Apellidos, Sum([Faltas Asistencia].Horas) from Alumnos, [Faltas Asistencia] where Alumnos.IdAlumno = [Faltas Asistencia].IdAlumno and [Faltas Asistencia].Justificada = 0 group by Alumnos.IdAlumno, Alumnos.Nombre, Alumnos.Apellidos having Sum([Faltas Asistencia].Horas) > 6'),
  ('Repaso', 9,
   'Obtener el código de alumno, el código de asignatura, el trimestre y la nota de las evaluaciones suspendidas (nota menor que 5) de las matrículas hechas en septiembre de 2023.',
   'Select Evaluaciones.IdAlumno, Evaluaciones.IdAsignatura, Evaluaciones.Trimestre, Evaluaciones.Nota from Matriculas, Evaluaciones where Matriculas.IdAlumno = Evaluaciones.IdAlumno and Matriculas.IdAsignatura = Evaluaciones.IdAsignatura and Matriculas.FechaMatricula between #09/01/2023# and #09/30/2023# and Evaluaciones.Nota < 5'),
  ('Repaso', 10,
   'Para cada grupo de Bachillerato, mostrar su código, su aula y el nombre y los apellidos de su tutor.',
   'Select Grupos.IdGrupo, Grupos.Aula, Profesores.Nombre, Profesores.Apellidos from Grupos, Profesores where Profesores.IdProfesor = Grupos.IdTutor and Grupos.Etapa = ''Bachillerato'''),
  ('Repaso', 11,
   'Obtener, sin repetir, los nombres de las asignaturas en las que está matriculado algún alumno repetidor.',
   'Select Distinct Nombre from Asignaturas where IdAsignatura in (Select IdAsignatura from Matriculas where IdAlumno in (Select IdAlumno from Alumnos where Repetidor = 1))');
