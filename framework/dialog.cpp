#include "framework/dialog.h"

#include "framework/paramspec.h"
#include "framework/registry.h"

std::vector<DialogRow> dialogrows() {
    int option = g_registry.current_option;
    int n = g_registry.table.param_count[option];
    splitspec(g_registry.table.param_spec[option].c_str(), n);
    std::vector<DialogRow> rows;
    for (int r = 1; r <= n; ++r) {
        Descriptor d = readdescriptor(g_registry.descriptors[r]);
        DialogRow row;
        row.shortlabel = shortlabel(g_registry.labels[r]);
        row.longlabel = g_registry.labels[r];
        row.type = d.type;
        if (d.type == "bin" || d.type == "text") row.extension = d.field2;
        rows.push_back(row);
    }
    return rows;
}

std::string dialogtitle() { return optiontitle(g_registry.current_option).substr(0, 255); }
