// ParamSpec splitting and descriptor reading on arbitrary bytes, through
// the dialog rows and the run-time question.  The first byte gives the
// parameter count.
#include <cstring>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/paramspec.h"
#include "framework/registry.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    reset_fake();
    int n = 1 + data[0] % kMaxParams;
    std::string spec(reinterpret_cast<const char*>(data) + 1, size - 1);
    spec = spec.substr(0, spec.find('\0')).substr(0, 1023);
    splitspec(spec.c_str(), n);
    for (int r = 1; r <= n; ++r) {
        Descriptor d = readdescriptor(g_registry.descriptors[r]);
        if (d.type.size() > 19 || d.field2.size() > 9 || d.field3.size() > 9) std::abort();
        shortlabel(g_registry.labels[r]);
        if (labellines(g_registry.labels[r]).size() > 12) std::abort();
    }
    g_registry.table.option_count = 1;
    g_registry.table.param_count[1] = n;
    g_registry.table.param_spec[1] = spec;
    g_registry.current_option = 1;
    dialogrows();
    std::vector<char> question(spec.begin(), spec.end());
    question.push_back('\0');
    char answer[256] = "";
    g_fake.answers.push_back(std::string(300, '5'));
    askparam(question.data(), answer);
    if (std::strlen(answer) > 255) std::abort();
    return 0;
}
