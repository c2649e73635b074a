#include "MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QQueue>

namespace {
bool g_testMode = false;
QQueue<QMessageBox::StandardButton> g_answers;
QList<MessageBox::Shown> g_shown;
}

QMessageBox::StandardButton MessageBox::show(const QString& text, const QString& title,
                                             QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons)
{
    const QString caption = title.isEmpty() ? programTitle() : title;
    if (g_testMode) {
        g_shown.append({text, caption, icon, buttons});
        if (!g_answers.isEmpty())
            return g_answers.dequeue();
        if (buttons & QMessageBox::Ok)
            return QMessageBox::Ok;
        if (buttons & QMessageBox::Cancel)
            return QMessageBox::Cancel;
        return QMessageBox::No;
    }
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    box.setAccessibleName(caption);
    // The program speaks Spanish whatever the system's language.
    const std::pair<QMessageBox::StandardButton, const char*> textos[] = {
        {QMessageBox::Ok, "Aceptar"}, {QMessageBox::Yes, "Sí"}, {QMessageBox::No, "No"},
        {QMessageBox::Cancel, "Cancelar"}};
    for (const auto& [boton, texto] : textos)
        if (QAbstractButton* b = box.button(boton))
            b->setText(QString::fromUtf8(texto));
    // The mouse pointer may be an hourglass while a long step runs; the box needs the arrow.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (busy)
        QApplication::restoreOverrideCursor();
    return answer;
}

void MessageBox::setTestMode(bool on) { g_testMode = on; }
bool MessageBox::testMode() { return g_testMode; }
void MessageBox::queueAnswer(QMessageBox::StandardButton answer) { g_answers.enqueue(answer); }
const QList<MessageBox::Shown>& MessageBox::shown() { return g_shown; }
void MessageBox::clear()
{
    g_shown.clear();
    g_answers.clear();
}
