#include "datafile/binfile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/files.h"
#include "datafile/messages.h"
#include "base/reportstream.h"
#include "datafile/staging.h"

namespace {

// Tables opened for writing whose trailer is not written yet.
struct PendingOutput {
    std::string name;
    std::FILE* stream = nullptr;  // null once closed
};
// Tables opened for reading: where their data region ends, so that a file
// shorter than its trailer claims is never read past its data.
struct OpenInput {
    std::FILE* stream;
    long long pos;
    long long end;
};
struct BinfileState {
    std::vector<PendingOutput> pending;
    std::vector<OpenInput> inputs;
};
BinfileState g_binfile;

PendingOutput* find_pending_stream(std::FILE* f) {
    for (auto& p : g_binfile.pending)
        if (f && p.stream == f) return &p;
    return nullptr;
}

// Removes a partial table, but never a device or other special file.
void remove_partial(const std::string& name) { removefile(name); }

// Inputs must be regular files: a folder cannot be read and a pipe or
// device could block for ever or never end.
bool regular_file(const char* name) { return isregularfile(name); }

OpenInput* find_input(std::FILE* f) {
    for (auto& i : g_binfile.inputs)
        if (i.stream == f) return &i;
    return nullptr;
}

void forget_input(std::FILE* f) {
    auto& v = g_binfile.inputs;
    for (std::size_t i = 0; i < v.size(); ++i)
        if (v[i].stream == f) {
            v.erase(v.begin() + static_cast<long>(i));
            return;
        }
}

void forget_pending(const std::string& name) {
    auto& v = g_binfile.pending;
    for (std::size_t i = 0; i < v.size(); ++i)
        if (v[i].name == name) {
            v.erase(v.begin() + static_cast<long>(i));
            return;
        }
}

// Gives up the output behind f: close, remove, then the fatal message.
[[noreturn]] void fail_output(std::FILE* f, const char* text) {
    PendingOutput* p = find_pending_stream(f);
    if (p) {
        std::string name = p->name;
        std::fclose(f);
        forget_pending(name);
        remove_partial(name);
    }
    fatalerror(text);
}

void open_stream(const char* name, std::FILE*& f, char mode, bool output) {
    const char* how = nullptr;
    const char* text = nullptr;
    if (mode == 'b') {
        how = output ? "wb" : "rb";
        text =
            output ? "Error: can't open binary output file (ouvecr)" : "Error: can't open binary input file (ouvlec)";
    } else if (mode == 'a') {
        how = output ? "w" : "r";
        text = output ? "Error: can't open ascii output file (ouvecr)" : "Error: can't open ascii input file (ouvlec)";
    } else {
        fatalerror(output ? "Error: wrong open mode (ouvecr)" : "Error: wrong open mode (ouvlec)");
    }
    // Whatever needs memory is done before the file is opened, so that
    // running out of memory never leaves a stream open that nothing records.
    PendingOutput entry;
    if (output && mode == 'b') {
        entry.name = name;
        g_binfile.pending.reserve(g_binfile.pending.size() + 1);
    }
    if (!output && mode == 'b') g_binfile.inputs.reserve(g_binfile.inputs.size() + 1);
    std::FILE* s = output || regular_file(name) ? openfile(name, how) : nullptr;
    if (!s) fatalerror(text);
    f = s;
    if (!output && mode == 'b') {
        // The data region ends where the 18-byte trailer begins.
        long long end = 0;
        if (std::fseek(s, 0, SEEK_END) == 0) end = std::ftell(s) - 18;
        std::fseek(s, 0, SEEK_SET);
        g_binfile.inputs.push_back({s, 0, end});
    }
    if (output && mode == 'b') {
        forget_pending(name);
        entry.stream = s;
        g_binfile.pending.push_back(std::move(entry));
    }
}

bool is_digits(const char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] < '0' || p[i] > '9') return false;
    return true;
}

bool is_line_end(const char* p) { return (p[0] == '\r' || p[0] == '\n') && (p[1] == '\r' || p[1] == '\n'); }

int six_digits(const char* p) {
    int v = 0;
    for (int i = 0; i < 6; ++i) v = v * 10 + (p[i] - '0');
    return v;
}

}  // namespace

void encodescal(double x, unsigned char out[4]) {
    float f = static_cast<float>(x);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

void decoderow(float* values, std::size_t n) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The host's own float layout is the file's: nothing to do.
    (void)values;
    (void)n;
#else
    unsigned char* b = reinterpret_cast<unsigned char*>(values);
    for (std::size_t i = 0; i < n; ++i) values[i] = decodefloat(b + 4 * i);
#endif
}

void encoderow(const double* x, std::size_t n, unsigned char* out) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The host's own float layout is the file's: a plain conversion loop.
    for (std::size_t j = 0; j < n; ++j) {
        float f = static_cast<float>(x[j]);
        std::memcpy(out + 4 * j, &f, 4);
    }
#else
    for (std::size_t j = 0; j < n; ++j) encodescal(x[j], out + 4 * j);
#endif
}

void ouvecr(const char* name, std::FILE*& f, char mode) { open_stream(name, f, mode, true); }

void ouvlec(const char* name, std::FILE*& f, char mode) { open_stream(name, f, mode, false); }

void writescal(double x, std::FILE* f) {
    unsigned char b[4];
    encodescal(x, b);
    if (std::fwrite(b, 4, 1, f) != 1) fail_output(f, "Error: can't write scalar (writescal)");
}

void closebin(std::FILE*& f, const char* failtext) {
    if (!f) return;
    std::FILE* s = f;
    f = nullptr;
    forget_input(s);
    PendingOutput* p = find_pending_stream(s);
    bool failed = std::ferror(s) != 0;
    if (std::fclose(s) != 0) failed = true;
    if (!p) return;
    p->stream = nullptr;
    if (failed) {
        std::string name = p->name;
        forget_pending(name);
        remove_partial(name);
        fatalerror(failtext);
    }
}

void writedims(const char* name, int rows, int cols) {
    if (rows < 0 || cols < 0 || rows > kMaxTableCount || cols > kMaxTableCount) {
        forget_pending(name);
        remove_partial(name);
        fatalerror("Error: more than 999999 rows or columns (writedims)");
    }
    char trailer[19];
    std::snprintf(trailer, sizeof trailer, "\r\n%06d\r\n%06d\r\n", rows, cols);
    std::FILE* f = openfile(name, "ab");
    bool ok = f && std::fwrite(trailer, 1, 18, f) == 18;
    if (f && std::fclose(f) != 0) ok = false;
    forget_pending(name);
    if (!ok) {
        remove_partial(name);
        fatalerror("Error: can't write dimensions (writedims)");
    }
}

void ecrmat(DMatrix m, const char* name) {
    int rows = tabrows(m), cols = tabcols(m);
    if (rows > kMaxTableCount || cols > kMaxTableCount) fatalerror("Error: more than 999999 rows or columns (ecrmat)");
    // Whole rows are encoded into a buffer of about 1 MiB and written in one
    // call: a row at a time costs a call (and a 4 KiB stdio write) per row.
    const std::size_t row_bytes = 4 * static_cast<std::size_t>(cols);
    const std::size_t per_block = row_bytes ? std::max<std::size_t>(1, (1u << 20) / row_bytes) : 1;
    std::vector<unsigned char> buffer(per_block * row_bytes);
    std::FILE* f = nullptr;
    ouvecr(name, f, 'b');
    for (int i = 1; i <= rows && row_bytes;) {
        std::size_t n = 0;
        for (; n < per_block && i <= rows; ++n, ++i)
            encoderow(m[i] + 1, static_cast<std::size_t>(cols), buffer.data() + n * row_bytes);
        if (std::fwrite(buffer.data(), row_bytes, n, f) != n) fail_output(f, "Error: can't write matrix (ecrmat)");
    }
    closebin(f, "Error: can't write matrix (ecrmat)");
    writedims(name, rows, cols);
}

void readdims(const char* name, int& rows, int& cols) {
    rows = 0;
    cols = 0;
    std::FILE* f = regular_file(name) ? openfile(name, "rb") : nullptr;
    if (!f) return;
    char t[16];
    bool ok = std::fseek(f, -16, SEEK_END) == 0 && std::fread(t, 1, 16, f) == 16;
    std::fclose(f);
    if (!ok || !is_digits(t, 6) || !is_line_end(t + 6) || !is_digits(t + 8, 6) || !is_line_end(t + 14)) return;
    rows = six_digits(t);
    cols = six_digits(t + 8);
}

void checkbin(const char* name) {
    int rows, cols;
    readdims(name, rows, cols);
    if (static_cast<long long>(rows) * cols == 0) {
        infobox("Sorry: invalid binary file");
        ResetReport();
    }
}

long long tabledataend(std::FILE* f) {
    const OpenInput* in = find_input(f);
    return in ? in->end : 0;
}

void readvec(DVector v, std::FILE* f) {
    int n = veclen(v);
    if (OpenInput* in = find_input(f)) {
        if (in->pos + 4LL * n > in->end) fatalerror("Error: can't read vector (readvec)");
        in->pos += 4LL * n;
    }
    unsigned char b[4];
    for (int i = 1; i <= n; ++i) {
        if (std::fread(b, 4, 1, f) != 1) fatalerror("Error: can't read vector (readvec)");
        v[i] = decodescal(b);
    }
}

void selectcol(const char* name, DVector v, int numcol) {
    checkbin(name);
    int l1, c1;
    readdims(name, l1, c1);
    DVector w = nullptr;
    VecGuard wg{w};
    vecalloc(w, c1);
    int n = veclen(v);
    if (l1 != n) fatalerror("fatal input-output error l1!=l2 (selectcol)");
    if (numcol > c1) fatalerror("fatal input-output error numcol>c1 (selectcol");
    if (numcol < 1) fatalerror("fatal input-output error numcol<1 (selectcol)");
    std::FILE* f = nullptr;
    ouvlec(name, f, 'b');
    InputCloser closer{f};
    for (int i = 1; i <= n; ++i) {
        readvec(w, f);
        v[i] = w[numcol];
    }
}

void abandon_outputs() {
    for (auto& p : g_binfile.pending) {
        if (p.stream) std::fclose(p.stream);
        remove_partial(p.name);
    }
    g_binfile.pending.clear();
    discardoutputs();
}

void resetbinfiles() {
    abandon_outputs();
    for (const OpenInput& in : g_binfile.inputs) std::fclose(in.stream);
    g_binfile.inputs.clear();
}
