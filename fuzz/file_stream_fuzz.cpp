// FileStream's readers on any file, in text and binary mode, driven by any sequence of reads,
// seeks and queries; and scrambled blocks with any keys. Beside the sanitizers, every answer is
// checked against a model worked out here from the file's bytes: binary mode gives the bytes as
// they are; text mode gives its translation of them ("\r\n" read as "\n", input ending at a
// Ctrl-Z) from wherever a seek put it, with offsets of the file as stored; end-of-file stays
// until a seek; Length and AtEnd move nothing. Text written is read back as written, up to a
// Ctrl-Z; scrambled blocks are the shuffle of their definition and come back whole.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "io/file_stream.h"

namespace {

// What a reader sees of the file, one character at a time.
class Model {
public:
    Model(const std::vector<uint8_t>& bytes, bool text) : bytes_(bytes), text_(text) {}

    int Next() {
        if (ended_) return EOF;
        if (at_ >= bytes_.size()) return End();
        uint8_t b = bytes_[at_++];
        if (!text_) return b;
        if (b == 0x1A) return End();
        if (b == '\r' && at_ < bytes_.size() && bytes_[at_] == '\n') {
            ++at_;
            return '\n';
        }
        return b;
    }
    void Seek(size_t offset) {
        at_ = offset;
        ended_ = false;
    }
    bool Ended() const { return ended_; }

private:
    int End() {
        ended_ = true;
        return EOF;
    }
    const std::vector<uint8_t>& bytes_;
    bool text_;
    size_t at_ = 0;
    bool ended_ = false;
};

void ReadAndCompare(const std::string& path, const std::vector<uint8_t>& bytes, bool text, fuzz::Bytes& ops) {
    FileStream stream(path.c_str(), text ? ReadText : ReadBinary);
    FUZZ_CHECK(stream.IsOk());
    Model model(bytes, text);
    for (int step = 0; step < 64 && ops.RestSize() > 0; ++step) {
        switch (ops.U8() % 8) {
            case 0: {  // Read: true only for the whole item
                int n = 1 + ops.U8() % 40;
                std::vector<uint8_t> got(static_cast<size_t>(n)), want;
                bool ok = stream.Read(got.data(), n);
                for (int c; static_cast<int>(want.size()) < n && (c = model.Next()) != EOF;) want.push_back(static_cast<uint8_t>(c));
                FUZZ_CHECK(ok == (static_cast<int>(want.size()) == n));
                if (ok) FUZZ_CHECK(got == want);
                break;
            }
            case 1: {  // ReadUInt: little-endian, the bytes so far kept at the end
                int count = 1 + ops.U8() % 5;
                int value = -7;
                bool ok = stream.ReadUInt(&value, count);
                uint32_t want = 0;
                bool whole = true;
                for (int k = 0; k < count; ++k) {
                    int c = model.Next();
                    if (c == EOF) {
                        whole = false;
                        break;
                    }
                    if (k < 4) want |= static_cast<uint32_t>(c) << (8 * k);
                }
                FUZZ_CHECK(ok == whole);
                FUZZ_CHECK(static_cast<uint32_t>(value) == want);
                break;
            }
            case 2: {  // ReadLine
                int room = ops.U8() % 24;
                std::vector<char> line(static_cast<size_t>(room) + 1, 'x');
                bool ok = stream.ReadLine(line.data(), room);
                FUZZ_CHECK(ok == (room >= 1));
                if (!ok) break;
                std::string want;
                while (static_cast<int>(want.size()) < room - 1) {
                    int c = model.Next();
                    if (c == EOF || c == '\n' || c == '\0') break;
                    want += static_cast<char>(c);
                }
                FUZZ_CHECK(want == line.data());
                break;
            }
            case 3: {  // SkipLines
                int count = static_cast<int8_t>(ops.U8()) % 5;
                int lines = 0;
                while (lines < count) {
                    int c = model.Next();
                    if (c == EOF) break;
                    if (c == '\n') ++lines;
                }
                FUZZ_CHECK(stream.SkipLines(count) == lines);
                break;
            }
            case 4: {  // Seek, past the end too; a negative offset is refused and moves nothing
                int choice = ops.U8();
                int64_t offset = choice == 255 ? -1 : static_cast<int64_t>(ops.U8() | ops.U8() << 8) % static_cast<int64_t>(bytes.size() + 8);
                bool ok = stream.Seek(offset);
                FUZZ_CHECK(ok == (offset >= 0));
                if (ok) model.Seek(static_cast<size_t>(offset));
                break;
            }
            case 5:
                FUZZ_CHECK(stream.Length() == static_cast<int64_t>(bytes.size()));
                break;
            case 6:
                FUZZ_CHECK(stream.AtEnd() == model.Ended());
                break;
            case 7:
                FUZZ_CHECK(stream.Flush());
                break;
        }
    }
}

// The scanning readers have no model here: they run on what is left of the file for the
// sanitizers alone.
void Scan(const std::string& path, bool text, fuzz::Bytes& ops) {
    FileStream stream(path.c_str(), text ? ReadText : ReadBinary);
    for (int step = 0; step < 16 && ops.RestSize() > 0; ++step) {
        std::string label(ops.U8() % 4, static_cast<char>(' ' + ops.U8() % 95));
        int i = 0;
        float f = 0;
        switch (ops.U8() % 4) {
            case 0: stream.ReadInt(label.c_str(), &i); break;
            case 1: stream.ReadFloat(label.c_str(), &f); break;
            case 2: stream.Scan(label.c_str()); break;
            case 3: stream.Length(); break;
        }
    }
}

void WriteTextAndReadBack(const std::vector<uint8_t>& bytes) {
    std::string path = fuzz::PathOf("written.txt");
    {
        FileStream out(path.c_str(), WriteText);
        FUZZ_CHECK(out.IsOk());
        if (!bytes.empty()) FUZZ_CHECK(out.Write(bytes.data(), static_cast<int>(bytes.size())));
        FUZZ_CHECK(out.Close());
    }
    std::vector<uint8_t> stored;
    for (uint8_t b : bytes) {
        if (b == '\n') stored.push_back('\r');
        stored.push_back(b);
    }
    FileStream in(path.c_str(), ReadText);
    FUZZ_CHECK(in.Length() == static_cast<int64_t>(stored.size()));
    size_t upToCtrlZ = 0;
    while (upToCtrlZ < bytes.size() && bytes[upToCtrlZ] != 0x1A) ++upToCtrlZ;
    std::vector<uint8_t> back(upToCtrlZ + 1);
    FUZZ_CHECK(upToCtrlZ == 0 || in.Read(back.data(), static_cast<int>(upToCtrlZ)));
    FUZZ_CHECK(upToCtrlZ == 0 || std::memcmp(back.data(), bytes.data(), upToCtrlZ) == 0);
    FUZZ_CHECK(!in.Read(back.data(), 1));
    FUZZ_CHECK(in.AtEnd());
}

void Scrambled(const std::vector<uint8_t>& bytes, fuzz::Bytes& ops) {
    const int32_t keyA = static_cast<int32_t>(ops.U32());
    const int32_t keyB = static_cast<int32_t>(ops.U32());
    const int32_t size = static_cast<int32_t>(bytes.size());
    std::string path = fuzz::PathOf("block.bin");
    {
        FileStream out(path.c_str(), WriteBinary);
        FUZZ_CHECK(out.WriteScrambled(bytes.data(), size, keyA, keyB));
        FUZZ_CHECK(out.Close());
    }
    std::vector<uint8_t> want = bytes;
    fuzz::ReferenceScramble(want.data(), size, keyA, keyB);
    FileStream in(path.c_str(), ReadBinary);
    FUZZ_CHECK(in.Length() == size);
    std::vector<uint8_t> stored(bytes.size());
    FUZZ_CHECK(size == 0 || in.Read(stored.data(), size));
    FUZZ_CHECK(stored == want);
    // Read back, asking for more than the file holds: the bytes it lacks keep what the buffer
    // held before the block is put back in order.
    const int32_t extra = ops.U8() % 8;
    std::vector<uint8_t> buffer(bytes.size() + static_cast<size_t>(extra), 0xC3);
    if (buffer.empty()) return;  // no buffer to read into: refused, as a null buffer is
    FUZZ_CHECK(in.Seek(0));
    FUZZ_CHECK(in.ReadScrambled(buffer.data(), size + extra, keyA, keyB));
    std::vector<uint8_t> expected = want;
    expected.resize(buffer.size(), 0xC3);
    fuzz::ReferenceUnscramble(expected.data(), size + extra, keyA, keyB);
    FUZZ_CHECK(buffer == expected);
    if (extra == 0) FUZZ_CHECK(buffer == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Bytes in(data, size);
    const uint8_t flags = in.U8();
    size_t length = in.U8() | in.U8() << 8;
    if (length > in.RestSize()) length = in.RestSize();
    std::vector<uint8_t> bytes(in.Rest(), in.Rest() + length);
    fuzz::Bytes ops(in.Rest() + length, in.RestSize() - length);
    std::string path = fuzz::WriteFile("input.txt", bytes.data(), bytes.size());

    const bool text = flags & 1;
    ReadAndCompare(path, bytes, text, ops);
    if (flags & 2) Scan(path, text, ops);
    if (flags & 4) WriteTextAndReadBack(bytes);
    if (flags & 8) Scrambled(bytes, ops);
    return 0;
}
