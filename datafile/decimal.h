// Decimal numbers in text, by one rule for every reader of the suite.
#pragma once

// The longest leading decimal number of a NUL-terminated text: white space,
// an optional sign, digits with an optional decimal point (at least one
// digit), an optional exponent.  0 when there is none, so "0x1" reads 0 and
// "inf" or "nan" read 0.  *stop is set past the number (to text when none).
double leadingdecimal(const char* text, const char** stop);
// The same for a whole value (a typed parameter): the number it begins with.
inline double decimalvalue(const char* text) {
    const char* stop;
    return leadingdecimal(text, &stop);
}
