#pragma once
// SHA-256 digest of a text. Each character counts as one byte: the low 8 bits
// of its UTF-16 code unit (Latin-1 for U+0000..U+00FF, so "ñ" is 0xF1).
#include <QString>

class CSHA256 {
public:
    // 64 lower-case hexadecimal digits: the eight hash words in order.
    QString SHA256(const QString& sMessage) const;
};
