#include "AllocationWatch.h"
#include "TestEnvironment.h"

#include "net/DataFile.h"

#include <zlib.h>

#include <random>

using namespace vantor;

namespace {

class DataFileTest : public vantor::testing::CoreTest
{
protected:
    std::string path(const std::string &name) const { return root() + "/" + name; }
};

// The stored form made by hand, without the checks of pack().
std::string rawPack(const std::string &text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(text.data()),
             static_cast<uLong>(text.size()));
    out.resize(size);
    for (char &c : out)
        c = static_cast<char>(static_cast<unsigned char>(c) - 1);
    return out;
}

std::string randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char &c : bytes)
        c = static_cast<char>(random() & 0xff);
    return bytes;
}

std::string get(const std::string &text, const std::string &section, const std::string &key)
{
    std::string value = "stale";
    if (!DataFile::value(text, section, key, value)) {
        EXPECT_EQ(value, "") << section << "." << key;
        return "<missing>";
    }
    return value;
}

} // namespace

TEST_F(DataFileTest, PackedFileLoadsBackByteForByte)
{
    const std::string text = "SYSTEM.active=1\r\nAltaVista.SERVER=www.altavista.de\r\nX.Y=\xe4\xf6\xfc\xdf \x80\r\n";
    std::string stored;
    ASSERT_TRUE(DataFile::pack(text, stored));
    EXPECT_EQ(stored, rawPack(text)); // every byte of the zlib stream lowered by one

    writeFile(path("submit_d.dat"), stored);
    std::string loaded;
    EXPECT_EQ(DataFile::loadFile(path("submit_d.dat"), loaded), DataFile::Load::Ok);
    EXPECT_EQ(loaded, text);

    // The plain zlib stream, without the shift, is no data file.
    std::string plain = stored;
    for (char &c : plain)
        c = static_cast<char>(static_cast<unsigned char>(c) + 1);
    EXPECT_FALSE(DataFile::unpack(plain, loaded));
    EXPECT_EQ(loaded, "");

    EXPECT_EQ(DataFile::loadFile(path("fehlt.dat"), loaded), DataFile::Load::Missing);
    EXPECT_EQ(DataFile::loadFile(root(), loaded), DataFile::Load::Unreadable);
}

TEST_F(DataFileTest, LookupRules)
{
    const std::string text = "XA.KEY=from XA\r\n"
                             "A.KEY=from A\r\n"
                             "A.key=lower\r\n"
                             "Q.QUOTED= \"with blanks\" \r\n"
                             "E.EQ=a=b\r\n"
                             "E.EMPTY=\r\n"
                             "junk without equals sign\r\n"
                             "L.LAST=no line end";
    EXPECT_EQ(get(text, "A", "KEY"), "from XA"); // the first occurrence, even inside another name
    EXPECT_EQ(get(text, "XA", "KEY"), "from XA");
    EXPECT_EQ(get(text, "A", "key"), "lower");
    EXPECT_EQ(get(text, "a", "KEY"), "<missing>");
    EXPECT_EQ(get(text, "Q", "QUOTED"), " \"with blanks\" ");
    EXPECT_EQ(get(text, "E", "EQ"), "a=b");
    EXPECT_EQ(get(text, "E", "EMPTY"), "");
    EXPECT_EQ(get(text, "L", "LAST"), "<missing>");
    EXPECT_EQ(get(text, "Z", "NONE"), "<missing>");
    EXPECT_EQ(get("", "A", "KEY"), "<missing>");
    // A lone LF does not end an entry.
    EXPECT_EQ(get("A.KEY=x\nB.KEY=y\r\n", "A", "KEY"), "x\nB.KEY=y");
    // Nothing behind a NUL byte is seen.
    EXPECT_EQ(get(std::string("A.KEY=x\r\n\0B.KEY=y\r\n", 20), "B", "KEY"), "<missing>");
}

TEST_F(DataFileTest, EntryAndNameLengthLimits)
{
    // "S.K=" plus the value plus CR LF: 2,047 characters fit, one more does not.
    const std::string fits = "S.K=" + std::string(DataFile::kMaxEntry - 6, 'v') + "\r\n";
    ASSERT_EQ(fits.size(), DataFile::kMaxEntry);
    EXPECT_EQ(get(fits, "S", "K"), std::string(DataFile::kMaxEntry - 6, 'v'));
    EXPECT_EQ(get("S.K=v" + fits.substr(4), "S", "K"), "<missing>");

    const std::string longKey(DataFile::kMaxName - 2, 'k'); // "S." + key + "=" is 1,024
    EXPECT_EQ(get("S." + longKey + "=v\r\n", "S", longKey), "<missing>");
    EXPECT_EQ(get("S." + longKey.substr(1) + "=v\r\n", "S", longKey.substr(1)), "v");
}

TEST_F(DataFileTest, TextMayUnpackToTenTimesItsStoredSizeAndNoMore)
{
    // A random head keeps the stream from shrinking to nothing; the run of
    // blanks behind it then moves the text size past ten times the stream
    // one byte at a time.
    const std::string head = randomBytes(200, 7);
    std::string exact;
    for (std::size_t blanks = 0; blanks < 100000 && exact.empty(); ++blanks) {
        const std::string text = head + std::string(blanks, ' ');
        const std::string stored = rawPack(text);
        if (text.size() == DataFile::kMaxExpansion * stored.size() &&
            rawPack(text + ' ').size() == stored.size())
            exact = text;
    }
    ASSERT_FALSE(exact.empty());
    std::string loaded;
    EXPECT_TRUE(DataFile::unpack(rawPack(exact), loaded));
    EXPECT_EQ(loaded, exact);
    EXPECT_FALSE(DataFile::unpack(rawPack(exact + ' '), loaded));
    EXPECT_EQ(loaded, "");

    // pack() refuses a text that would come back as such a file.
    std::string stored = "old";
    EXPECT_TRUE(DataFile::pack(exact, stored));
    EXPECT_FALSE(DataFile::pack(exact + ' ', stored));
    EXPECT_EQ(stored, "");
}

TEST_F(DataFileTest, HostileFilesFailCleanlyWithinBounds)
{
    std::string text;
    const auto loads = [&](const std::string &bytes) {
        writeFile(path("x.dat"), bytes);
        return DataFile::loadFile(path("x.dat"), text);
    };
    EXPECT_EQ(loads(""), DataFile::Load::Damaged);
    EXPECT_EQ(loads(randomBytes(100000, 1)), DataFile::Load::Damaged);
    const std::string whole = rawPack(randomBytes(3000, 2) + "A.B=c\r\n");
    EXPECT_EQ(loads(whole.substr(0, whole.size() - 5)), DataFile::Load::Damaged); // cut short

    // A bomb: 50 MB of zeros in some 50 KB. It is cut off at ten times its
    // size, and beside that buffer only the stored bytes are held.
    const std::string bomb = rawPack(std::string(50u * 1024 * 1024, '\0'));
    writeFile(path("x.dat"), bomb);
    {
        vantor::testing::AllocationPeak peak;
        EXPECT_EQ(DataFile::loadFile(path("x.dat"), text), DataFile::Load::Damaged);
        EXPECT_LE(peak.peak(), 11 * bomb.size() + 16384);
    }
    EXPECT_EQ(text, "");

    // A file beyond the limit is not even read.
    EXPECT_EQ(loads(std::string(DataFile::kMaxStoredSize + 1, 'x')), DataFile::Load::TooLarge);

    // A 2 MB line without any CR LF loads; its entry just is not there.
    const std::string line = "A.B=" + randomBytes(2u * 1024 * 1024, 3);
    std::string stored;
    ASSERT_TRUE(DataFile::pack(line, stored));
    EXPECT_EQ(loads(stored), DataFile::Load::Ok);
    EXPECT_EQ(text, line);
    EXPECT_EQ(get(text, "A", "B"), "<missing>");
}

TEST_F(DataFileTest, OutOfMemoryFailsTheLoad)
{
    std::string stored;
    ASSERT_TRUE(DataFile::pack("A.B=c\r\n" + randomBytes(20000, 4), stored));
    writeFile(path("x.dat"), stored);
    std::string text;
    vantor::testing::AllocationFailure failure(stored.size() * 5);
    EXPECT_NE(DataFile::loadFile(path("x.dat"), text), DataFile::Load::Ok);
    EXPECT_GE(failure.failures(), 1);
    EXPECT_EQ(text, "");
}

TEST_F(DataFileTest, DownloadCheckTakesOnlyWhatLoads)
{
    std::string stored;
    ASSERT_TRUE(DataFile::pack("SYSTEM.active=1\r\n" + randomBytes(30000, 5), stored));
    ASSERT_LT(stored.size(), DataFile::kMaxDownload);
    EXPECT_TRUE(DataFile::loads(stored));
    EXPECT_FALSE(DataFile::loads(""));
    EXPECT_FALSE(DataFile::loads(randomBytes(stored.size(), 6)));
    EXPECT_FALSE(DataFile::loads(std::string_view(stored).substr(0, stored.size() - 1)));
    EXPECT_FALSE(DataFile::loads(std::string_view(stored).substr(0, stored.size() / 2)));
    // What the download would keep of a bomb: its first 50,000 bytes.
    std::string flood(8u * 1024 * 1024, 'A');
    for (std::size_t i = 0; i < flood.size(); i += 32)
        flood[i] = static_cast<char>('a' + i % 23);
    const std::string bomb = rawPack(flood);
    ASSERT_GT(bomb.size(), DataFile::kMaxDownload);
    EXPECT_FALSE(DataFile::loads(std::string_view(bomb).substr(0, DataFile::kMaxDownload)));
    // Complete, but it would unpack to more than the limit allows.
    EXPECT_FALSE(DataFile::loads(rawPack(std::string(2u * 1024 * 1024, 'A'))));
}
