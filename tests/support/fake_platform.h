// The recording fake of the platform port, for unit tests.
//
// Every box, question and pane operation is recorded as one event text
// ("info: ...", "error: ...", "close", "ask: line1|line2", ...).  Questions are
// answered from queues; an empty queue answers "cancelled" / No.
#pragma once

#include <deque>
#include <string>
#include <vector>

struct FakePlatform {
    std::vector<std::string> events;
    std::deque<std::string> answers;  // for port_ask_value; empty = cancel
    std::deque<bool> yesno;           // for port_ask_yesno; empty = No
    std::vector<std::string> menu;    // Options menu items; "-" = separator
    std::vector<int> menu_ids;
    std::string windows_folder;
    int pane_lines = 1;
    bool closing = false;  // set by the close request
    int exit_status = -1;  // set by port_exit_process
};
extern FakePlatform g_fake;

// Clears the fake and every piece of process-wide state the core keeps.
void reset_fake();
// Events of a given kind prefix, in order ("info: ", "error: ", ...).
std::vector<std::string> fake_events(const std::string& prefix);

// Thrown by the fake's port_exit_process so tests can see the status.
struct FakeExit {
    int status;
};
