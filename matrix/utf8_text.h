// Text in UTF-8, as names are typed and shown: counted, shortened and cut by characters, never
// in the middle of one.
#pragma once

#include <cstddef>
#include <string>

// The bytes of the character `code` in UTF-8 (one to four); "" for a code no character has.
std::string utf8_encode(int code);

// The number of characters of a UTF-8 text (a byte that continues a character is not one).
std::size_t utf8_length(const std::string &text);

// Removes the text's last character, all of its bytes; nothing when the text is empty.
void utf8_pop_back(std::string &text);

// The text when it has at most `chars` characters; else "..." and as many of its last
// characters as make `chars` in all: the end of a long path is the part that names the file.
std::string fit_text_end(const std::string &text, std::size_t chars);

// The text with every control character and every byte that is not part of a whole, valid
// UTF-8 character as "?": for a name or a line read from a file, which may hold anything.
std::string printable_text(const std::string &text);
