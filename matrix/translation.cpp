// The translation hook of the core and the formatting its translated texts need.
#include "translation.h"

#include <cstdarg>
#include <cstdio>

TextTranslator text_translator = nullptr;

// `text` in the chosen language.
const char *tr(const char *text)
{
    if (!text_translator || !text || !text[0])
        return text; // gettext("") would give the catalog's header
    return text_translator(text);
}

// A printf-style text built into a string.
std::string format_text(const char *format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return text;
}
