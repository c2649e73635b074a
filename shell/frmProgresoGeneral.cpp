#include "shell/frmProgresoGeneral.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

frmProgresoGeneral::frmProgresoGeneral(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmProgresoGeneral"));
    setWindowTitle(QStringLiteral("Varelio - Procesando"));
    lblAccion = new QLabel(this);
    lblAccion->setObjectName(QStringLiteral("lblAccion"));
    prgBar = new QProgressBar(this);
    prgBar->setObjectName(QStringLiteral("prgBar"));
    prgBar->setAccessibleName(QStringLiteral("Progreso"));
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(lblAccion);
    capa->addWidget(prgBar);
    setMinimumWidth(360);
}
