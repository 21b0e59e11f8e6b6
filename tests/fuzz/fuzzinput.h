#pragma once

#include <QString>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstdint>

// Turns fuzzer bytes into text. Pairs of bytes become UTF-16 code units, but
// a few byte values map onto the characters the text operations care about,
// so that short inputs reach the interesting paths quickly.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(data), m_size(size)
    {
    }

    bool atEnd() const { return m_pos >= m_size; }

    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }

    // Text up to the next 0xFF byte (or the end).
    QString text()
    {
        QString s;
        while (!atEnd()) {
            const uint8_t b = byte();
            if (b == 0xFF)
                break;
            s.append(charFor(b));
        }
        return s;
    }

private:
    QChar charFor(uint8_t b)
    {
        static const char16_t table[] = {
            u'\r', u'\n', u' ', u'\x3000', u'\xA8', u'，', u'。', u',', u'.', u'-', u'_', u'>', u'<',
            u'\\', u'"', u'|', u'?', u'*', u':', u'/', u'a', u'P', u'~', u'章', u'\xD800', u'\xDC00',
        };
        constexpr int tableSize = int(sizeof table / sizeof table[0]);
        if (b < tableSize)
            return QChar(table[b]);
        if (b >= 0xF0) {
            // An arbitrary code unit from the next two bytes.
            const uint8_t hi = byte();
            const uint8_t lo = byte();
            return QChar(char16_t((hi << 8) | lo));
        }
        return QChar(char16_t(b));
    }

    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);          \
            abort();                                                                               \
        }                                                                                          \
    } while (0)
