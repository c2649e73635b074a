#pragma once
// Notices that the form shows in passing (what a save did) and that a screen
// reader must speak although the focus stays where it is: a label that
// assistive technology sees as a notification, announced when it appears.
#include <QLabel>

class EtiquetaAviso : public QLabel {
    Q_OBJECT
public:
    explicit EtiquetaAviso(QWidget* parent = nullptr);
};
