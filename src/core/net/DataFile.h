#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

// The maker's data files (the engine lists of the submission, the sources
// of the research): a zlib stream with every byte lowered by one, unpacking
// to a cp1252 text of "<SECTION>.<KEY>=<value>" lines ended by CR LF.
//
// Nothing here shows a message; every caller has its own words for a file
// it cannot use.
class DataFile
{
public:
    // The server sends at most this much; the download reads no more, so a
    // longer file arrives cut off and is refused as damaged.
    static constexpr std::size_t kMaxDownload = 50000;
    // Far above anything the maker ships; a larger file is refused before it
    // is read, so a stray file in Data/ cannot eat the memory.
    static constexpr std::size_t kMaxStoredSize = 8u * 1024 * 1024;
    // The text may unpack to at most this many times the stored size.
    static constexpr std::size_t kMaxExpansion = 10;
    // One entry, from its section name to the CR LF, has to fit in this.
    static constexpr std::size_t kMaxEntry = 2047;
    // "<SECTION>.<KEY>=" has to fit in this.
    static constexpr std::size_t kMaxName = 1023;

    enum class Load { Ok, Missing, Unreadable, TooLarge, Damaged };

    // Reads and unpacks a file (cp1252 path). On any failure the text is
    // empty. Memory stays within kMaxExpansion times the stored size.
    static Load loadFile(const std::string &path, std::string &text);
    static bool load(const std::string &path, std::string &text) { return loadFile(path, text) == Load::Ok; }

    // The same for bytes already in memory (a downloaded body, a test).
    // False for data that is no complete stream or unpacks to more than
    // kMaxExpansion times its size.
    static bool unpack(std::string_view stored, std::string &text);

    // The way back, for our own tools: compress, then lower every byte.
    // False when the result could not be loaded again: larger than
    // kMaxStoredSize, or compressed so well that the text is more than
    // kMaxExpansion times the packed size.
    static bool pack(std::string_view text, std::string &stored);

    // Looks up "<section>.<key>=" anywhere in the text (case-sensitive, not
    // only at a line start) and gives what follows its first '=' up to the
    // CR LF. Not found when the entry is missing, has no CR LF within its
    // first kMaxEntry characters (so a last line without one never counts),
    // or the name is longer than kMaxName. The value is emptied first and
    // taken exactly as it stands.
    static bool value(std::string_view text, std::string_view section, std::string_view key, std::string &value);

    // True when the bytes load as a data file, exactly as loadFile would
    // load them from the disk: a download has to pass this before it may
    // take the place of the file that is there.
    static bool loads(std::string_view stored);
};

} // namespace vantor
