#include "documents/CamposCodigo.h"

namespace CamposCodigo {

// Fields that stand for more than one form field (category, signing date) or
// none (the first) carry a name of their own.
const std::array<Descripcion, Total> Campos = {{
    {"TIPO", ""},
    {"NIF", "NIF"},
    {"PRIMERAPELLIDO", "Apellidos"},
    {"NOMBRE", "Nombre"},
    {"FECHANACIMIENTO", "Fecha de nacimiento"},
    {"NACIONALIDAD", "Nacionalidad"},
    {"TELEFONO", "Teléfono"},
    {"DOMICILIO", "Dirección"},
    {"LOCALIDAD", "Municipio"},
    {"PROVINCIA", "Provincia"},
    {"CPOSTAL", "Código postal"},
    {"TITULACION", "Titulación"},
    {"AREAAVILA", "Áreas"},
    {"AREABURGOS", "Áreas"},
    {"AREALEON", "Áreas"},
    {"AREAELBIERZO", "Áreas"},
    {"AREAPALENCIA", "Áreas"},
    {"AREASALAMANCA", "Áreas"},
    {"AREASEGOVIA", "Áreas"},
    {"AREASORIA", "Áreas"},
    {"AREAVALLADOLIDESTE", "Áreas"},
    {"AREAVALLADOLIDOESTE", "Áreas"},
    {"AREAZAMORA", "Áreas"},
    {"CATEGORIA", "Categoría"},
    {"ESPECIALISTA", "Documentos"},
    {"EXPERIENCIA", "Documentos"},
    {"CURSOS", "Documentos"},
    {"OTROS", "Otros documentos"},
    {"CIUDAD", "Ciudad"},
    {"FECHAFIRMA", "Fecha de la firma"},
}};

} // namespace CamposCodigo
