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
    };

    // Shows a modal box and returns the button pressed. An empty title means the
    // program's own title, "Varelio".
    static QMessageBox::StandardButton show(const QString& text, const QString& title = {},
                                            QMessageBox::Icon icon = QMessageBox::NoIcon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

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
