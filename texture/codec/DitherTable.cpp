#include "texture/codec/DitherTable.h"

namespace valmere {

// clang-format off
const DitherRows OrderedDitherMatrix = {
    {31 / 32.f, 15 / 32.f, 27 / 32.f, 11 / 32.f, 31 / 32.f, 15 / 32.f, 27 / 32.f, 11 / 32.f},
    { 7 / 32.f, 23 / 32.f,  3 / 32.f, 19 / 32.f,  7 / 32.f, 23 / 32.f,  3 / 32.f, 19 / 32.f},
    {25 / 32.f,  9 / 32.f, 29 / 32.f, 13 / 32.f, 25 / 32.f,  9 / 32.f, 29 / 32.f, 13 / 32.f},
    { 1 / 32.f, 17 / 32.f,  5 / 32.f, 21 / 32.f,  1 / 32.f, 17 / 32.f,  5 / 32.f, 21 / 32.f},
};
const DitherRows NoDitherMatrix = {
    {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
    {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
    {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
    {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
};
// clang-format on

}  // namespace valmere
