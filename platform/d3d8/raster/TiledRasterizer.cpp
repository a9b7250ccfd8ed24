#include "platform/d3d8/raster/TiledRasterizer.h"

#include <algorithm>
#include <atomic>

#include "platform/d3d8/raster/DrawAssembly.h"

namespace valmere::raster {
namespace {

constexpr std::uint32_t kClearBit = 0x80000000u;

bool SameTargets(const ColorTarget& a, const ColorTarget& b) {
    return a.bits == b.bits && a.pitch == b.pitch && a.width == b.width && a.height == b.height && a.format == b.format;
}

bool SameTargets(const DepthTarget& a, const DepthTarget& b) {
    return a.bits == b.bits && a.pitch == b.pitch && a.width == b.width && a.height == b.height && a.format == b.format;
}

}  // namespace

// Sets up each triangle of a draw and files it under its tiles.
class TiledRasterizer::Binner final : public TriangleSink {
public:
    Binner(TiledRasterizer& queue, std::uint32_t pipeline) : queue_(queue), pipeline_(pipeline) {}

    void Triangle(DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override {
        std::vector<QueuedTriangle>& triangles = queue_.triangles_;
        triangles.emplace_back();
        QueuedTriangle& t = triangles.back();
        const ScreenVertex* ordered[3];
        if (!PlaceTriangle(queue_.pipelines_[pipeline_], cullMode, a, b, c, t.setup, ordered)) {
            triangles.pop_back();
            return;
        }
        for (const ScreenVertex* v : ordered) queue_.corners_.push_back(*v);
        queue_.planeState_.push_back(0);
        t.pipeline = pipeline_;
        queue_.File(static_cast<std::uint32_t>(triangles.size() - 1), t.setup.left, t.setup.top, t.setup.right,
                    t.setup.bottom);
    }

private:
    TiledRasterizer& queue_;
    std::uint32_t pipeline_;
};

TiledRasterizer::TiledRasterizer(int threads) : pool_(threads) {
    // Room for a frame of a few thousand triangles from the start.
    filings_.reserve(1 << 15);
    sorted_.reserve(1 << 15);
    triangles_.reserve(1 << 12);
    corners_.reserve(3 << 12);
    planeState_.reserve(1 << 12);
    pipelines_.reserve(64);
    clears_.reserve(16);
}

bool TiledRasterizer::Writes(const std::uint8_t* bits) const {
    return pending_ && bits != nullptr && (bits == color_.bits || bits == depth_.bits);
}

void TiledRasterizer::Target(const ColorTarget& color, const DepthTarget& depth) {
    if (pending_ && SameTargets(color, color_) && SameTargets(depth, depth_)) return;
    Flush();
    color_ = color;
    depth_ = depth;
    // The tiles cover both targets.
    const int width = std::max(color.bits != nullptr ? color.width : 0, depth.bits != nullptr ? depth.width : 0);
    const int height = std::max(color.bits != nullptr ? color.height : 0, depth.bits != nullptr ? depth.height : 0);
    columns_ = (width + kTileWidth - 1) / kTileWidth;
    rows_ = (height + kTileHeight - 1) / kTileHeight;
    tileStart_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_) + 1);
    tileOrder_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
}

void TiledRasterizer::File(std::uint32_t command, int left, int top, int right, int bottom) {
    const int firstColumn = std::max(left, 0) / kTileWidth, lastColumn = std::min(right / kTileWidth, columns_ - 1);
    const int firstRow = std::max(top, 0) / kTileHeight, lastRow = std::min(bottom / kTileHeight, rows_ - 1);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            filings_.push_back({static_cast<std::uint32_t>(row * columns_ + column), command});
            pending_ = true;
        }
    }
}

void TiledRasterizer::Draw(const PipelineState& state, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount,
                           const VertexStream& stream, const ColorTarget& color, const DepthTarget& depth) {
    Target(color, depth);
    pipelines_.emplace_back();
    const auto index = static_cast<std::uint32_t>(pipelines_.size() - 1);
    Binner binner(*this, index);
    const std::size_t filed = triangles_.size();
    if (!AssembleTriangles(state, type, startVertex, primitiveCount, stream, color, depth, pipelines_.back(), binner) ||
        triangles_.size() == filed) {
        pipelines_.pop_back();
    }
}

void TiledRasterizer::Clear(const D3DVIEWPORT8& viewport, DWORD count, const D3DRECT* rects, DWORD flags,
                            D3DCOLOR colorValue, float z, DWORD stencil, const ColorTarget& color,
                            const DepthTarget& depth) {
    Target(color, depth);
    const DWORD rectCount = (count == 0 || rects == nullptr) ? 1 : count;
    for (DWORD i = 0; i < rectCount; ++i) {
        const ClearArea area = ClearRectangle(viewport, count != 0 && rects != nullptr ? &rects[i] : nullptr);
        if (area.Empty()) continue;
        clears_.push_back({area, flags, colorValue, z, stencil});
        File(static_cast<std::uint32_t>(clears_.size() - 1) | kClearBit, area.left, area.top, area.right - 1,
             area.bottom - 1);
    }
}

void TiledRasterizer::ShadeTile(int tile) {
    const int left = (tile % columns_) * kTileWidth, top = (tile / columns_) * kTileHeight;
    const int right = left + kTileWidth - 1, bottom = top + kTileHeight - 1;
    for (std::uint32_t i = tileStart_[static_cast<std::size_t>(tile)]; i < tileStart_[static_cast<std::size_t>(tile) + 1];
         ++i) {
        const std::uint32_t command = sorted_[i];
        if ((command & kClearBit) != 0) {
            const ClearCommand& c = clears_[command & ~kClearBit];
            const int x0 = std::max(c.area.left, left), y0 = std::max(c.area.top, top);
            const int x1 = std::min(c.area.right, right + 1), y1 = std::min(c.area.bottom, bottom + 1);
            const D3DVIEWPORT8 part{static_cast<DWORD>(x0), static_cast<DWORD>(y0), static_cast<DWORD>(x1 - x0),
                                    static_cast<DWORD>(y1 - y0), 0.0f, 1.0f};
            raster::Clear(part, 0, nullptr, c.flags, c.color, c.z, c.stencil, color_, depth_);
        } else {
            MakePlanes(command);
            const QueuedTriangle& t = triangles_[command];
            RasterizeRows(pipelines_[t.pipeline], t.setup, top, bottom, left, right);
        }
    }
}

// A triangle reaching into several tiles is shaded by several threads, but
// its planes are made once: by the thread that claims them, while any other
// that needs them waits (the making is short).
void TiledRasterizer::MakePlanes(std::uint32_t triangle) {
    std::atomic_ref<std::uint8_t> state(planeState_[triangle]);
    if (state.load(std::memory_order_acquire) == 2) return;
    std::uint8_t unmade = 0;
    if (state.compare_exchange_strong(unmade, 1, std::memory_order_acquire)) {
        QueuedTriangle& t = triangles_[triangle];
        const ScreenVertex* corners = corners_.data() + 3 * static_cast<std::size_t>(triangle);
        const ScreenVertex* const ordered[3] = {corners, corners + 1, corners + 2};
        SetupPlanes(pipelines_[t.pipeline], ordered, t.setup);
        state.store(2, std::memory_order_release);
        return;
    }
    while (state.load(std::memory_order_acquire) != 2) ThreadPool::Pause();
}

void TiledRasterizer::ShadeAll(std::uint32_t* pixels) {
    const int count = columns_ * rows_;
    // A counting sort by tile, stable, so each tile keeps its filing order.
    std::fill(tileStart_.begin(), tileStart_.end(), 0u);
    for (const Filing& f : filings_) ++tileStart_[f.tile + 1];
    for (int tile = 0; tile < count; ++tile) tileStart_[static_cast<std::size_t>(tile) + 1] += tileStart_[static_cast<std::size_t>(tile)];
    sorted_.resize(filings_.size());
    for (const Filing& f : filings_) sorted_[tileStart_[f.tile]++] = f.command;
    // The placing moved each start to its tile's end: shift them back.
    for (int tile = count; tile > 0; --tile) tileStart_[static_cast<std::size_t>(tile)] = tileStart_[static_cast<std::size_t>(tile) - 1];
    tileStart_[0] = 0;
    for (int tile = 0; tile < count; ++tile) tileOrder_[static_cast<std::size_t>(tile)] = static_cast<std::uint32_t>(tile);
    const auto commands = [this](std::uint32_t tile) { return tileStart_[tile + 1] - tileStart_[tile]; };
    std::sort(tileOrder_.begin(), tileOrder_.begin() + count,
              [&](std::uint32_t a, std::uint32_t b) { return commands(a) > commands(b) || (commands(a) == commands(b) && a < b); });
    auto shade = [this, pixels](int i) {
        const int tile = static_cast<int>(tileOrder_[static_cast<std::size_t>(i)]);
        ShadeTile(tile);
        if (pixels == nullptr) return;
        // Whole rows (one column of tiles): the tile's rows of the colour target.
        const int top = tile * kTileHeight, end = std::min(top + kTileHeight, color_.height);
        if (top >= end) return;
        ColorTarget rows = color_;
        rows.bits += static_cast<std::ptrdiff_t>(top) * color_.pitch;
        rows.height = end - top;
        raster::ReadColorTarget(rows, pixels + static_cast<std::size_t>(top) * static_cast<std::size_t>(color_.width));
    };
    pool_.Run(count, shade);
    filings_.clear();
    pipelines_.clear();
    triangles_.clear();
    corners_.clear();
    planeState_.clear();
    clears_.clear();
    pending_ = false;
}

void TiledRasterizer::Flush() {
    if (pending_) ShadeAll(nullptr);
}

void TiledRasterizer::ReadColorTarget(const ColorTarget& color, std::uint32_t* pixels) {
    if (pending_ && columns_ == 1 && SameTargets(color, color_)) {
        ShadeAll(pixels);
        return;
    }
    Flush();
    // Bands of rows, a few per thread so that a slow one does not hold the rest.
    const int height = std::max(color.height, 0), width = std::max(color.width, 0);
    const int bands = std::min(height, 4 * pool_.Threads());
    auto convert = [&](int band) {
        const int first = height * band / bands, end = height * (band + 1) / bands;
        ColorTarget part = color;
        part.bits = color.bits != nullptr ? color.bits + static_cast<std::ptrdiff_t>(first) * color.pitch : nullptr;
        part.height = end - first;
        raster::ReadColorTarget(part, pixels + static_cast<std::size_t>(first) * static_cast<std::size_t>(width));
    };
    pool_.Run(bands, convert);
}

}  // namespace valmere::raster
