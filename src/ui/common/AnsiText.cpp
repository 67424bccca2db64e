#include "common/AnsiText.h"

#include <QFile>
#include <algorithm>
#include <array>

namespace quarnel {

namespace {

// Bytes 0x80-0x9F of Windows-1252; the rest of the code page equals Latin-1. The five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) stay as the control characters.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString fromAnsi(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0)
            text.append(QChar(kHighControls[byte - 0x80]));
        else
            text.append(QChar(static_cast<char16_t>(byte)));
    }
    return text;
}

std::string toAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kHighControls.size(); ++i) {
            if (kHighControls[i] == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.push_back(mapped);
    }
    return bytes;
}

QString fromNativePath(std::string_view path) {
    // Plain ASCII reads the same in every encoding: a maps folder of thousands of names is
    // shown without decoding each one.
    if (std::all_of(path.begin(), path.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(path.data(), static_cast<qsizetype>(path.size()));
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string toNativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace quarnel
