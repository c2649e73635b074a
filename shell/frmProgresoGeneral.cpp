#include "shell/frmProgresoGeneral.h"
#include "ui_frmProgresoGeneral.h"

frmProgresoGeneral::frmProgresoGeneral(QWidget* parent)
    : QWidget(parent, Qt::Dialog), ui_(std::make_unique<Ui::frmProgresoGeneral>())
{
    ui_->setupUi(this);
    lblAccion = ui_->lblAccion;
    prgBar = ui_->prgBar;
}

frmProgresoGeneral::~frmProgresoGeneral() = default;
