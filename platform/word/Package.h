#pragma once
// An Open Packaging Conventions (zip) package held in memory: its parts by name,
// read and written with libzip.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace Word::detail {

class Package {
public:
    // Reads every part of the zip file; throws Error (FileNotFound, BadDocument).
    static Package read(const QString& path);
    static Package fromBytes(const QByteArray& bytes);
    // The zip file of all parts, "[Content_Types].xml" first.
    QByteArray toBytes() const;

    bool has(const QString& name) const;
    QByteArray part(const QString& name) const; // empty when absent
    void setPart(const QString& name, const QByteArray& data);
    QStringList names() const;

private:
    std::vector<std::pair<QString, QByteArray>> parts_;
};

// Part names inside a package: "word/_rels/document.xml.rels" for "word/document.xml",
// and a relationship target resolved against the folder of its source part.
QString relsPartOf(const QString& partName);
QString resolveTarget(const QString& sourcePart, const QString& target);

} // namespace Word::detail
