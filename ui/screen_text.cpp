#include "ui/screen_text.h"

#include "keydata/charset.h"

#include <QList>

namespace ptu {

QString shown(const State& st, const std::string& bytes)
{
    QString out;
    out.reserve(qsizetype(bytes.size()));
    for (unsigned char b : bytes) {
        const char32_t c = screenChar(st.loc.tset, b);
        if (c < 0x10000) out += QChar(char16_t(c));
        else out += QString::fromUcs4(&c, 1);
    }
    return out;
}

std::string keyBytes(const State& st, const QString& text, std::u32string* refused)
{
    const QList<uint> ucs4 = text.toUcs4();
    const std::u32string chars(ucs4.begin(), ucs4.end());
    KeyText k = keyText(st.loc.tset, chars);
    if (refused) *refused = std::move(k.refused);
    return std::move(k.bytes);
}

}  // namespace ptu
