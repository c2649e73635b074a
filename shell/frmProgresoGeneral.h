#pragma once
// Busy window shown while a long step runs (writing a document): what is being
// done and how far it has got. Created anew for each use, shown non-modally.
#include <QWidget>

class QLabel;
class QProgressBar;

class frmProgresoGeneral : public QWidget {
    Q_OBJECT
public:
    explicit frmProgresoGeneral(QWidget* parent = nullptr);

    QLabel* lblAccion;
    QProgressBar* prgBar;
};
