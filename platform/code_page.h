// Converting 8-bit text between code pages, through UTF-16 as Windows does.
//
// The program's own texts are code page 936 whatever the system's ANSI code page; what the
// system gives through its "A" calls (paths, names) is in the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr unsigned kCodePageGbk = 936;     // the program's own texts
inline constexpr unsigned kCodePageUtf8 = 65001;  // CP_UTF8

// GetACP.
unsigned AnsiCodePage();

// MultiByteToWideChar(codePage, 0, ...): the text as UTF-16. A byte sequence that the code page
// does not define still gives a character (a replacement), never nothing. Empty for an empty
// text and for a code page the system does not have.
std::u16string ToUtf16(std::string_view text, unsigned codePage);

// WideCharToMultiByte(codePage, ...): a character that the code page lacks becomes '?', or on
// Windows a look-alike where the code page has one (':' for the full-width colon in code page
// 437; the simulated workstation knows no look-alikes). Empty for an empty text and for a code
// page the system does not have.
std::string FromUtf16(std::u16string_view text, unsigned codePage);

// The text from `codePage` to UTF-8, through UTF-16.
std::string ToUtf8(std::string_view text, unsigned codePage);

}  // namespace platform
