#pragma once
// A filled application form, the same for every test of the documents.
#include "form/frmSolicitudes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

inline void Rellenar(frmSolicitudes& f)
{
    f.txtDNI->setText(QStringLiteral("12345678Z"));
    f.txtApellidos->setText(QStringLiteral("Muñoz Peña"));
    f.txtNombre->setText(QStringLiteral("José"));
    f.txtFechaNac->setText(QStringLiteral("01/02/1970"));
    f.txtNacionalidad->setText(QStringLiteral("Española"));
    f.txtTfno->setText(QStringLiteral("983123456"));
    f.txtDireccion->setText(QStringLiteral("C/ Mayor"));
    f.txtNum->setText(QStringLiteral("3"));
    f.txtPuerta->setText(QStringLiteral("2ª"));
    f.txtMunicipio->setText(QStringLiteral("Valladolid"));
    f.txtProvincia->setText(QStringLiteral("Valladolid"));
    f.txtCP->setText(QStringLiteral("47001"));
    f.txtTitulacion->setText(QStringLiteral("Medicina"));
    f.txtArea[0]->setText(QStringLiteral("3"));
    f.txtArea[1]->setText(QStringLiteral("   "));
    f.txtArea[10]->setText(QStringLiteral("11"));
    f.optCategoria[1]->setChecked(true);
    f.chkDocu[0]->setCheckState(Qt::Checked);
    f.chkDocu[3]->setCheckState(Qt::Checked);
    f.txtOtros->setText(QStringLiteral("Máster"));
    f.txtCiudad->setText(QStringLiteral("León"));
    f.txtDia->setText(QStringLiteral("7"));
    f.txtMes->setText(QStringLiteral("diciembre"));
    f.txtAño->setText(QStringLiteral("2006"));
}
