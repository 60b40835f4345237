#include "frame/banner.h"

#include <cstring>

namespace {

struct BannerStyle {
    const char* border;
    const char* credit;
};

const BannerStyle kBanners[2] = {
    {"*------------------------------------------------------------*",
     "|  Peakgrid - peak profiles to size classes - QOR-4 suite    |"},
    {"*--------------------------------------------------------------------*",
     "|  Peakgrid - DNA peak profiles to size-class tables - QOR-4 suite   |"},
};

}  // namespace

std::string bannertext(int which, const std::string& word, const std::string& title,
                       std::time_t now) {
    const BannerStyle& b = kBanners[which == 2 ? 1 : 0];
    int width = static_cast<int>(std::strlen(b.border));
    char date[32];
    std::strftime(date, sizeof date, "%d/%m/%y  %H/%M  ", std::localtime(&now));
    std::string left = "| " + word + ": " + title.substr(0, 255);
    int fill = (width - 1) - static_cast<int>(left.size()) - static_cast<int>(std::strlen(date));
    if (fill >= 1) left.append(static_cast<std::size_t>(fill), ' ');
    return std::string(b.border) + "\n" + b.credit + "\n" + left + date + "|\n" + b.border + "\n";
}
