#pragma once
// How a form's controls pair with a document's form fields: each control that
// carries a "Tag" property is stored in the form field of that name. The writer
// and reader see a form only through FormularioDocumento, so that they do not
// depend on the window that implements it.
#include <QList>
#include <QString>

class QLineEdit;
class QWidget;

// The form-field name that a control carries (its "Tag" property), empty for
// controls without one.
QString Tag(const QWidget* control);

// What the document writer and reader use of an application form.
class FormularioDocumento {
public:
    // Every control of the form in the form's own order.
    virtual QList<QWidget*> Controles() const = 0;
    // The DNI's box: written into the document, never read back into the form.
    virtual QLineEdit* CajaDNI() const = 0;
    // Enables or disables the commands that write the application
    // ("Imprimir", "Guardar", "Cargar otra solicitud").
    virtual void HabilitarEscritura(bool habilitar) = 0;

protected:
    ~FormularioDocumento() = default;
};

// ModWord continues in ModWord.h and BmpCodigo.h.
namespace ModWord {

// How a health-area box is written into its form field, and read back.
QString TextoArea(const QString& texto);
QString AreaLeida(const QString& resultado);

} // namespace ModWord
