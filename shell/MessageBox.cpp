#include "shell/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QQueue>
#include <QSpacerItem>

namespace {
bool g_testMode = false;
QQueue<QMessageBox::StandardButton> g_answers;
QList<MessageBox::Shown> g_shown;
} // namespace

QMessageBox::StandardButton MessageBox::show(const QString& text, const QString& title, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    const QString caption = title.isEmpty() ? programTitle() : title;
    if (g_testMode) {
        g_shown.append({text, caption, icon, buttons, defaultButton});
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
    const std::pair<QMessageBox::StandardButton, const char*> textos[] = {{QMessageBox::Ok, "Aceptar"},
        {QMessageBox::Yes, "Sí"}, {QMessageBox::No, "No"}, {QMessageBox::Cancel, "Cancelar"}};
    for (const auto& [boton, texto] : textos)
        if (QAbstractButton* b = box.button(boton))
            b->setText(QString::fromUtf8(texto));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // The box sizes itself to its text; a title wider than that would be cut
    // short by the window manager.
    if (auto* capa = qobject_cast<QGridLayout*>(box.layout())) {
        const int ancho = minimumWidth(caption, QFontMetrics(QFontDatabase::systemFont(QFontDatabase::TitleFont)));
        capa->addItem(new QSpacerItem(ancho, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), capa->rowCount(), 0, 1,
            capa->columnCount());
    }
    // The mouse pointer may be an hourglass while a long step runs; the box needs the arrow.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (busy)
        QApplication::restoreOverrideCursor();
    return answer;
}

int MessageBox::minimumWidth(const QString& title, const QFontMetrics& fm)
{
    // Title bars draw their text larger or bolder than the dialog's and keep
    // room for the window icon and three buttons of about two lines' height.
    const int texto = fm.horizontalAdvance(title) * 5 / 4;
    const int botones = 4 * 2 * fm.height();
    return texto + botones + 2 * fm.height();
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
