#include "framework/dialog.h"

#include "base/files.h"
#include "framework/paramspec.h"
#include "framework/registry.h"

std::vector<DialogRow> dialogrows() {
    int option = g_registry.current_option;
    int n = g_registry.table.param_count[option];
    splitspec(g_registry.table.param_spec[option].c_str(), n);
    std::vector<DialogRow> rows;
    for (int r = 1; r <= n && r <= kMaxParams; ++r) {
        Descriptor d = readdescriptor(g_registry.descriptors[r]);
        DialogRow row;
        row.shortlabel = shortlabel(g_registry.labels[r]);
        row.longlabel = g_registry.labels[r];
        row.lines = labellines(g_registry.labels[r]);
        row.type = d.type;
        row.action = setaction(d.type);
        if (d.type == "bin" || d.type == "text") row.extension = d.field2;
        rows.push_back(row);
    }
    return rows;
}

std::string dialogtitle() { return optiontitle(g_registry.current_option).substr(0, 255); }

SetAction setaction(const std::string& type) {
    if (type == "bin") return SetAction::BinChooser;
    if (type == "text") return SetAction::TextChooser;
    if (type == "new") return SetAction::NewChooser;
    if (type == "int" || type == "float" || type == "string" || type == "selection") return SetAction::ValueEntry;
    return SetAction::None;
}

bool helpfirst(SetAction action) {
    return action == SetAction::BinChooser || action == SetAction::TextChooser || action == SetAction::NewChooser;
}

std::string filtertext(SetAction chooser, const std::string& extension) {
    const std::string& x = extension;
    switch (x.size()) {
        case 0:
            return "All files (*.*)|*.*|";
        case 1:
            return chooser == SetAction::BinChooser ? "Files without extension (*)|*|"
                                                    : "Files without extensions (*)|*|";
        case 2:
            // Any extension that ends with the two characters.
            return "Files with " + x + " extension (*.*" + x + ")|*.*" + x + "|";
        default:
            return "Files with " + x + " extension (*." + x + ")|*." + x + "|";
    }
}

std::string filterlist(const std::string& text) {
    std::string list = text;
    if (list.empty()) return std::string(2, '\0');
    char separator = list.back();
    for (char& c : list)
        if (c == separator) c = '\0';
    return list + '\0';
}

bool acceptchoice(SetAction chooser, const std::string& extension, const std::string& path) {
    if (chooser != SetAction::BinChooser || extension.size() != 1) return true;
    // Only the file's own name counts: a folder may have a dot in its name.
    std::size_t name = path.find_last_of("\\/");
    return path.find('.', name == std::string::npos ? 0 : name + 1) == std::string::npos;
}

std::string checkinputfiles(const std::vector<DialogRow>& rows, const std::vector<std::string>& values, int* row) {
    for (std::size_t r = 0; r < rows.size() && r < values.size(); ++r) {
        const std::string& path = values[r];
        if ((rows[r].type != "bin" && rows[r].type != "text") || path.empty()) continue;
        FileKind kind = filekind(path);
        if (kind == FileKind::regular) continue;
        if (row) *row = static_cast<int>(r) + 1;
        std::string what = kind == FileKind::missing ? "no such file: " : "not a file: ";
        return "Sorry: " + what + path + " (" + rows[r].shortlabel + ")";
    }
    return "";
}
