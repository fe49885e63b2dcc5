#include "pict/codecs/tiff_generic.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

// Writes down the walk as tiffdump lists a file, and checks that each
// entry's value, fetched with it or on demand, is the file's bytes at its
// value offset.
class cRecordingWalker : public cTiffGeneric {
public:
    bool OnIfd(int32_t, uint64_t offset) override
    {
        pending_ifd = offset;
        return true;
    }

    bool OnEntry(const cTiffEntry& entry) override
    {
        if (entry.tag == tiff_next_ifd_tag) {
            uint64_t link = 0;
            EXPECT_TRUE(EntryUnsigned(entry, 0, &link));
            EXPECT_EQ(entry.type, big ? tiff_long8 : tiff_long);
            lines.insert(lines.begin() + ifd_line, "ifd " + std::to_string(pending_ifd) + " " + std::to_string(link));
            ifd_line = lines.size();
            ++ifds;
            return true;
        }
        std::string line = "entry " + std::to_string(entry.tag) + " " + std::to_string(entry.type) + " " +
                           std::to_string(entry.count);
        EXPECT_EQ(entry.size, entry.count * tiff_type_size(entry.type));
        EXPECT_EQ(entry.data != nullptr, entry.size <= tiff_fetch_limit);
        cTiffEntry fetched = entry;
        EXPECT_TRUE(FetchEntryData(fetched));
        EXPECT_EQ(file.substr(size_t(entry.value_offset), size_t(entry.size)),
                  std::string(reinterpret_cast<const char*>(fetched.data), size_t(entry.size)));
        uint64_t value;
        if (entry.count <= 64 && EntryUnsigned(entry, 0, &value)) {
            for (uint64_t i = 0; EntryUnsigned(entry, i, &value); ++i)
                line += " " + std::to_string(value);
            // The same bytes at the value's offset in the file.
            EXPECT_EQ(file.substr(size_t(entry.value_offset), size_t(entry.size)),
                      std::string(reinterpret_cast<const char*>(entry.data), size_t(entry.size)));
        }
        lines.push_back(line);
        return true;
    }

    std::string file;
    std::vector<std::string> lines;
    size_t ifd_line = 0;
    uint64_t pending_ifd = 0;
    int32_t ifds = 0;  // walked to their link
};

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace

// Classic and BigTIFF files of both byte orders with several IFDs walk as
// tiffdump lists them: every IFD's offset and link, every entry's tag,
// type, count and integer values, each found again at its value offset.
// Cut anywhere before the structure's end the walk fails; cut after it,
// it gives the same listing.
TEST(TiffWalker, WalksFilesAsTiffdumpListsThem)
{
    for (const auto& c : read_test_records("tiff/good.txt")) {
        SCOPED_TRACE(c[0]);
        const std::string data = read_test_data(("tiff/" + c[0] + ".tif").c_str());
        const std::vector<std::string> expected = lines_of(read_test_data(("tiff/" + c[0] + ".dump").c_str()));
        cRecordingWalker walker;
        walker.file = data;
        cByteStream file(data);
        ASSERT_TRUE(walker.ParseStream(&file.stream, 0));
        EXPECT_EQ(walker.lines, expected);

        const size_t end = std::stoul(c[1]);
        for (size_t cut = 0; cut < data.size(); cut += cut < end + 16 ? 1 : 97) {
            cRecordingWalker cut_walker;
            cut_walker.file = data;
            cByteStream part(data.substr(0, cut));
            bool walked = cut_walker.ParseStream(&part.stream, 0);
            ASSERT_EQ(walked, cut >= end) << "cut at " << cut;
            if (walked)
                EXPECT_EQ(cut_walker.lines, expected);
            else
                EXPECT_NE(cut_walker.error_code, tiff_error_none);
        }
        // A size given to the walk cuts the same way as a short stream.
        cRecordingWalker sized;
        sized.file = data;
        EXPECT_FALSE(sized.ParseStream(&file.stream, end - 1));
        EXPECT_EQ(sized.error_code, tiff_error_offset);
    }
}

// IFDs that point at themselves or at each other end the chain after one
// walk of each; counts whose byte size passes 2^32 or 2^64, offsets inside
// the header or past the end, and headers of another kind fail with their
// code, nothing read past the stream.
TEST(TiffWalker, StopsCyclesAndRefusesCraftedStructures)
{
    for (const auto& c : read_test_records("tiff/crafted.txt")) {
        SCOPED_TRACE(c[0]);
        cRecordingWalker walker;
        walker.file = read_test_data(("tiff/" + c[0] + ".tif").c_str());
        cByteStream file(walker.file);
        EXPECT_EQ(walker.ParseStream(&file.stream, 0), c[1] == "1");
        EXPECT_EQ(walker.error_code, std::stoi(c[2]));
        EXPECT_EQ(walker.ifds, std::stoi(c[3]));
    }
}

// Random bit flips in the headers, entries and links of every file give a
// clean answer: no IFD twice, nothing outside the stream.
TEST(TiffWalker, SurvivesBitFlips)
{
    std::mt19937 random(25);
    for (const auto& c : read_test_records("tiff/good.txt")) {
        const std::string original = read_test_data(("tiff/" + c[0] + ".tif").c_str());
        const size_t end = std::stoul(c[1]);
        for (int round = 0; round < 300; ++round) {
            std::string damaged = original;
            for (int flips = 0; flips < 1 + round % 4; ++flips)
                damaged[random() % end] ^= char(1 << (random() % 8));
            cRecordingWalker walker;
            walker.file = damaged;
            cByteStream file(damaged);
            if (!walker.ParseStream(&file.stream, 0)) {
                EXPECT_NE(walker.error_code, tiff_error_none);
            }
        }
    }
}

// A sink that stops at one IFD, and one that refuses an entry: the chain
// ends without error in the first case, and with code 7 at the entry in
// the second.
TEST(TiffWalker, SinkEndsTheChainOrTheWalk)
{
    const std::string data = read_test_data("tiff/pages.tif");
    struct cFirstOnly : cTiffGeneric {
        bool OnIfd(int32_t index, uint64_t) override { return index == 0; }
        bool OnEntry(const cTiffEntry&) override
        {
            ++entries;
            return true;
        }
        int entries = 0;
    } first;
    cByteStream file(data);
    EXPECT_TRUE(first.ParseStream(&file.stream, 0));
    EXPECT_EQ(first.entries, 17);  // IFD0's 16 entries and its link

    struct cRefuser : cTiffGeneric {
        bool OnEntry(const cTiffEntry& entry) override { return entry.tag != 273; }
    } refuser;
    EXPECT_FALSE(refuser.ParseStream(&file.stream, 0));
    EXPECT_EQ(refuser.error_code, tiff_error_entry);
    EXPECT_EQ(refuser.error_position, 8u + 2 + 6 * 12);
}

// EXIF and TIFF dates, whole, without time, and malformed.
TEST(TiffWalker, ReadsDates)
{
    struct cCase {
        const char* text;
        uint64_t size;
        bool ok;
        int year, month, day, hour, minute, second;
    } cases[] = {
        {"2024:02:29 13:14:15", 20, true, 2024, 2, 29, 13, 14, 15},
        {"1999:12:31", 11, true, 1999, 12, 31, 0, 0, 0},
        {"2024:02:29 13:14:15", 12, false, 0, 0, 0, 0, 0, 0},
        {"0000:00:00 00:00:00", 20, false, 0, 0, 0, 0, 0, 0},
        {"2024-02-29 13:14:15", 20, false, 0, 0, 0, 0, 0, 0},
        {"2024:13:01 00:00:00", 20, false, 0, 0, 0, 0, 0, 0},
        {"2024:02:2", 9, false, 0, 0, 0, 0, 0, 0},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.text);
        cPictPropTimestamp date;
        ASSERT_EQ(tiff_read_date(reinterpret_cast<const uint8_t*>(c.text), c.size, &date), c.ok);
        if (c.ok) {
            EXPECT_EQ(date.year, c.year);
            EXPECT_EQ(date.month, c.month);
            EXPECT_EQ(date.day, c.day);
            EXPECT_EQ(date.hour, c.hour);
            EXPECT_EQ(date.minute, c.minute);
            EXPECT_EQ(date.second, c.second);
        }
    }
}
