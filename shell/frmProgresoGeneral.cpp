#include "shell/frmProgresoGeneral.h"
#include "ui_frmProgresoGeneral.h"

frmProgresoGeneral::frmProgresoGeneral(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    Ui::frmProgresoGeneral ui; // the layout; the window keeps the controls it needs
    ui.setupUi(this);
    lblAccion = ui.lblAccion;
    prgBar = ui.prgBar;
}
