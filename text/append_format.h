// printf-style formatting onto the end of a report text.
#pragma once

#include <string>

namespace text {

// Appends `format` filled with the arguments, as the C library's printf would write it
// (decimal point '.', whatever the locale), however long the result.
void AppendFormat(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace text
