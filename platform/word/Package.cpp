#include "platform/word/Package.h"

#include "platform/word/Error.h"

#include "shell/EscrituraSegura.h"

#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace Word::detail {

namespace {

// A document package is small; anything far larger is refused rather than
// unpacked into memory.
constexpr qint64 MaxUnpackedBytes = 256ll * 1024 * 1024;

[[noreturn]] void badDocument(const QString& what)
{
    throw Error(
        ErrorCode::BadDocument, QStringLiteral("El archivo no es un documento válido o está dañado (%1).").arg(what));
}

struct ZipCloser {
    zip_t* zip;
    ~ZipCloser()
    {
        if (zip)
            zip_discard(zip);
    }
};

} // namespace

Package Package::read(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw Error(ErrorCode::FileNotFound, QStringLiteral("No se encuentra el archivo \"%1\".").arg(path));
    QByteArray bytes;
    if (const int error = LeerFicheroRegular(path, MaxUnpackedBytes, bytes); error != 0)
        throw Error(ErrorCode::BadDocument,
            QStringLiteral("No se puede abrir el archivo \"%1\": %2.").arg(path, MotivoError(error)));
    return fromBytes(bytes);
}

Package Package::fromBytes(const QByteArray& bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source)
        badDocument(QString::fromUtf8(zip_error_strerror(&error)));
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!zip) {
        QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        badDocument(why);
    }
    ZipCloser closer{zip};
    Package package;
    qint64 total = 0;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &st) != 0)
            badDocument(QStringLiteral("entrada ilegible"));
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(u'/'))
            continue;
        total += qint64(st.size);
        if (total > MaxUnpackedBytes)
            badDocument(QStringLiteral("demasiado grande"));
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t* entry = zip_fopen_index(zip, zip_uint64_t(i), 0);
        if (!entry)
            badDocument(name);
        const zip_int64_t got = zip_fread(entry, data.data(), st.size);
        zip_fclose(entry);
        if (got != zip_int64_t(st.size))
            badDocument(name);
        package.parts_.emplace_back(name, std::move(data));
    }
    if (!package.has(QStringLiteral("[Content_Types].xml")))
        badDocument(QStringLiteral("sin tipos de contenido"));
    return package;
}

QByteArray Package::toBytes() const
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    if (!zip) {
        if (buffer)
            zip_source_free(buffer);
        throw Error(ErrorCode::CannotSave, QStringLiteral("No se puede componer el documento."));
    }
    zip_source_keep(buffer);

    auto add = [&](const QString& name, const QByteArray& data) {
        zip_source_t* s = zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index = s ? zip_file_add(zip, name.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (s)
                zip_source_free(s);
            return false;
        }
        // Pictures are compressed already.
        const bool media = name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
            || name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive)
            || name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
        zip_set_file_compression(zip, zip_uint64_t(index), media ? ZIP_CM_STORE : ZIP_CM_DEFLATE, media ? 0 : 6);
        return true;
    };
    bool ok = true;
    const QString contentTypes = QStringLiteral("[Content_Types].xml");
    for (const auto& [name, data] : parts_)
        if (name == contentTypes)
            ok = ok && add(name, data);
    for (const auto& [name, data] : parts_)
        if (name != contentTypes)
            ok = ok && add(name, data);
    if (!ok || zip_close(zip) != 0) {
        if (!ok)
            zip_discard(zip);
        zip_source_free(buffer);
        throw Error(ErrorCode::CannotSave, QStringLiteral("No se puede componer el documento."));
    }

    QByteArray out;
    if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        out.resize(qsizetype(size));
        if (zip_source_read(buffer, out.data(), zip_uint64_t(size)) != size)
            out.clear();
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    if (out.isEmpty())
        throw Error(ErrorCode::CannotSave, QStringLiteral("No se puede componer el documento."));
    return out;
}

bool Package::has(const QString& name) const
{
    for (const auto& p : parts_)
        if (p.first == name)
            return true;
    return false;
}

QByteArray Package::part(const QString& name) const
{
    for (const auto& p : parts_)
        if (p.first == name)
            return p.second;
    return {};
}

void Package::setPart(const QString& name, const QByteArray& data)
{
    for (auto& p : parts_)
        if (p.first == name) {
            p.second = data;
            return;
        }
    parts_.emplace_back(name, data);
}

QStringList Package::names() const
{
    QStringList out;
    for (const auto& p : parts_)
        out << p.first;
    return out;
}

QString relsPartOf(const QString& partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return partName.left(slash + 1) + QStringLiteral("_rels/") + partName.mid(slash + 1) + QStringLiteral(".rels");
}

QString resolveTarget(const QString& sourcePart, const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = sourcePart.split(u'/');
    parts.removeLast();
    for (const QString& piece : target.split(u'/')) {
        if (piece == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (piece != QLatin1String(".") && !piece.isEmpty())
            parts << piece;
    }
    return parts.join(u'/');
}

} // namespace Word::detail
