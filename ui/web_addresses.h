// The web pages the main window links to: the product page, the author's
// instant-messaging contact page and the banner. One place for all three,
// so that tests can put pages of their own in.
#pragma once

#include <string>

namespace tessoral::ui {

struct WebAddresses {
    std::string product = "http://www.tessoral.example/?Tessoral";
    std::string contact =
        "http://im.tessoral.example/msgrd?v=3&uin=10000&site=tessoral&menu=yes";
    std::string banner = "http://www.tessoral.example/ads/Tessoral.html";
};

}  // namespace tessoral::ui
