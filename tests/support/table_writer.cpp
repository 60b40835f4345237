// Writes a few binary tables into the current folder, the same way on every
// platform, so that the Linux and Windows builds can be compared byte by byte.
#include <cmath>
#include <cstdio>

#include "datafile/arrays.h"
#include "datafile/binfile.h"

int main() {
    const double values[] = {0.1, 1.0 / 3.0, -2.5e-3, 16777217.0, 1e-50, 1e39, 123.456, 0.0};
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, 4, 2);
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 2; ++j) m[i][j] = values[(i - 1) * 2 + j - 1];
    ecrmat(m, "matrix.bin");
    std::FILE* f = nullptr;
    ouvecr("scalars.bin", f, 'b');
    for (int i = 1; i <= 600; ++i) writescal(std::sin(i) * 1000.0, f);
    closebin(f, "Error: can't write scalar (writescal)");
    writedims("scalars.bin", 100, 6);
    return 0;
}
