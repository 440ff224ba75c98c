#pragma once

#include <QFile>
#include <QString>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace u830::test {

// The whole embedded data file ":/FILE/<name>"; a missing one fails loudly.
inline std::string readEmbedded(const char* name)
{
    QFile file(QStringLiteral(":/FILE/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("no embedded file ") + name);
    const QByteArray data = file.readAll();
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

inline std::string readQtFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open " + path.toStdString());
    const QByteArray data = file.readAll();
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

inline std::string readDiskFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Little-endian numbers, byte by byte.
inline unsigned le16(const std::string& s, size_t at)
{
    return static_cast<unsigned char>(s.at(at)) | static_cast<unsigned char>(s.at(at + 1)) << 8;
}

inline unsigned long le32(const std::string& s, size_t at)
{
    return le16(s, at) | static_cast<unsigned long>(le16(s, at + 2)) << 16;
}

inline unsigned be16(const std::string& s, size_t at)
{
    return static_cast<unsigned char>(s.at(at)) << 8 | static_cast<unsigned char>(s.at(at + 1));
}

}  // namespace u830::test
