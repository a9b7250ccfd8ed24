#include "app/OverlayFont.h"

#include <cstring>

LOGFONTA OverlayFontDescription() {
    LOGFONTA description{};
    description.lfHeight = 12;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_TT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = PROOF_QUALITY;
    std::memcpy(description.lfFaceName, "Arial", sizeof "Arial");
    return description;
}
