#pragma once
// What the program does with a document once the word processor has opened it:
// read every form field, the text and the tables, fill a field, type into a
// cell, find and replace, lay the pages out, and save. A saved document must
// open again.
#include "fuzz/Comun.h"

#include "platform/word/DocumentData.h"
#include "platform/word/Layout.h"
#include "platform/word/Word.h"

#include <QImage>
#include <QPainter>

namespace Fuzz {

inline void RecorrerDocumento(Word::DocumentsCollection& documentos, Word::Document& doc)
{
    Word::FormFieldsCollection& campos = doc.FormFields();
    // Each field is looked up by name through the whole document, so a dozen
    // of them show as much as all sixty of a template, at a fifth of the cost.
    const QStringList nombres = campos.Names().mid(0, 12);
    for (const QString& nombre : nombres) {
        Word::FormField& campo = campos.Item(nombre);
        if (campo.IsCheckBox())
            campo.CheckBox().setValue(!campo.CheckBox().Value());
        else
            campo.setResult(campo.Result() + QStringLiteral("ñ|x"));
    }
    (void)doc.ContentText();
    for (int t = 1; t <= doc.TablesCount(); ++t) {
        Word::Table& tabla = doc.Tables(t);
        if (tabla.RowsCount() > 0) {
            tabla.Cell(1, 1).Select();
            Word::TextSelection seleccion(documentos);
            seleccion.TypeText(QStringLiteral("a\r\nb\tc"));
            (void)seleccion.Text();
        }
    }
    Word::TextSelection seleccion(documentos);
    seleccion.Find().setText(QStringLiteral("a"));
    seleccion.Find().Replacement().setText(QStringLiteral("bb"));
    seleccion.Find().Execute(2);

    const Word::detail::Rendering paginas = Word::detail::Rendering::layout(doc.data());
    if (paginas.pageCount() > 0) {
        QImage imagen(64, 64, QImage::Format_RGB32);
        QPainter pintor(&imagen);
        paginas.paintPage(pintor, 0, 0.004);
    }
}

// Opens the file, walks it, saves it and opens the saved copy. Errors the word
// processor reports (a damaged package, ...) are answers, not faults.
inline void AbrirYGuardar(const QString& ruta)
{
    QByteArray guardado;
    {
        Word::DocumentsCollection documentos;
        try {
            Word::Document& doc = documentos.Add(ruta);
            RecorrerDocumento(documentos, doc);
            guardado = doc.data().serialize();
        } catch (const Word::Error&) {
            return;
        }
    }
    Word::DocumentsCollection otra;
    try {
        otra.Add(Escribir(QStringLiteral("guardado.doc"), guardado));
    } catch (const Word::Error& e) {
        fprintf(stderr, "a saved document does not open again: %s\n", e.what());
        std::abort();
    }
}

} // namespace Fuzz
