#include "workflow/localecodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>

namespace pagewick::workflow {

namespace {

bool isUtf8(const QByteArray &charset)
{
    const QByteArray c = charset.toUpper();
    return c == "UTF-8" || c == "UTF8";
}

// Length of the UTF-8 sequence that starts with lead (1 for stray bytes).
int utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

class Converter
{
public:
    Converter(const QByteArray &to, const QByteArray &from)
        : m_cd(iconv_open(to.constData(), from.constData()))
    {
    }
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts in, calling onInvalid at each sequence the conversion refuses
    // with the bytes left from there on; onInvalid appends its replacement and
    // returns how many input bytes to skip.
    template<typename OnInvalid>
    QByteArray convert(const QByteArray &in, OnInvalid onInvalid)
    {
        QByteArray out;
        out.reserve(in.size() + in.size() / 2 + 16);
        char *src = const_cast<char *>(in.constData());
        size_t srcLeft = size_t(in.size());
        char buffer[16384];
        while (srcLeft > 0) {
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, int(dst - buffer));
            if (rc != size_t(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a truncated sequence at the end)
            const size_t skip = std::min(srcLeft, size_t(onInvalid(out, src, srcLeft)));
            src += skip;
            srcLeft -= skip;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        char *dst = buffer;
        size_t dstLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, int(dst - buffer));
        return out;
    }

private:
    iconv_t m_cd;
};

// The code point of the UTF-8 sequence at the start of bytes; 0 for a stray byte.
char32_t utf8CodePoint(const char *bytes, size_t left)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const int length = utf8SequenceLength(lead);
    if (length == 1 || size_t(length) > left)
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<unsigned char>(bytes[k]) & 0x3F);
    return code;
}

// Space characters that mean a blank to a reader: paragraph indents made of
// "&nbsp;" arrive as U+00A0.
bool isSpaceCharacter(char32_t code)
{
    return code == 0x00A0 || (code >= 0x2002 && code <= 0x200A) || code == 0x202F || code == 0x205F;
}

} // namespace

QByteArray localeCharset()
{
    const QByteArray codeset(nl_langinfo(CODESET));
    if (codeset.isEmpty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII"
        || codeset == "US-ASCII")
        return QByteArrayLiteral("UTF-8");
    return codeset;
}

QByteArray encodeForLocale(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const QByteArray charset = localeCharset();
    if (isUtf8(charset))
        return utf8;
    Converter converter(charset, "UTF-8");
    if (!converter.valid())
        return utf8;
    return converter.convert(utf8, [](QByteArray &out, const char *bytes, size_t left) {
        out.append(isSpaceCharacter(utf8CodePoint(bytes, left)) ? ' ' : '?');
        return utf8SequenceLength(static_cast<unsigned char>(bytes[0]));
    });
}

QString decodeFromLocale(const QByteArray &bytes)
{
    const QByteArray charset = localeCharset();
    if (isUtf8(charset))
        return QString::fromUtf8(bytes);
    Converter converter("UTF-8", charset);
    if (!converter.valid())
        return QString::fromUtf8(bytes);
    return QString::fromUtf8(converter.convert(bytes, [](QByteArray &out, const char *, size_t) {
        out.append("\xEF\xBF\xBD");
        return 1;
    }));
}

} // namespace pagewick::workflow
