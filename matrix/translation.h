// The hook through which every text of the core reaches the reader in the chosen language: the
// Slovak source text unless the program points the hook at a message catalog at start-up.
#pragma once

#include <string>

// Turns a Slovak source text into the chosen language's; set once by the program at start-up
// (the message catalog's lookup), nullptr while every text stays the Slovak source text.
using TextTranslator = const char *(*)(const char *text);
extern TextTranslator text_translator; // written by the language choice, read by tr()

// `text` in the chosen language: the catalog's translation, or `text` itself when there is no
// translator or no translation. Every user-visible text literal is written as tr("...") so
// that `xgettext --keyword=tr` finds it for the template.
const char *tr(const char *text) __attribute__((format_arg(1)));

// Marks a text for the template where it cannot be translated yet (a constexpr table's entry);
// the code that shows it passes it through tr().
constexpr const char *tr_noop(const char *text)
{
    return text;
}

// A printf-style text built into a string (a translated format with its values).
std::string format_text(const char *format, ...) __attribute__((format(printf, 1, 2)));
