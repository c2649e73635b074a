#include "shell/frmProgreso.h"
#include "ui_frmProgreso.h"

#include "shell/MessageBox.h"
#include "shell/ModCargaFicheros.h"
#include "shell/ModGeneral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

frmProgreso::frmProgreso(QWidget* parent) : QDialog(parent)
{
    Ui::frmProgreso ui; // the layout; the window keeps the controls it needs
    ui.setupUi(this);
    Label1 = ui.Label1;
    lblTitulo = ui.lblTitulo;
    prg = ui.prg;
    cmdContinuar = ui.cmdContinuar;
    // The title carries the version, which only the program knows.
    setWindowTitle(QLatin1Char(' ') + ModGeneral::VersionPrograma());

    connect(cmdContinuar, &QPushButton::clicked, this, &QDialog::close);
}

void frmProgreso::Mostrar()
{
    static QPointer<frmProgreso> instancia;
    if (!instancia)
        instancia = new frmProgreso;
    instancia->exec();
}

void frmProgreso::showEvent(QShowEvent* evento)
{
    AjustarAPantalla();
    QDialog::showEvent(evento);
    terminado_ = false;
    cmdContinuar->setEnabled(false);
    // Fill once the window is on screen, from the dialog's own event loop.
    QMetaObject::invokeMethod(this, &frmProgreso::Cargar, Qt::QueuedConnection);
}

void frmProgreso::AjustarAPantalla()
{
    const QScreen* pantalla = screen();
    if (!pantalla)
        return;
    // Room for a title bar and borders, which the window manager adds later.
    const int linea = fontMetrics().height();
    const QRect disponible = pantalla->availableGeometry().marginsRemoved(QMargins(4, 2 * linea + 4, 4, 4));
    const QSize tam = sizeHint().expandedTo(minimumSizeHint()).boundedTo(disponible.size());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, tam, disponible));
}

void frmProgreso::subir(int veces, bool mostrar)
{
    for (int i = 0; i < veces; ++i)
        prg->setValue(prg->value() + 30);
    if (mostrar) {
        repaint();
        QCoreApplication::processEvents();
    }
}

void frmProgreso::Cargar()
{
    if (terminado_ || !isVisible())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ResultadoCon<QString> texto = ModCargaFicheros::LeerFicheroTexto(QStringLiteral("FicheroTexto.txt"));
    if (!texto) {
        QApplication::restoreOverrideCursor();
        terminado_ = true;
        MessageBox::show(
            QStringLiteral("Error en línea 0.") + texto.motivo + QLatin1Char(' ') + QString::number(texto.numero));
        close();
        return;
    }
    lblTitulo->setText(texto.valor.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setWindowTitle(QLatin1Char(' ') + ModGeneral::VersionPrograma());
    prg->setMaximum(660);
    prg->setValue(0);
    subir(2, true);
    subir(1, true);
    subir(4, true);
    subir(7, true);
    subir(4, false);
    prg->setValue(prg->value() + 2); // the bar now stands at 542
    terminado_ = true;
    QApplication::restoreOverrideCursor();
    prg->setValue(prg->maximum());
    cmdContinuar->setEnabled(true);
    cmdContinuar->setFocus();
}

void frmProgreso::reject()
{
    if (terminado_)
        QDialog::reject();
}

void frmProgreso::closeEvent(QCloseEvent* evento)
{
    if (terminado_)
        QDialog::closeEvent(evento);
    else
        evento->ignore();
}
