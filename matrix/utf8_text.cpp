// Text in UTF-8, counted, shortened and cut by characters.
#include "utf8_text.h"

namespace
{

// True for a byte that continues a character rather than starting one.
bool continues_character(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

// The byte of UTF-8 that starts a sequence, its marker bits over the code's top bits.
char lead_byte(int marker, int code)
{
    return static_cast<char>(marker | code);
}

// A byte that continues a sequence, with six bits of the code.
char continuation_byte(int code, int shift)
{
    return static_cast<char>(0x80 | ((code >> shift) & 0x3f));
}

} // namespace

// The bytes of `code` in UTF-8.
std::string utf8_encode(int code)
{
    if (code < 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return "";
    if (code < 0x80)
        return std::string(1, static_cast<char>(code));
    if (code < 0x800)
        return {lead_byte(0xc0, code >> 6), continuation_byte(code, 0)};
    if (code < 0x10000)
        return {lead_byte(0xe0, code >> 12), continuation_byte(code, 6),
                continuation_byte(code, 0)};
    return {lead_byte(0xf0, code >> 18), continuation_byte(code, 12), continuation_byte(code, 6),
            continuation_byte(code, 0)};
}

// The number of characters of a UTF-8 text.
std::size_t utf8_length(const std::string &text)
{
    std::size_t count = 0;
    for (char byte : text)
        count += !continues_character(byte);
    return count;
}

// Removes the last character, with every byte of it.
void utf8_pop_back(std::string &text)
{
    while (!text.empty() && continues_character(text.back()))
        text.pop_back();
    if (!text.empty())
        text.pop_back();
}

// The text, or "..." and its end, in at most `chars` characters.
std::string fit_text_end(const std::string &text, std::size_t chars)
{
    if (utf8_length(text) <= chars)
        return text;
    const std::string mark = "...";
    if (chars <= mark.size())
        return mark.substr(0, chars);
    std::size_t start = text.size();
    for (std::size_t kept = 0; kept < chars - mark.size() && start > 0;) {
        start--;
        kept += !continues_character(text[start]);
    }
    while (start < text.size() && continues_character(text[start]))
        start++; // a stray continuation byte at the cut belongs to no character kept
    return mark + text.substr(start);
}

namespace
{

// The length of the UTF-8 character starting at text[at] when it is whole and valid, else 0.
std::size_t utf8_character(const std::string &text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xc2 && lead < 0xe0 ? 2
                               : lead >= 0xe0 && lead < 0xf0 ? 3
                               : lead >= 0xf0 && lead < 0xf5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    unsigned long code = length == 1 ? lead : lead & (0x7fu >> length);
    for (std::size_t k = 1; k < length; k++) {
        const unsigned char next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3fu);
    }
    const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;
    return length;
}

} // namespace

// The text with every control character and every byte that is not part of a UTF-8 character
// as "?": a file name or a line of a hand-in may hold anything.
std::string printable_text(const std::string &text)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8_character(text, at);
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (length == 0 || c < 0x20 || c == 0x7f)
            shown += '?';
        else
            shown.append(text, at, length);
        at += length == 0 ? 1 : length;
    }
    return shown;
}
