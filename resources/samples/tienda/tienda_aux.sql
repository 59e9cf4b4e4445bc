-- Data dictionary and bulletin of the sample database "tienda".
-- Runs after bdaux.sql. Yes/no columns: -1 yes, 0 no. MascFeme -1 = masculine.
-- Relation phrases are glued into generated questions as
--   "... de los clientes" + Traduccion + (plural of the next table unless NoConcatenar)
--   + " cuya forma de pago sea igual a ..."
-- so each phrase must read well between a plural noun and the next table's plural.
-- Bulletin questions and answers are written in clear text here; the build scrambles them.

-- Tables. PosX/PosY (twips) lay the diagram out in two rows of four boxes, with related
-- tables side by side.
INSERT INTO Tablas (Nombre, NombreSingular, NombrePlural, MascFeme, PosX, PosY) VALUES
  ('Categorias', 'categoría', 'categorías', 0, 100, 100),
  ('Productos', 'producto', 'productos', -1, 2850, 100),
  ('Proveedores', 'proveedor', 'proveedores', -1, 5600, 100),
  ('Empleados', 'empleado', 'empleados', -1, 8350, 100),
  ('Devoluciones', 'devolución', 'devoluciones', 0, 100, 2500),
  ('Lineas Pedido', 'línea de pedido', 'líneas de pedido', 0, 2850, 2500),
  ('Pedidos', 'pedido', 'pedidos', -1, 5600, 2500),
  ('Clientes', 'cliente', 'clientes', -1, 8350, 2500);

-- Fields. PermiteSum -1 only for amounts and quantities that make sense summed or averaged
-- (prices, stock, weights, money); codes and percentages are not summable.
INSERT INTO Campos (NombreTabla, Nombre, NombreSingular, NombrePlural, MascFeme, PermiteSum) VALUES
  ('Categorias', 'IdCategoria', 'código de categoría', 'códigos de categoría', -1, 0),
  ('Categorias', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Categorias', 'Descripcion', 'descripción', 'descripciones', 0, 0),
  ('Categorias', 'TipoIva', 'tipo de iva', 'tipos de iva', -1, 0),

  ('Proveedores', 'IdProveedor', 'código de proveedor', 'códigos de proveedor', -1, 0),
  ('Proveedores', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Proveedores', 'Cif', 'cif', 'cif', -1, 0),
  ('Proveedores', 'Ciudad', 'ciudad', 'ciudades', 0, 0),
  ('Proveedores', 'Provincia', 'provincia', 'provincias', 0, 0),
  ('Proveedores', 'Telefono', 'teléfono', 'teléfonos', -1, 0),
  ('Proveedores', 'Email', 'correo electrónico', 'correos electrónicos', -1, 0),
  ('Proveedores', 'Contacto', 'persona de contacto', 'personas de contacto', 0, 0),

  ('Productos', 'IdProducto', 'código de producto', 'códigos de producto', -1, 0),
  ('Productos', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Productos', 'IdCategoria', 'código de categoría', 'códigos de categoría', -1, 0),
  ('Productos', 'IdProveedor', 'código de proveedor', 'códigos de proveedor', -1, 0),
  ('Productos', 'Precio', 'precio', 'precios', -1, -1),
  ('Productos', 'Stock', 'stock', 'stocks', -1, -1),
  ('Productos', 'StockMinimo', 'stock mínimo', 'stocks mínimos', -1, -1),
  ('Productos', 'Peso', 'peso', 'pesos', -1, -1),
  ('Productos', 'FechaAlta', 'fecha de alta', 'fechas de alta', 0, 0),
  ('Productos', 'Descatalogado', 'condición de descatalogado', 'condiciones de descatalogado', 0, 0),

  ('Clientes', 'IdCliente', 'código de cliente', 'códigos de cliente', -1, 0),
  ('Clientes', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Clientes', 'Apellidos', 'apellido', 'apellidos', -1, 0),
  ('Clientes', 'Nif', 'nif', 'nif', -1, 0),
  ('Clientes', 'Direccion', 'dirección', 'direcciones', 0, 0),
  ('Clientes', 'Ciudad', 'ciudad', 'ciudades', 0, 0),
  ('Clientes', 'Provincia', 'provincia', 'provincias', 0, 0),
  ('Clientes', 'CodigoPostal', 'código postal', 'códigos postales', -1, 0),
  ('Clientes', 'Telefono', 'teléfono', 'teléfonos', -1, 0),
  ('Clientes', 'Email', 'correo electrónico', 'correos electrónicos', -1, 0),
  ('Clientes', 'FechaAlta', 'fecha de alta', 'fechas de alta', 0, 0),
  ('Clientes', 'LimiteCredito', 'límite de crédito', 'límites de crédito', -1, -1),
  ('Clientes', 'Vip', 'condición de vip', 'condiciones de vip', 0, 0),

  ('Empleados', 'IdEmpleado', 'código de empleado', 'códigos de empleado', -1, 0),
  ('Empleados', 'Nombre', 'nombre', 'nombres', -1, 0),
  ('Empleados', 'Apellidos', 'apellido', 'apellidos', -1, 0),
  ('Empleados', 'Cargo', 'cargo', 'cargos', -1, 0),
  ('Empleados', 'FechaContrato', 'fecha de contrato', 'fechas de contrato', 0, 0),
  ('Empleados', 'Sueldo', 'sueldo', 'sueldos', -1, -1),
  ('Empleados', 'Comision', 'porcentaje de comisión', 'porcentajes de comisión', -1, 0),

  ('Pedidos', 'IdPedido', 'número de pedido', 'números de pedido', -1, 0),
  ('Pedidos', 'IdCliente', 'código de cliente', 'códigos de cliente', -1, 0),
  ('Pedidos', 'IdEmpleado', 'código de empleado', 'códigos de empleado', -1, 0),
  ('Pedidos', 'FechaPedido', 'fecha de pedido', 'fechas de pedido', 0, 0),
  ('Pedidos', 'FechaEnvio', 'fecha de envío', 'fechas de envío', 0, 0),
  ('Pedidos', 'FormaPago', 'forma de pago', 'formas de pago', 0, 0),
  ('Pedidos', 'GastosEnvio', 'coste de envío', 'costes de envío', -1, -1),
  ('Pedidos', 'Pagado', 'estado de pago', 'estados de pago', -1, 0),
  ('Pedidos', 'Observaciones', 'observación', 'observaciones', 0, 0),

  ('Lineas Pedido', 'IdPedido', 'número de pedido', 'números de pedido', -1, 0),
  ('Lineas Pedido', 'NumLinea', 'número de línea', 'números de línea', -1, 0),
  ('Lineas Pedido', 'IdProducto', 'código de producto', 'códigos de producto', -1, 0),
  ('Lineas Pedido', 'Cantidad', 'cantidad', 'cantidades', 0, -1),
  ('Lineas Pedido', 'PrecioUnidad', 'precio por unidad', 'precios por unidad', -1, -1),
  ('Lineas Pedido', 'Descuento', 'porcentaje de descuento', 'porcentajes de descuento', -1, 0),

  ('Devoluciones', 'IdDevolucion', 'código de devolución', 'códigos de devolución', -1, 0),
  ('Devoluciones', 'IdPedido', 'número de pedido', 'números de pedido', -1, 0),
  ('Devoluciones', 'NumLinea', 'número de línea', 'números de línea', -1, 0),
  ('Devoluciones', 'FechaHora', 'fecha y hora', 'fechas y horas', 0, 0),
  ('Devoluciones', 'Unidades', 'número de unidades', 'números de unidades', -1, -1),
  ('Devoluciones', 'Motivo', 'motivo', 'motivos', -1, 0),
  ('Devoluciones', 'Importe', 'importe', 'importes', -1, -1),
  ('Devoluciones', 'Reembolsado', 'estado de reembolso', 'estados de reembolso', -1, 0);

-- Relations, named after the referenced table followed by the referencing one.
-- Traduccion reads from the referenced table, Traduccion2 from the referencing one:
--   "los nombres de los clientes que han hecho pedidos cuya forma de pago ..."
--   "las fechas de pedido de los pedidos hechos por clientes cuya ciudad ..."
-- Where the phrase already names the next table (NoConcatenar -1) its plural is not added.
INSERT INTO Relaciones (Nombre, Traduccion, Traduccion2, NoConcatenar, NoConcatenar2) VALUES
  ('CategoriasProductos', 'que incluyen', 'de', 0, 0),
  ('ClientesPedidos', 'que han hecho', 'hechos por clientes', 0, -1),
  ('EmpleadosPedidos', 'que han atendido', 'atendidos por', 0, 0),
  ('Lineas PedidoDevoluciones', 'con devoluciones', 'de', -1, 0),
  ('PedidosLineas Pedido', 'que tienen', 'de', 0, 0),
  ('ProductosLineas Pedido', 'que aparecen en', 'de', 0, 0),
  ('ProveedoresProductos', 'que suministran', 'suministrados por', 0, 0);


-- The Valencian dictionary (bdaux_va.sql): the same objects named in Valencian, for the
-- questions worded in Valencian. Genders follow the Valencian word ("comanda" is feminine
-- where "pedido" is masculine), and so do the relation phrases ("fetes per clients").
INSERT INTO TablasVa (Nombre, NombreSingular, NombrePlural, MascFeme) VALUES
  ('Categorias', 'categoria', 'categories', 0),
  ('Productos', 'producte', 'productes', -1),
  ('Proveedores', 'proveïdor', 'proveïdors', -1),
  ('Empleados', 'empleat', 'empleats', -1),
  ('Devoluciones', 'devolució', 'devolucions', 0),
  ('Lineas Pedido', 'línia de comanda', 'línies de comanda', 0),
  ('Pedidos', 'comanda', 'comandes', 0),
  ('Clientes', 'client', 'clients', -1);

INSERT INTO CamposVa (NombreTabla, Nombre, NombreSingular, NombrePlural, MascFeme) VALUES
  ('Categorias', 'IdCategoria', 'codi de categoria', 'codis de categoria', -1),
  ('Categorias', 'Nombre', 'nom', 'noms', -1),
  ('Categorias', 'Descripcion', 'descripció', 'descripcions', 0),
  ('Categorias', 'TipoIva', 'tipus d''iva', 'tipus d''iva', -1),

  ('Proveedores', 'IdProveedor', 'codi de proveïdor', 'codis de proveïdor', -1),
  ('Proveedores', 'Nombre', 'nom', 'noms', -1),
  ('Proveedores', 'Cif', 'cif', 'cif', -1),
  ('Proveedores', 'Ciudad', 'ciutat', 'ciutats', 0),
  ('Proveedores', 'Provincia', 'província', 'províncies', 0),
  ('Proveedores', 'Telefono', 'telèfon', 'telèfons', -1),
  ('Proveedores', 'Email', 'correu electrònic', 'correus electrònics', -1),
  ('Proveedores', 'Contacto', 'persona de contacte', 'persones de contacte', 0),

  ('Productos', 'IdProducto', 'codi de producte', 'codis de producte', -1),
  ('Productos', 'Nombre', 'nom', 'noms', -1),
  ('Productos', 'IdCategoria', 'codi de categoria', 'codis de categoria', -1),
  ('Productos', 'IdProveedor', 'codi de proveïdor', 'codis de proveïdor', -1),
  ('Productos', 'Precio', 'preu', 'preus', -1),
  ('Productos', 'Stock', 'estoc', 'estocs', -1),
  ('Productos', 'StockMinimo', 'estoc mínim', 'estocs mínims', -1),
  ('Productos', 'Peso', 'pes', 'pesos', -1),
  ('Productos', 'FechaAlta', 'data d''alta', 'dates d''alta', 0),
  ('Productos', 'Descatalogado', 'condició de descatalogat', 'condicions de descatalogat', 0),

  ('Clientes', 'IdCliente', 'codi de client', 'codis de client', -1),
  ('Clientes', 'Nombre', 'nom', 'noms', -1),
  ('Clientes', 'Apellidos', 'cognom', 'cognoms', -1),
  ('Clientes', 'Nif', 'nif', 'nif', -1),
  ('Clientes', 'Direccion', 'adreça', 'adreces', 0),
  ('Clientes', 'Ciudad', 'ciutat', 'ciutats', 0),
  ('Clientes', 'Provincia', 'província', 'províncies', 0),
  ('Clientes', 'CodigoPostal', 'codi postal', 'codis postals', -1),
  ('Clientes', 'Telefono', 'telèfon', 'telèfons', -1),
  ('Clientes', 'Email', 'correu electrònic', 'correus electrònics', -1),
  ('Clientes', 'FechaAlta', 'data d''alta', 'dates d''alta', 0),
  ('Clientes', 'LimiteCredito', 'límit de crèdit', 'límits de crèdit', -1),
  ('Clientes', 'Vip', 'condició de vip', 'condicions de vip', 0),

  ('Empleados', 'IdEmpleado', 'codi d''empleat', 'codis d''empleat', -1),
  ('Empleados', 'Nombre', 'nom', 'noms', -1),
  ('Empleados', 'Apellidos', 'cognom', 'cognoms', -1),
  ('Empleados', 'Cargo', 'càrrec', 'càrrecs', -1),
  ('Empleados', 'FechaContrato', 'data de contracte', 'dates de contracte', 0),
  ('Empleados', 'Sueldo', 'sou', 'sous', -1),
  ('Empleados', 'Comision', 'percentatge de comissió', 'percentatges de comissió', -1),

  ('Pedidos', 'IdPedido', 'número de comanda', 'números de comanda', -1),
  ('Pedidos', 'IdCliente', 'codi de client', 'codis de client', -1),
  ('Pedidos', 'IdEmpleado', 'codi d''empleat', 'codis d''empleat', -1),
  ('Pedidos', 'FechaPedido', 'data de comanda', 'dates de comanda', 0),
  ('Pedidos', 'FechaEnvio', 'data d''enviament', 'dates d''enviament', 0),
  ('Pedidos', 'FormaPago', 'forma de pagament', 'formes de pagament', 0),
  ('Pedidos', 'GastosEnvio', 'cost d''enviament', 'costos d''enviament', -1),
  ('Pedidos', 'Pagado', 'estat de pagament', 'estats de pagament', -1),
  ('Pedidos', 'Observaciones', 'observació', 'observacions', 0),

  ('Lineas Pedido', 'IdPedido', 'número de comanda', 'números de comanda', -1),
  ('Lineas Pedido', 'NumLinea', 'número de línia', 'números de línia', -1),
  ('Lineas Pedido', 'IdProducto', 'codi de producte', 'codis de producte', -1),
  ('Lineas Pedido', 'Cantidad', 'quantitat', 'quantitats', 0),
  ('Lineas Pedido', 'PrecioUnidad', 'preu per unitat', 'preus per unitat', -1),
  ('Lineas Pedido', 'Descuento', 'percentatge de descompte', 'percentatges de descompte', -1),

  ('Devoluciones', 'IdDevolucion', 'codi de devolució', 'codis de devolució', -1),
  ('Devoluciones', 'IdPedido', 'número de comanda', 'números de comanda', -1),
  ('Devoluciones', 'NumLinea', 'número de línia', 'números de línia', -1),
  ('Devoluciones', 'FechaHora', 'data i hora', 'dates i hores', 0),
  ('Devoluciones', 'Unidades', 'nombre d''unitats', 'nombres d''unitats', -1),
  ('Devoluciones', 'Motivo', 'motiu', 'motius', -1),
  ('Devoluciones', 'Importe', 'import', 'imports', -1),
  ('Devoluciones', 'Reembolsado', 'estat de reemborsament', 'estats de reemborsament', -1);

INSERT INTO RelacionesVa (Nombre, Traduccion, Traduccion2, NoConcatenar, NoConcatenar2) VALUES
  ('CategoriasProductos', 'que inclouen', 'de', 0, 0),
  ('ClientesPedidos', 'que han fet', 'fetes per clients', 0, -1),
  ('EmpleadosPedidos', 'que han atés', 'ateses per', 0, 0),
  ('Lineas PedidoDevoluciones', 'amb devolucions', 'de', -1, 0),
  ('PedidosLineas Pedido', 'que tenen', 'de', 0, 0),
  ('ProductosLineas Pedido', 'que apareixen en', 'de', 0, 0),
  ('ProveedoresProductos', 'que subministren', 'subministrats per', 0, 0);

-- Bulletin "Tema 1": selections, joins, groups and subqueries on the shop.
INSERT INTO CabBoletines (Nombre) VALUES ('Tema 1');

INSERT INTO LBoletines (NombreBoletin, NumPregunta, Pregunta, Respuesta) VALUES
  ('Tema 1', 1,
   'Obtener el nombre, los apellidos y la ciudad de los clientes de la provincia de Valencia.',
   'Select Nombre, Apellidos, Ciudad from Clientes where Provincia = ''Valencia'''),
  ('Tema 1', 2,
   'Mostrar el nombre y el precio de los productos que cuestan entre 10 y 20 euros, ambos incluidos.',
   'Select Nombre, Precio from Productos where Precio between 10 and 20'),
  ('Tema 1', 3,
   '¿Cuántos pedidos se han pagado con tarjeta?',
   'Select Count(*) from Pedidos where FormaPago = ''Tarjeta'''),
  ('Tema 1', 4,
   'Obtener el número, la fecha y la forma de pago de los pedidos hechos en el primer trimestre de 2024.',
   'Select IdPedido, FechaPedido, FormaPago from Pedidos where FechaPedido between #01/01/2024# and #03/31/2024#'),
  ('Tema 1', 5,
   'Obtener el número y la fecha de los pedidos que todavía no se han enviado.',
   'Select IdPedido, FechaPedido from Pedidos where FechaEnvio is null'),
  ('Tema 1', 6,
   'Mostrar el nombre de los productos de la categoría Bebidas junto con el nombre de su proveedor.',
   'Select Productos.Nombre, Proveedores.Nombre from Categorias, Productos, Proveedores where Categorias.IdCategoria = Productos.IdCategoria and Proveedores.IdProveedor = Productos.IdProveedor and Categorias.Nombre = ''Bebidas'''),
  ('Tema 1', 7,
   'Para cada pedido, obtener su número y su importe sin descuentos, es decir, la suma de la cantidad por el precio por unidad de todas sus líneas.',
   'Select IdPedido, Sum(Cantidad * PrecioUnidad) from [Lineas Pedido] group by IdPedido'),
  ('Tema 1', 8,
   'Obtener, sin repetir, el nombre y los apellidos de los clientes que han comprado alguna vez el producto «Aceite de oliva virgen extra 1 l».',
   'Select Distinct Clientes.Nombre, Clientes.Apellidos from Clientes, Pedidos, [Lineas Pedido], Productos where Clientes.IdCliente = Pedidos.IdCliente and Pedidos.IdPedido = [Lineas Pedido].IdPedido and Productos.IdProducto = [Lineas Pedido].IdProducto and Productos.Nombre = ''Aceite de oliva virgen extra 1 l'''),
  ('Tema 1', 9,
   '¿Qué productos no se han vendido nunca? Mostrar su nombre.',
   'Select Nombre from Productos where not exists (Select * from [Lineas Pedido] where [Lineas Pedido].IdProducto = Productos.IdProducto)'),
  ('Tema 1', 10,
   'Mostrar el número, la fecha y los gastos de envío de los pedidos cuyos gastos de envío superan la media de los gastos de envío de todos los pedidos.',
   'Select IdPedido, FechaPedido, GastosEnvio from Pedidos where GastosEnvio > (Select Avg(GastosEnvio) from Pedidos)'),
  ('Tema 1', 11,
   'Obtener el nombre y los apellidos de los clientes que han hecho más de 4 pedidos y cuántos pedidos ha hecho cada uno.',
   'Select Clientes.Nombre, Clientes.Apellidos, Count(*) from Clientes, Pedidos where Clientes.IdCliente = Pedidos.IdCliente group by Clientes.IdCliente, Clientes.Nombre, Clientes.Apellidos having Count(*) > 4'),
  ('Tema 1', 12,
   'Mostrar la fecha y hora, el motivo y las unidades de cada devolución, con el nombre del producto devuelto.',
   'Select Devoluciones.FechaHora, Devoluciones.Motivo, Devoluciones.Unidades, Productos.Nombre from Devoluciones, [Lineas Pedido], Productos where [Lineas Pedido].IdPedido = Devoluciones.IdPedido and [Lineas Pedido].NumLinea = Devoluciones.NumLinea and Productos.IdProducto = [Lineas Pedido].IdProducto'),
  ('Tema 1', 13,
   '¿Cuántos pedidos ha atendido cada empleado? Mostrar su nombre, sus apellidos y el número de pedidos.',
   'Select Empleados.Nombre, Empleados.Apellidos, Count(*) from Empleados, Pedidos where Empleados.IdEmpleado = Pedidos.IdEmpleado group by Empleados.IdEmpleado, Empleados.Nombre, Empleados.Apellidos');
