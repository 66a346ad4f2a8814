// The publisher's texts shown on the About tab.
#pragma once

namespace windows {

constexpr const char* kAboutProgramInfo =
    "For Windows \xC2\xA9 95, Windows \xC2\xA9 98, Windows \xC2\xA9 NT, Windows \xC2\xA9 XP\r\n"
    "Windows \xC2\xA9 2000\r\n"
    "Orvane Software Solutions \xC2\xA9 2004";

constexpr const char* kAboutAddress =
    "Orvane Software Solutions\r\n"
    "14 Lantern Wharf\r\n"
    "Easthaven EH4 2QT\r\n"
    "United Kingdom\r\n"
    "Tel: +44 20 7946 0813\r\n"
    "Fax: +44 20 7946 0814";

constexpr const char* kAboutLegalNotice =
    "Warning: this computer program is protected by copyright law and international treaties. "
    "Unauthorised reproduction or distribution of this program, or any portion of it, may result "
    "in severe civil and criminal penalties.";

}  // namespace windows
