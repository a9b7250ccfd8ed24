#include "bench/frame/Agreement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace valmere::bench {

double CompareMeans(const char* label, const std::vector<BoxMean>& ours, const std::vector<BoxMean>& peer,
                    bool withText) {
    double largest = 0.0;
    for (const BoxMean& mine : ours) {
        if (!withText && mine.name.rfind("text:", 0) == 0) continue;
        const auto theirs =
            std::find_if(peer.begin(), peer.end(), [&](const BoxMean& m) { return m.name == mine.name; });
        if (theirs == peer.end()) {
            std::printf("%s %s: missing from the peer\n", label, mine.name.c_str());
            largest = 255.0;
            continue;
        }
        double difference = 0.0;
        for (int c = 0; c < 3; ++c) difference = std::max(difference, std::fabs(mine.rgb[c] - theirs->rgb[c]));
        std::printf("%s %s: ours %.1f %.1f %.1f, peer %.1f %.1f %.1f, largest difference %.2f\n", label,
                    mine.name.c_str(), mine.rgb[0], mine.rgb[1], mine.rgb[2], theirs->rgb[0], theirs->rgb[1],
                    theirs->rgb[2], difference);
        largest = std::max(largest, difference);
    }
    return largest;
}

}  // namespace valmere::bench
