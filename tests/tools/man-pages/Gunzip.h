#pragma once

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

namespace vantor::manpage::testing {

// A page as man reads it: one gzip member, unpacked.
inline std::string gunzip(const std::string &packed)
{
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, 15 + 16), Z_OK);
    std::string out(1 << 20, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(stream.avail_in, 0u) << "one gzip member, nothing after it";
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

} // namespace vantor::manpage::testing
