#pragma once
// Busy window shown while a long step runs (writing a document): what is being
// done and how far it has got. Created anew for each use, shown non-modally.
#include <QWidget>

#include <memory>

class QLabel;
class QProgressBar;

namespace Ui {
class frmProgresoGeneral;
}

class frmProgresoGeneral : public QWidget {
    Q_OBJECT
public:
    explicit frmProgresoGeneral(QWidget* parent = nullptr);
    ~frmProgresoGeneral() override;

    QLabel* lblAccion;
    QProgressBar* prgBar;

private:
    std::unique_ptr<Ui::frmProgresoGeneral> ui_;
};
