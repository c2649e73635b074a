#include "form/DatosDesdeFormulario.h"

#include "form/frmSolicitudes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace DatosCodigo {

Valores DatosDesdeFormulario(const frmSolicitudes& f)
{
    Valores v;
    v.dni = f.txtDNI->text();
    v.apellidos = f.txtApellidos->text();
    v.nombre = f.txtNombre->text();
    v.fechaNacimiento = f.txtFechaNac->text();
    v.nacionalidad = f.txtNacionalidad->text();
    v.telefono = f.txtTfno->text();
    v.direccion = f.txtDireccion->text();
    v.municipio = f.txtMunicipio->text();
    v.provincia = f.txtProvincia->text();
    v.codigoPostal = f.txtCP->text();
    v.titulacion = f.txtTitulacion->text();
    for (std::size_t i = 0; i < v.areas.size(); ++i)
        v.areas[i] = f.txtArea[i]->text();
    v.medico = f.optCategoria[0]->isChecked();
    for (std::size_t i = 0; i < v.documentos.size(); ++i)
        v.documentos[i] = f.chkDocu[i]->checkState() == Qt::Checked;
    v.otros = f.txtOtros->text();
    v.ciudad = f.txtCiudad->text();
    v.dia = f.txtDia->text();
    v.mes = f.txtMes->text();
    v.anio = f.txtAño->text();
    return v;
}

} // namespace DatosCodigo
