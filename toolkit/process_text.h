#pragma once
// Where texts cross between the program and the system. The program keeps its texts in the
// process code page, which the manifest makes UTF-8, and uses the A calls; names the system
// hands over (chosen, dropped, browsed, read from a list) come through the wide calls and are
// converted here exactly or not at all, so a look-alike never stands in for a name. Systems
// that ignore the manifest keep an ANSI code page; a name outside it is refused there.
#include <optional>
#include <string>
#include <string_view>

bool ProcessCodePageIsUtf8();

// Process text as UTF-16; exact, as every process text comes from the code page.
std::wstring WideText(std::string_view text);
// The same in capitals: the text as compared with letter case ignored (paths in the queue).
std::wstring Capitals(std::string_view text);
// UTF-16 as process text, only when every character comes back unchanged: no best fit, no
// default character, no lone surrogate.
std::optional<std::string> ExactProcessText(std::wstring_view text);

// A name the system handed over, as process text; a name that cannot be one exactly is
// refused with an error box that names it.
std::optional<std::string> NameFromSystem(std::wstring_view name);
// The error box of a refused name.
void ReportUnusableName(std::wstring_view name);

// The ANSI code page of the system's locale, in which lists were saved before they were
// UTF-8; 0 when the locale has none.
unsigned LegacyAnsiCodePage();
// One line of a file list as process text: UTF-8 when it is valid UTF-8, else read in the
// legacy code page. A name the process cannot hold is refused (nothing), with the error box.
std::optional<std::string> ListLineAsProcessText(std::string_view line);
// Process text as UTF-8, the encoding lists are written in.
std::string Utf8FromProcessText(std::string_view text);
