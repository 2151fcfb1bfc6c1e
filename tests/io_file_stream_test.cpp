// FileStream: open modes, blocks, little-endian integers, scrambled blocks, text lines and labels.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "io/file_stream.h"
#include "support/io_temp_dir.h"
#include "tests/support/scramble_reference.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace {

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    return bytes;
}

std::vector<uint8_t> WrittenScrambled(const IoTempDir& dir, const std::vector<uint8_t>& data,
                                      int keyA, int keyB) {
    std::string name = dir.File("block.bin");
    {
        FileStream out(name.c_str(), WriteBinary);
        EXPECT_TRUE(out.WriteScrambled(data.data(), static_cast<int>(data.size()), keyA, keyB));
    }
    return ReadBytes(name);
}

}  // namespace

TEST(FileStreamIntegers, WriteUIntIsLittleEndianWithTheSignRepeated) {
    struct Case {
        int value;
        int width;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {258, 2, {0x02, 0x01}},
        {-1, 2, {0xFF, 0xFF}},
        {0x12345678, 4, {0x78, 0x56, 0x34, 0x12}},
        {0x1234, 1, {0x34}},
        {-2, 6, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {INT_MIN, 5, {0x00, 0x00, 0x00, 0x80, 0xFF}},
        {5, 6, {0x05, 0, 0, 0, 0, 0}},
    };
    IoTempDir dir;
    std::string name = dir.File("uint.bin");
    for (const Case& c : cases) {
        {
            FileStream out(name.c_str(), WriteBinary);
            EXPECT_TRUE(out.WriteUInt(c.value, c.width));
            EXPECT_FALSE(out.WriteUInt(c.value, 0));
            EXPECT_FALSE(out.WriteUInt(c.value, -1));
        }
        EXPECT_EQ(ReadBytes(name), c.bytes) << c.value << " in " << c.width;
    }
}

TEST(FileStreamIntegers, ReadUIntAssemblesUnsignedValues) {
    IoTempDir dir;
    std::string name = dir.File("uint.bin");
    WriteBytes(name, {0x02, 0x01, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xAB});
    FileStream in(name.c_str(), ReadBinary);
    int value = -99;
    EXPECT_FALSE(in.ReadUInt(&value, 0));
    EXPECT_EQ(value, -99);
    EXPECT_TRUE(in.ReadUInt(&value, 2));
    EXPECT_EQ(value, 258);
    EXPECT_TRUE(in.ReadUInt(&value, 2));
    EXPECT_EQ(value, 65535);
    EXPECT_TRUE(in.ReadUInt(&value, 4));
    EXPECT_EQ(value, 0x12345678);
    EXPECT_FALSE(in.AtEnd());
    // One byte is left: the read fails and keeps it.
    EXPECT_FALSE(in.ReadUInt(&value, 2));
    EXPECT_EQ(value, 0xAB);
    EXPECT_TRUE(in.AtEnd());
}

TEST(FileStreamBlocks, ReadAndWriteWholeItemsOnly) {
    IoTempDir dir;
    std::string name = dir.File("block.bin");
    {
        FileStream out(name.c_str(), WriteBinary);
        ASSERT_TRUE(out.IsOk());
        EXPECT_TRUE(out.Write("abcde", 5));
        EXPECT_FALSE(out.Write("abcde", 0));
        EXPECT_FALSE(out.Write("abcde", -3));
        EXPECT_TRUE(out.Flush());
    }
    EXPECT_EQ(ReadBytes(name), Bytes("abcde"));
    FileStream in(name.c_str(), ReadBinary);
    char buffer[8] = {};
    EXPECT_FALSE(in.Read(buffer, 0));
    EXPECT_TRUE(in.Read(buffer, 3));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(in.Read(buffer, 3));  // only two bytes are left
}

TEST(FileStreamOpen, AStreamThatDidNotOpenOnlyReportsFailure) {
    IoTempDir dir;
    std::string missing = dir.File("no-such-folder/file.bin");
    for (FileMode mode : {ReadText, ReadBinary, WriteText, WriteBinary}) {
        FileStream s(missing.c_str(), mode);
        EXPECT_FALSE(s.IsOk());
        int value = 17;
        char buffer[4] = {'x', 'x', 'x', 'x'};
        float real = 1.5f;
        EXPECT_FALSE(s.Flush());
        EXPECT_TRUE(s.AtEnd());
        EXPECT_FALSE(s.Read(buffer, 4));
        EXPECT_FALSE(s.Write(buffer, 4));
        EXPECT_FALSE(s.ReadUInt(&value, 2));
        EXPECT_FALSE(s.WriteUInt(value, 2));
        EXPECT_FALSE(s.ReadScrambled(buffer, 4, 1, 2));
        EXPECT_FALSE(s.WriteScrambled(buffer, 4, 1, 2));
        EXPECT_FALSE(s.ReadLine(buffer, 4));
        EXPECT_EQ(s.SkipLines(2), -1);
        EXPECT_FALSE(s.Scan("x"));
        EXPECT_FALSE(s.Print("x"));
        EXPECT_FALSE(s.WriteInt("a=", 1));
        EXPECT_FALSE(s.WriteFloat("a=", 1));
        EXPECT_FALSE(s.ReadInt("a=", &value));
        EXPECT_FALSE(s.ReadFloat("a=", &real));
        EXPECT_FALSE(s.Close());
        EXPECT_EQ(value, 17);
        EXPECT_EQ(real, 1.5f);
        EXPECT_EQ(std::string(buffer, 4), "xxxx");
    }
    EXPECT_FALSE(FileStream(dir.File("x").c_str(), static_cast<FileMode>(4)).IsOk());
    EXPECT_FALSE(FileStream(nullptr, ReadBinary).IsOk());
    EXPECT_TRUE(dir.Names().empty());
}

TEST(FileStreamOpen, TextModesTranslateLineEndsAndBackslashesSeparateFolders) {
    IoTempDir dir;
    std::filesystem::create_directory(dir.Path() / "Media");
    std::string windowsName = dir.Path().string() + "\\Media\\notes.txt";
    {
        FileStream out(windowsName.c_str(), WriteText);
        ASSERT_TRUE(out.IsOk());
        EXPECT_TRUE(out.Print("one\ntwo\n"));
    }
    EXPECT_EQ(ReadBytes(dir.File("Media/notes.txt")), Bytes("one\r\ntwo\r\n"));
    {
        FileStream in(windowsName.c_str(), ReadText);
        char line[16];
        EXPECT_TRUE(in.ReadLine(line, sizeof line));
        EXPECT_STREQ(line, "one");
    }
    {
        FileStream in(windowsName.c_str(), ReadBinary);
        char line[16];
        EXPECT_TRUE(in.ReadLine(line, sizeof line));
        EXPECT_STREQ(line, "one\r");
    }
    {
        FileStream out(windowsName.c_str(), WriteBinary);
        EXPECT_TRUE(out.Print("a\nb"));
    }
    EXPECT_EQ(ReadBytes(dir.File("Media/notes.txt")), Bytes("a\nb"));
}

TEST(FileStreamScramble, SmallBlocksWorkedOutByHand) {
    // size 3, keys 1 and 0: v = 201i² + 2i − 2, so position 0 swaps with 2 (v −2, |v| mod 3)
    // and position 1 with 2 (v 201, mod 2 = 1): ABC → CBA → CAB.
    // size 6, keys 0 and 32768: 2·keyB² wraps to −2³¹, v = −2³¹ + 2i − 6; the partners are
    // 0↔2, 1↔5, 2↔4, then at i = 3 v is −2³¹ itself: −(2³¹ mod 3) = −2, so 3↔1; i = 4 has
    // |v| even, mod 2 = 0. ABCDEF → CBADEF → CFADEB → CFEDAB → CDEFAB.
    // size 3, keyA −2³¹ + 3, keyB 0: v(0) = −2³¹ would send position 0 to −2, outside the block,
    // so it stays; v(1) = 202·keyA − 1 wraps to 605, odd: 1↔2. ABC → ACB.
    struct Case {
        std::string data;
        int keyA, keyB;
        std::string stored;
    };
    const Case cases[] = {
        {"ABC", 1, 0, "CAB"},
        {"ABCDEF", 0, 32768, "CDEFAB"},
        {"ABC", INT_MIN + 3, 0, "ACB"},
        {"Q", 7142, 742, "Q"},
    };
    IoTempDir dir;
    for (const Case& c : cases) {
        std::vector<uint8_t> data = Bytes(c.data);
        EXPECT_EQ(WrittenScrambled(dir, data, c.keyA, c.keyB), Bytes(c.stored)) << c.data;
        EXPECT_EQ(data, Bytes(c.data));  // the caller's block is left as it was
        FileStream in(dir.File("block.bin").c_str(), ReadBinary);
        std::vector<uint8_t> back(data.size());
        EXPECT_TRUE(in.ReadScrambled(back.data(), static_cast<int>(back.size()), c.keyA, c.keyB));
        EXPECT_EQ(back, data);
    }
}

TEST(FileStreamScramble, RoundTripsForManySizesAndKeys) {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 13, 64, 255, 256, 1000, 4097, 9600, 65537};
    const int keys[][2] = {{7142, 742}, {1, 0}, {0, 0}, {-5, 3}, {INT_MAX, INT_MIN},
                           {INT_MIN, INT_MAX}, {640, 480}, {3, 2}, {0, 32768}};
    IoTempDir dir;
    for (int size : sizes) {
        for (const auto& key : keys) {
            std::vector<uint8_t> data = Pattern(static_cast<size_t>(size));
            std::vector<uint8_t> stored = WrittenScrambled(dir, data, key[0], key[1]);
            ASSERT_EQ(stored, ReferenceScramble(data, key[0], key[1]))
                << "size " << size << " keys " << key[0] << ", " << key[1];
            FileStream in(dir.File("block.bin").c_str(), ReadBinary);
            std::vector<uint8_t> back(static_cast<size_t>(size) + 1, 0xEE);
            EXPECT_TRUE(in.ReadScrambled(back.data(), size, key[0], key[1]));
            EXPECT_EQ(back.back(), 0xEE) << "wrote past the block";
            back.pop_back();
            EXPECT_EQ(back, data) << "size " << size << " keys " << key[0] << ", " << key[1];
        }
    }
}

TEST(FileStreamScramble, TheMostNegativeValueStaysInsideTheBlock) {
    // Keys that make v(0) = −2³¹ for several sizes: the partner −(2³¹ mod size) would lie before
    // the block; under the sanitizers an access there would stop the test.
    for (int size : {3, 5, 6, 7, 9, 11, 100}) {
        int keyA = INT_MIN + size;
        std::vector<uint8_t> data = Pattern(static_cast<size_t>(size));
        std::vector<uint8_t> bytes = data;
        Scramble(bytes.data(), size, keyA, 0);
        EXPECT_EQ(bytes, ReferenceScramble(data, keyA, 0)) << size;
        Unscramble(bytes.data(), size, keyA, 0);
        EXPECT_EQ(bytes, data) << size;
        for (int i = 0; i < size; ++i) {
            int partner = i + ScrambleOffset(i, size, keyA, 0);
            EXPECT_GE(partner, 0);
            EXPECT_LT(partner, size);
        }
    }
}

TEST(FileStreamScramble, ShortFilesUnshuffleWhatTheBufferHolds) {
    IoTempDir dir;
    std::string name = dir.File("short.bin");
    WriteBytes(name, {1, 2, 3, 4});
    std::vector<uint8_t> buffer = {9, 9, 9, 9, 8, 7};
    FileStream in(name.c_str(), ReadBinary);
    EXPECT_TRUE(in.ReadScrambled(buffer.data(), 6, 5, 6));
    EXPECT_EQ(buffer, ReferenceUnscramble({1, 2, 3, 4, 8, 7}, 5, 6));
    EXPECT_FALSE(in.ReadScrambled(nullptr, 6, 5, 6));

    FileStream empty(dir.File("zero.bin").c_str(), WriteBinary);
    EXPECT_TRUE(empty.WriteScrambled(nullptr, 0, 1, 1));
    EXPECT_FALSE(empty.WriteScrambled(buffer.data(), -1, 1, 1));
    EXPECT_TRUE(empty.Close());
    EXPECT_TRUE(ReadBytes(dir.File("zero.bin")).empty());
}

TEST(FileStreamText, ReadLineLimits) {
    IoTempDir dir;
    std::string name = dir.File("lines.txt");
    WriteBytes(name, Bytes(std::string("hello\nab\0cd\nlast", 16)));
    FileStream in(name.c_str(), ReadBinary);
    char line[8];
    std::memset(line, 'x', sizeof line);
    EXPECT_TRUE(in.ReadLine(line, 1));  // room for the terminator only: nothing consumed
    EXPECT_EQ(line[0], '\0');
    EXPECT_EQ(line[1], 'x');
    EXPECT_FALSE(in.ReadLine(line, 0));
    EXPECT_TRUE(in.ReadLine(line, 4));
    EXPECT_STREQ(line, "hel");
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "lo");
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "ab");  // a NUL ends the line like a line feed
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "cd");
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "last");
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(in.AtEnd());
}

TEST(FileStreamText, SkipLinesCountsLineFeeds) {
    IoTempDir dir;
    std::string name = dir.File("lines.txt");
    WriteBytes(name, Bytes("one\r\ntwo\r\nthree"));
    {
        FileStream in(name.c_str(), ReadText);
        EXPECT_EQ(in.SkipLines(0), 0);
        EXPECT_EQ(in.SkipLines(-4), 0);
        EXPECT_EQ(in.SkipLines(1), 1);
        char line[16];
        EXPECT_TRUE(in.ReadLine(line, sizeof line));
        EXPECT_STREQ(line, "two");
    }
    WriteBytes(name, Bytes("a\nb\nc"));
    FileStream in(name.c_str(), ReadText);
    EXPECT_EQ(in.SkipLines(3), 2);
    EXPECT_EQ(in.SkipLines(1), 0);
}

TEST(FileStreamText, LabelledLinesBothWays) {
    IoTempDir dir;
    std::string name = dir.File("settings.txt");
    {
        FileStream out(name.c_str(), WriteBinary);
        EXPECT_TRUE(out.WriteInt("Width=", 640));
        EXPECT_TRUE(out.WriteFloat("Rate ", 2.5f));
        EXPECT_TRUE(out.WriteInt("Depth:", -8));
        EXPECT_TRUE(out.WriteInt("100%d=", 7));  // a per-cent sign is plain text
        EXPECT_TRUE(out.WriteFloat("%s%n", -0.125f));
    }
    EXPECT_EQ(ReadBytes(name),
              Bytes("Width=640\nRate 2.500000\nDepth:-8\n100%d=7\n%s%n-0.125000\n"));
    FileStream in(name.c_str(), ReadBinary);
    int width = 0, depth = 0, percent = 0;
    float rate = 0, odd = 0;
    EXPECT_TRUE(in.ReadInt("Width=", &width));
    EXPECT_TRUE(in.ReadFloat("Rate ", &rate));
    EXPECT_TRUE(in.ReadInt("Depth:", &depth));
    EXPECT_TRUE(in.ReadInt("100%d=", &percent));
    EXPECT_TRUE(in.ReadFloat("%s%n", &odd));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(rate, 2.5f);
    EXPECT_EQ(depth, -8);
    EXPECT_EQ(percent, 7);
    EXPECT_EQ(odd, -0.125f);
}

TEST(FileStreamText, LabelledReadsThatDoNotMatchLeaveTheTarget) {
    IoTempDir dir;
    std::string name = dir.File("settings.txt");
    WriteBytes(name, Bytes("Height=5\nBig=99999999999\nW   =  \t 3\r\nV=x\n"));
    FileStream in(name.c_str(), ReadText);
    int value = 11;
    EXPECT_TRUE(in.ReadInt("Width=", &value));  // "He" does not match "Wi"
    EXPECT_EQ(value, 11);
    EXPECT_TRUE(in.SkipLines(1) == 1);
    EXPECT_TRUE(in.ReadInt("Big=", &value));  // beyond the int range
    EXPECT_EQ(value, 11);
    EXPECT_TRUE(in.ReadInt("W = ", &value));  // white space in a label matches any run
    EXPECT_EQ(value, 3);
    float real = 4.0f;
    EXPECT_TRUE(in.ReadFloat("V=", &real));
    EXPECT_EQ(real, 4.0f);
}

TEST(FileStreamText, ScanMatchesLiteralTextOnly) {
    IoTempDir dir;
    std::string name = dir.File("scan.txt");
    WriteBytes(name, Bytes("  key:\t 50% done\nrest"));
    FileStream in(name.c_str(), ReadBinary);
    EXPECT_FALSE(in.Scan("%d"));   // would need a target: refused, nothing read
    EXPECT_FALSE(in.Scan("key%s"));
    EXPECT_FALSE(in.Scan(nullptr));
    EXPECT_TRUE(in.Scan(" key: 50%% "));
    char line[16];
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "done");
    EXPECT_TRUE(in.Scan("xyz"));  // a mismatch still answers true and stops at the mismatch
    EXPECT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "rest");
}

TEST(FileStreamText, PrintWritesTheTextAsItStands) {
    IoTempDir dir;
    std::string name = dir.File("print.txt");
    {
        FileStream out(name.c_str(), WriteBinary);
        EXPECT_TRUE(out.Print("%s%n%d %% %"));
        EXPECT_FALSE(out.Print(nullptr));
    }
    EXPECT_EQ(ReadBytes(name), Bytes("%s%n%d %% %"));
}

// Offsets are those of the file as stored, in text mode too (as a Windows runtime counts them):
// "a\r\nb\r\nc\r\n" has "b" at 3 and "c" at 6.
TEST(FileStreamPosition, TextModeSeeksToOffsetsOfTheFileAndLengthLeavesThePosition) {
    IoTempDir dir;
    std::string name = dir.File("lines.txt");
    WriteBytes(name, Bytes("a\r\nb\r\nc\r\n"));
    char line[16];
    {
        FileStream in(name.c_str(), ReadText);
        ASSERT_TRUE(in.ReadLine(line, sizeof line));
        EXPECT_STREQ(line, "a");
        EXPECT_EQ(in.Length(), 9);
        ASSERT_TRUE(in.ReadLine(line, sizeof line));
        EXPECT_STREQ(line, "b");
    }
    struct Case {
        int64_t offset;
        const char* lines[3];  // what ReadLine gives from there on
    };
    const Case cases[] = {
        {0, {"a", "b", "c"}},
        {3, {"b", "c", ""}},
        {6, {"c", "", ""}},
        {1, {"", "b", "c"}},  // at the "\r" of a "\r\n": the pair still ends a line
        {2, {"", "b", "c"}},  // at its "\n": a lone line feed ends a line too
        {9, {"", "", ""}},
    };
    for (const Case& c : cases) {
        FileStream in(name.c_str(), ReadText);
        ASSERT_TRUE(in.ReadLine(line, sizeof line));  // move away first, into the stdio buffer
        ASSERT_TRUE(in.Seek(c.offset)) << c.offset;
        for (const char* expected : c.lines) {
            ASSERT_TRUE(in.ReadLine(line, sizeof line));
            EXPECT_STREQ(line, expected) << "from " << c.offset;
        }
    }
}

// A Ctrl-Z ends text input. Length leaves that as it is; a seek starts reading again from
// wherever it lands, before the Ctrl-Z or after it.
TEST(FileStreamPosition, TextModeEndAtCtrlZSurvivesLengthAndIsClearedBySeek) {
    IoTempDir dir;
    std::string name = dir.File("ended.txt");
    WriteBytes(name, Bytes("a\r\nb\x1A" "c\r\n"));
    FileStream in(name.c_str(), ReadText);
    char line[16];
    ASSERT_TRUE(in.ReadLine(line, sizeof line));
    ASSERT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "b");
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.Length(), 8);
    EXPECT_TRUE(in.AtEnd());
    ASSERT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "");
    ASSERT_TRUE(in.Seek(5));
    EXPECT_FALSE(in.AtEnd());
    ASSERT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "c");
    ASSERT_TRUE(in.Seek(0));
    ASSERT_TRUE(in.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "a");
}

// Labelled reads look one character ahead and put it back; Length and Flush between two of them
// lose nothing, in either mode. A written text file's length counts its "\r\n" pairs.
TEST(FileStreamPosition, LengthAndFlushKeepALookAheadCharacter) {
    IoTempDir dir;
    std::string name = dir.File("settings.txt");
    for (FileMode mode : {ReadText, ReadBinary}) {
        WriteBytes(name, Bytes("W=640\r\nH=480\r\n"));
        FileStream in(name.c_str(), mode);
        int width = 0, height = 0;
        ASSERT_TRUE(in.ReadInt("W=", &width));
        EXPECT_EQ(in.Length(), 14) << mode;
        EXPECT_TRUE(in.Flush()) << mode;
        ASSERT_TRUE(in.ReadInt("H=", &height));
        EXPECT_EQ(width, 640) << mode;
        EXPECT_EQ(height, 480) << mode;
    }
    {
        FileStream out(name.c_str(), WriteText);
        ASSERT_TRUE(out.Print("one\ntwo\n"));
        EXPECT_EQ(out.Length(), 10);
        ASSERT_TRUE(out.Print("3\n"));
        EXPECT_EQ(out.Length(), 13);
    }
    EXPECT_EQ(ReadBytes(name), Bytes("one\r\ntwo\r\n3\r\n"));
}

TEST(FileStreamReplace, AnOlderFileStaysUntilTheNewOneIsComplete) {
    IoTempDir dir;
    std::string name = dir.File("data.bin");
    WriteBytes(name, Bytes("old contents"));
    {
        FileStream out(name.c_str(), WriteBinary);
        ASSERT_TRUE(out.IsOk());
        EXPECT_TRUE(out.Write("new", 3));
        EXPECT_TRUE(out.Flush());
        EXPECT_EQ(ReadBytes(name), Bytes("old contents"));
        EXPECT_TRUE(out.Close());
        EXPECT_FALSE(out.Write("more", 4));
    }
    EXPECT_EQ(ReadBytes(name), Bytes("new"));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"data.bin"});
}

#if !defined(_WIN32)
TEST(FileStreamReplace, AFailedWriteIsReportedAndKeepsTheOlderFile) {
    IoTempDir dir;
    std::string name = dir.File("data.bin");
    WriteBytes(name, Bytes("old contents"));
    // A file-size limit makes the disk "full" after 1000 bytes.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::vector<uint8_t> big(50000, 0x5A);
    bool wrote, scrambled, closed;
    {
        FileStream out(name.c_str(), WriteBinary);
        wrote = out.Write(big.data(), static_cast<int>(big.size()));
        scrambled = out.WriteScrambled(big.data(), static_cast<int>(big.size()), 1, 2);
        closed = out.Close();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(scrambled);
    EXPECT_FALSE(closed);
    EXPECT_EQ(ReadBytes(name), Bytes("old contents"));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"data.bin"});
}
#endif
