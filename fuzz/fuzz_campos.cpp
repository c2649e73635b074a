// What a user types into the form and the sign-in dialog: the DNI check, the
// key filter of free-text and numeric boxes, the health-area preference
// numbers, the dates (birth and signing) and the barcode conversions of those
// values. Input: UTF-8 lines; the first is the DNI and the date, the next
// eleven the area boxes.
#include "fuzz/Comun.h"

#include "documents/CamposDocumento.h"
#include "documents/DatosCodigo.h"
#include "shell/FechaEspanola.h"
#include "form/ReglasCampos.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"
#include "shell/ValidaDNI.h"

#include <QLineEdit>
#include <array>

namespace {

const QString Letras = QStringLiteral("TRWAGMYFPDXBNJZSQVHLCKE");

void ComprobarDni(const QString& texto)
{
    QLineEdit campo;
    campo.setText(texto);
    MessageBox::clear();
    const bool valido = Validacion::ValidaDNI(&campo);
    const QString dni = campo.text();
    if (valido) {
        FUZZ_CHECK(dni.size() == 9);
        bool numero = false;
        const int n = dni.left(8).toInt(&numero);
        FUZZ_CHECK(numero && dni.at(8) == Letras.at(n % 23));
    }
    FUZZ_CHECK(MessageBox::shown().isEmpty()); // the check shows nothing itself
    FUZZ_CHECK(dni.size() >= 9);
}

void Teclear(const QString& texto, bool numerico)
{
    QLineEdit campo;
    for (const QChar c : texto) {
        int tecla = c.unicode();
        ModGeneral::FiltrarTecla(&campo, tecla, numerico);
        if (tecla > 0 && tecla != 13 && tecla != 8)
            campo.insert(QString(QChar(tecla)));
    }
    if (numerico) {
        // What the filter lets through is digits, hyphens and one comma.
        FUZZ_CHECK(campo.text().count(QLatin1Char(',')) <= 1);
        (void)ReglasCampos::LeerNumero(campo.text());
    }
}

void ComprobarFecha(const QString& texto)
{
    if (const auto fecha = FechaEspanola::LeerFecha(texto)) {
        FUZZ_CHECK(fecha->isValid());
        // The date reads back the same once written the usual way.
        FUZZ_CHECK(FechaEspanola::LeerFecha(fecha->toString(QStringLiteral("dd/MM/yyyy"))) == fecha);
        FUZZ_CHECK(DatosCodigo::FechaNacimiento(texto) == fecha->toString(QStringLiteral("yyyyMMdd")));
    } else {
        FUZZ_CHECK(DatosCodigo::FechaNacimiento(texto) == QLatin1String("00000000"));
    }
    const QStringList partes = texto.split(QLatin1Char('/'));
    if (partes.size() == 3)
        FUZZ_CHECK(DatosCodigo::FechaFirma(partes[0], partes[1], partes[2]).size() == 8);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    MessageBox::setTestMode(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lineas = texto.split(QLatin1Char('\n'));
    const QString primera = lineas.value(0);

    ComprobarDni(primera);
    Teclear(primera, false);
    Teclear(primera, true);
    ComprobarFecha(primera);

    std::array<QString, 11> areas;
    for (int i = 0; i < 11; ++i)
        areas[size_t(i)] = lineas.value(i + 1);
    for (int i = 0; i < 11; ++i) {
        const auto r = ReglasCampos::ComprobarPreferencia(i, areas);
        FUZZ_CHECK(r.repeticiones >= 0 && r.repeticiones <= 10);
        if (r.estado == ReglasCampos::Preferencia::Valida)
            FUZZ_CHECK(ReglasCampos::RedondearPar(*ReglasCampos::LeerNumero(areas[size_t(i)])) >= 1);
        FUZZ_CHECK(ModWord::AreaLeida(ModWord::TextoArea(areas[size_t(i)])) == areas[size_t(i)].trimmed()
            || areas[size_t(i)].trimmed() == QLatin1String("__"));
    }

    DatosCodigo::Valores v;
    v.dni = primera;
    v.apellidos = texto;
    v.fechaNacimiento = primera;
    v.areas = areas;
    v.otros = lineas.value(12);
    v.ciudad = lineas.value(13);
    const QString codigo = DatosCodigo::SustituirCaracteres(DatosCodigo::Generar(v));
    (void)codigo;
    return 0;
}
