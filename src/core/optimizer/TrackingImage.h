#pragma once

#include <string_view>

namespace vantor {

// The transparent 1x1 GIF89a (42 bytes) the hidden links of our pages show.
inline constexpr std::string_view kTrackingImage{
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
    "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x01\x44\x00\x3b",
    42};

} // namespace vantor
