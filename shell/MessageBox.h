#pragma once
// Every message box of the program goes through this class, so that tests can
// read what was shown and answer questions in advance instead of a person.
#include <QList>
#include <QMessageBox>
#include <QString>

class MessageBox {
public:
    struct Shown {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };

    // Shows a modal box and returns the button pressed. An empty title means the
    // program's own title, "Varelio". defaultButton is the one Enter presses
    // (NoButton: the box's own choice).
    static QMessageBox::StandardButton show(const QString& text, const QString& title = {},
        QMessageBox::Icon icon = QMessageBox::NoIcon, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Width a box needs so that a window manager's title bar shows the whole
    // title beside its buttons, for a title font with metrics fm.
    static int minimumWidth(const QString& title, const QFontMetrics& fm);

    static QString programTitle() { return QStringLiteral("Varelio"); }

    // Test seam. In test mode no window appears: each box is recorded and answered
    // with the next queued answer, or, when none is queued, with Ok if the box has
    // it, else Cancel, else No.
    static void setTestMode(bool on);
    static bool testMode();
    static void queueAnswer(QMessageBox::StandardButton answer);
    static const QList<Shown>& shown();
    static void clear(); // forgets what was shown and any queued answers
};
