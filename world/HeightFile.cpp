// The height file: whitespace-separated tokens read with the standard
// formatted-input conversions.
//
//   header-word first-integer N          ("%s" "%i" "%i"; %i takes 0x.. and 0..)
//   18 blocks, each:
//     word  N+1 reals   -> heights[0..N][block]
//     word  N+1 reals   (read and dropped)
//     word  N+1 reals   (read and dropped)
//
// Nothing validates the file. A number that does not convert stores nothing
// and stays in the stream, so the numbers after it fail too until the next
// word read consumes it; a short file leaves the unread heights as they
// were.
#include "world/World.h"

#include <cstdint>
#include <cstdio>

namespace {

// Reads the file one conversion at a time. Once the stream has ended every
// further read would store nothing, so the reader stops early instead of
// failing through the remaining counts (N may be as large as INT_MAX).
class HeightReader {
public:
    explicit HeightReader(std::FILE* file) : file_(file) {}

    bool Ended() const { return ended_; }

    // "%*s": any run of non-blank characters, of any length, with no buffer
    // to overrun.
    void SkipWord() { Track(std::fscanf(file_, "%*s")); }

    // "%i": keeps `value` when the token does not convert.
    void ReadInteger(int& value) {
        int read = 0;
        if (Track(std::fscanf(file_, "%i", &read)) == 1) {
            value = read;
        }
    }

    // Reads count reals ("%f") and hands each one that converts to
    // store(i, value), i counting from 0.
    template <typename Store>
    void ReadReals(std::int64_t count, Store store) {
        for (std::int64_t i = 0; i < count && !ended_; ++i) {
            const long before = std::ftell(file_);
            float value = 0.0f;
            const int converted = Track(std::fscanf(file_, "%f", &value));
            if (converted == 1) {
                store(i, value);
            } else if (converted == 0 && std::ftell(file_) == before) {
                // The failing token consumed nothing, so every remaining
                // read of this line fails on it in the same way.
                return;
            }
        }
    }

private:
    int Track(int result) {
        if (result == EOF) {
            ended_ = true;
        }
        return result;
    }

    std::FILE* file_;
    bool ended_ = false;
};

} // namespace

bool CWorld::LoadHeights(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        std::fputs("The file could not be opened\n", stdout);
        return true;
    }
    std::fseek(file, 0, SEEK_SET);

    HeightReader reader(file);
    int firstInteger = 0;
    // An unreadable N leaves every line empty: the blocks are then label
    // words only and no height is stored.
    int lastIndex = -1;
    reader.SkipWord();
    reader.ReadInteger(firstInteger);
    reader.ReadInteger(lastIndex);
    // int64 so that N = INT_MAX still gives a count of N + 1.
    const std::int64_t valuesPerLine = static_cast<std::int64_t>(lastIndex) + 1;

    for (int block = 0; block < HeightFileBlocks && !reader.Ended(); ++block) {
        // Values beyond the grid's last index are read and dropped, which
        // keeps the rest of the file in step.
        reader.SkipWord();
        reader.ReadReals(valuesPerLine, [this, block](std::int64_t i, float value) {
            if (i < HeightGridSize) {
                heights[i][block] = value;
            }
        });
        for (int dropped = 0; dropped < 2; ++dropped) {
            reader.SkipWord();
            reader.ReadReals(valuesPerLine, [](std::int64_t, float) {});
        }
    }
    std::fclose(file);
    return true;
}
