// The publisher's mail and web endpoints, set when the program is built
// (CMake cache variables PINALEAF_SUPPORT_ADDRESS, PINALEAF_WEBSITE_URL and
// PINALEAF_WEBSITE_NAME).
#pragma once

#ifndef PINALEAF_SUPPORT_ADDRESS
#define PINALEAF_SUPPORT_ADDRESS "support@pinaleaf.example"
#endif
#ifndef PINALEAF_WEBSITE_URL
#define PINALEAF_WEBSITE_URL "https://www.pinaleaf.example/"
#endif
#ifndef PINALEAF_WEBSITE_NAME
#define PINALEAF_WEBSITE_NAME "Pinaleaf.example"
#endif

namespace pinaleaf {

constexpr char16_t kSupportAddress[] = u"" PINALEAF_SUPPORT_ADDRESS;
constexpr char16_t kWebsiteUrl[] = u"" PINALEAF_WEBSITE_URL;
constexpr char16_t kWebsiteName[] = u"" PINALEAF_WEBSITE_NAME;

}  // namespace pinaleaf
