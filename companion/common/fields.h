// Fields of one line of a text export.
//
// Fields are separated by one character (tab or comma).  A field that
// begins with a double quote runs to its closing quote, and a doubled quote
// inside it stands for one quote (RFC 4180); the quotes are not part of the
// field.  Blanks around a field are not part of it either.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits line (without its line end) into at most limit fields (the last
// one then holds the rest of its own field only: later fields are left
// unread).  Fields that needed unquoting are held in scratch.  False when a
// quoted field has no closing quote on the line (it then runs to the line
// end).
bool splitfields(std::string_view line, char sep, std::size_t limit, std::vector<std::string_view>& out,
                 std::string& scratch);

// A decimal number as the exports write it: optional sign, digits with an
// optional decimal point, optional exponent.
bool isnumber(std::string_view s);

// Lower-case letters and digits of a column name, everything else left
// out, so "Dye/Sample Peak", "Dye.Sample.Peak" and "dye sample peak" agree.
std::string columnkey(std::string_view name);
