#include "fake_platform.h"

#include <filesystem>
#include <system_error>

#include "base/platform.h"
#include "frame/frame.h"
#include "support/core_reset.h"

FakePlatform g_fake;

void reset_fake() {
    reset_core_state();
    g_fake = FakePlatform{};
}

std::vector<std::string> fake_events(const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& e : g_fake.events)
        if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e.substr(prefix.size()));
    return out;
}

void port_beep() { g_fake.events.push_back("beep"); }
void port_infobox(const char* text) { g_fake.events.push_back(std::string("info: ") + text); }
void port_errorbox(const char* text) { g_fake.events.push_back(std::string("error: ") + text); }
void port_close_request() {
    g_fake.events.push_back("close");
    g_fake.closing = true;
    g_frame.closing = true;  // the close went ahead
}

bool port_ask_yesno(const char* text, const char* caption) {
    g_fake.events.push_back(std::string("yesno: ") + caption + "|" + text);
    if (g_fake.yesno.empty()) return false;
    bool a = g_fake.yesno.front();
    g_fake.yesno.pop_front();
    return a;
}

std::string port_windows_folder() { return g_fake.windows_folder; }
bool port_choose_folder_file() {
    g_fake.events.push_back("choose");
    return false;
}
int port_pane_line_count() { return g_fake.pane_lines; }
void port_pane_load(const char* path) { g_fake.events.push_back(std::string("pane: ") + path); }
void port_pane_close_file() {}
void port_pane_apply_font() {}
void port_pane_scroll(int lines) { g_fake.events.push_back("scroll: " + std::to_string(lines)); }

void port_menu_append(int command_id, const char* title) {
    g_fake.menu.push_back(title);
    g_fake.menu_ids.push_back(command_id);
}
void port_menu_append_separator() {
    g_fake.menu.push_back("-");
    g_fake.menu_ids.push_back(0);
}
std::string port_menu_item_text(int position) {
    if (position < 1 || position > static_cast<int>(g_fake.menu.size())) return "";
    const std::string& t = g_fake.menu[static_cast<std::size_t>(position - 1)];
    return t == "-" ? "" : t;
}
void port_open_param_dialog(int option) { g_fake.events.push_back("dialog: " + std::to_string(option)); }

bool port_ask_value(const char* const* lines, int line_count, char* answer) {
    std::string e = "ask: ";
    for (int i = 0; i < line_count; ++i) e += (i ? "|" : "") + std::string(lines[i]);
    g_fake.events.push_back(e);
    if (g_fake.answers.empty()) return false;
    std::string a = g_fake.answers.front().substr(0, 255);
    g_fake.answers.pop_front();
    a.copy(answer, a.size());
    answer[a.size()] = '\0';
    return true;
}

std::string port_find_file(const char* path) {
    std::error_code ec;
    std::filesystem::path p(path);
    return std::filesystem::exists(p, ec) ? p.filename().string() : std::string();
}

void port_exit_process(int status) {
    g_fake.exit_status = status;
    throw FakeExit{status};
}
