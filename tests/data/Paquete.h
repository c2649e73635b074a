#pragma once
// Reads the parts of an OOXML package (a zip) for the data-file tests.
#include <zip.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

class Paquete {
public:
    explicit Paquete(const QString& ruta)
    {
        int error = 0;
        zip_ = zip_open(ruta.toLocal8Bit().constData(), ZIP_RDONLY, &error);
    }
    ~Paquete()
    {
        if (zip_)
            zip_discard(zip_);
    }
    Paquete(const Paquete&) = delete;
    Paquete& operator=(const Paquete&) = delete;

    bool abierto() const { return zip_ != nullptr; }

    // Entry names in archive order.
    QStringList partes() const
    {
        QStringList nombres;
        const zip_int64_t n = zip_ ? zip_get_num_entries(zip_, 0) : 0;
        for (zip_int64_t i = 0; i < n; ++i)
            nombres << QString::fromUtf8(zip_get_name(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW));
        return nombres;
    }

    // The bytes of one part; empty when it is missing.
    QByteArray leer(const QString& nombre) const
    {
        QByteArray datos;
        zip_stat_t st;
        const QByteArray n = nombre.toUtf8();
        if (!zip_ || zip_stat(zip_, n.constData(), 0, &st) != 0)
            return datos;
        zip_file_t* f = zip_fopen(zip_, n.constData(), 0);
        if (!f)
            return datos;
        datos.resize(static_cast<qsizetype>(st.size));
        const zip_int64_t leidos = zip_fread(f, datos.data(), st.size);
        zip_fclose(f);
        if (leidos != static_cast<zip_int64_t>(st.size))
            datos.clear();
        return datos;
    }

    // Parses one part; the result tells whether it is well-formed.
    pugi::xml_parse_result xml(const QString& nombre, pugi::xml_document& doc) const
    {
        const QByteArray datos = leer(nombre);
        return doc.load_buffer(datos.constData(), static_cast<size_t>(datos.size()));
    }

private:
    zip_t* zip_ = nullptr;
};
