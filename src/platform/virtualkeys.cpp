#include "virtualkeys.h"

namespace {

struct PunctuationKey {
    quint32 vk;
    char plain;
    char shifted;
};

constexpr PunctuationKey Keys[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'},
    {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'},  {0xDB, '[', '{'},
    {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
};

} // namespace

quint32 usVirtualKey(QChar ch)
{
    const char16_t c = ch.unicode();
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return c;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    for (const PunctuationKey& k : Keys)
        if (c == char16_t(k.plain) || c == char16_t(k.shifted))
            return k.vk;
    return 0;
}

QString punctuationKeyCharacters(quint32 vk)
{
    for (const PunctuationKey& k : Keys)
        if (k.vk == vk)
            return QString(QLatin1Char(k.plain)) + QLatin1Char(k.shifted);
    return {};
}
