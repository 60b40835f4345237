// The console front (placeholder until the frame lands).
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("peakgrid %s\n", PEAKGRID_VERSION);
        return 0;
    }
    std::printf("peakgrid %s\n", PEAKGRID_VERSION);
    return 0;
}
