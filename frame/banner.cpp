#include "frame/banner.h"

#include <cstring>

#include "framework/module.h"

namespace {

const char* const kBorders[2] = {
    "*------------------------------------------------------------*",
    "*--------------------------------------------------------------------*",
};

}  // namespace

std::string bannertext(int which, const std::string& word, const std::string& title, std::time_t now) {
    const char* border = kBorders[which == 2 ? 1 : 0];
    const char* credit = which == 2 ? moduletexts().widecredit : moduletexts().credit;
    int width = static_cast<int>(std::strlen(border));
    char date[32];
    std::strftime(date, sizeof date, "%d/%m/%y  %H/%M  ", std::localtime(&now));
    std::string left = "| " + word + ": " + title.substr(0, 255);
    int fill = (width - 1) - static_cast<int>(left.size()) - static_cast<int>(std::strlen(date));
    if (fill >= 1) left.append(static_cast<std::size_t>(fill), ' ');
    return std::string(border) + "\n" + credit + "\n" + left + date + "|\n" + border + "\n";
}
