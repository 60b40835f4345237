// The four-line banner that opens the report of every option run.
#pragma once

#include <ctime>
#include <string>

// Banner 1 (62 characters wide) or 2 (70), for the current option, as text.
std::string bannertext(int which, const std::string& word, const std::string& title, std::time_t now);
