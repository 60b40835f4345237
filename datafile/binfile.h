// Binary table files: the suite's exchange format for numeric tables.
//
// Layout of a table of R rows and C columns (R, C from 0 to 999999):
//   offset 0           4*R*C bytes: IEEE 754 binary32 little-endian values,
//                      row after row (all of row 1, then row 2, ...)
//   offset 4*R*C       "\r\n" + R as six zero-padded digits + "\r\n"
//                      + C as six zero-padded digits + "\r\n"   (18 bytes)
// There is no header: readers find the counts in the last 16 bytes.  The
// trailer's CR LF bytes are written explicitly, so files are identical on
// every platform.  Values are computed as doubles and rounded to the nearest
// float when written.
//
// A table is written either by ecrmat, or by ouvecr(mode 'b') + writescal per
// value + closebin + writedims.  Until its trailer is written a table is
// "pending": if the run fails or is abandoned, abandon_outputs() removes it so
// that no partial table is left looking valid.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "datafile/arrays.h"

// Largest row or column count a six-digit trailer can hold.
const int kMaxTableCount = 999999;

void ouvecr(const char* name, std::FILE*& f, char mode);
void ouvlec(const char* name, std::FILE*& f, char mode);
void writescal(double x, std::FILE* f);
void writedims(const char* name, int rows, int cols);
void ecrmat(DMatrix m, const char* name);
void readdims(const char* name, int& rows, int& cols);
void checkbin(const char* name);
void readvec(DVector v, std::FILE* f);
void selectcol(const char* name, DVector v, int numcol);

// Closes a stream opened by ouvecr or ouvlec and sets it to null.  A failed
// close of an output (its buffered data could not be written) removes the
// unfinished table and ends in fatalerror(failtext).
void closebin(std::FILE*& f, const char* failtext);
// Closes an input stream opened by ouvlec when the reader's scope ends,
// also when a fatal error abandons the run.
struct InputCloser {
    std::FILE*& f;
    ~InputCloser() { closebin(f, ""); }
};
// Closes and removes every table whose trailer has not been written, and
// the temporary files of the run's staged outputs (datafile/staging.h).
void abandon_outputs();
// abandon_outputs, and every table still open for reading closed and
// forgotten: the state of the binary tables as at the start of the process.
void resetbinfiles();

// Where the data region of a table opened by ouvlec ends (its size less
// the 18-byte trailer; 0 for a stream ouvlec did not open).  Measured once,
// when the table is opened.
long long tabledataend(std::FILE* f);

// Encoding of one value as it is stored in a table file.
void encodescal(double x, unsigned char out[4]);
// encodescal for n consecutive values.
void encoderow(const double* x, std::size_t n, unsigned char* out);

// The one decoding of stored values: four little-endian bytes to a float
// (compilers make the loop one load on a little-endian host).
inline float decodefloat(const unsigned char in[4]) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
inline double decodescal(const unsigned char in[4]) { return decodefloat(in); }
// n stored values at bytes decoded to floats in the same memory (the
// bytes of value i become values[i]).
void decoderow(float* values, std::size_t n);
