// Deferred rasterization in screen tiles, on the device's worker threads.
//
// Draw and Clear do their front half at once on the calling thread (vertex
// processing, clipping, the placing of each triangle on the screen) and file
// each triangle, and each cleared rectangle, under every tile of the target
// it touches. Flush then shades whole tiles on all threads, each tile's
// commands in the order they were filed; a triangle's planes are made by the
// first thread that needs them. A pixel lies in one tile, so it sees the same writes in
// the same order as when every command is carried out as it comes, and
// every value of a pixel is worked out from its own position (Raster.h):
// the picture is the one-thread picture bit for bit, for any thread count.
//
// What the queued commands use must stay as it is until Flush: the targets
// (Writes tells whether they are among them), the sampling copies of the
// textures the pipelines point to, and the pipelines' state. The device
// flushes before any of it is read, written or freed.
//
// Nothing is allocated per frame once the first frames have sized the
// command lists: the filings of a frame go into one list, sorted by tile at
// Flush, so its size follows the frame's work as a whole, not any one tile's.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/raster/Raster.h"
#include "platform/d3d8/raster/ThreadPool.h"
#include "platform/d3d8/raster/TriangleRasterizer.h"

namespace valmere::raster {

class TiledRasterizer {
public:
    // Tiles are bands of 16 whole rows (up to 2048 pixels wide): the
    // rasterizer works in spans, and a span cut at a tile's side costs its
    // edges' stepping and a partial run again in every tile it crosses.
    // Measured against 64x64 tiles on the viewer's frame, bands do the same
    // shading with about a quarter less work.
    static constexpr int kTileWidth = 2048, kTileHeight = 16;

    // threads: at least 2 (with one, draw at once instead).
    explicit TiledRasterizer(int threads);

    int Threads() const { return pool_.Threads(); }

    // Queue the work of DrawPrimitives and Clear (Raster.h). Work for other
    // targets than the queued work's is preceded by a Flush.
    void Draw(const PipelineState& state, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount,
              const VertexStream& stream, const ColorTarget& color, const DepthTarget& depth);
    void Clear(const D3DVIEWPORT8& viewport, DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colorValue,
               float z, DWORD stencil, const ColorTarget& color, const DepthTarget& depth);

    bool Pending() const { return pending_; }
    // Whether queued work writes the memory starting at bits.
    bool Writes(const std::uint8_t* bits) const;
    // Carries out every queued command and empties the queue.
    void Flush();

    // Flush, then ReadColorTarget (Raster.h) with the rows shared among the
    // threads; where the queued work draws into `color` in tiles of whole
    // rows, each tile's rows are read as soon as the tile is shaded.
    void ReadColorTarget(const ColorTarget& color, std::uint32_t* pixels);

private:
    struct ClearCommand {
        ClearArea area;
        DWORD flags;
        D3DCOLOR color;
        float z;
        DWORD stencil;
    };
    struct QueuedTriangle {
        TriangleSetup setup;  // its planes made at Flush
        std::uint32_t pipeline;
    };
    class Binner;

    // Makes the queue's targets these, flushing work for others first.
    void Target(const ColorTarget& color, const DepthTarget& depth);
    // Files command under every tile that the inclusive rectangle touches.
    void File(std::uint32_t command, int left, int top, int right, int bottom);
    void ShadeTile(int tile);
    void MakePlanes(std::uint32_t triangle);
    // Shades every tile, and with `pixels` reads each tile's rows of the
    // colour target into them once it is shaded.
    void ShadeAll(std::uint32_t* pixels);

    ThreadPool pool_;
    bool pending_ = false;
    ColorTarget color_;
    DepthTarget depth_;
    int columns_ = 0, rows_ = 0;
    std::vector<PixelPipeline> pipelines_;
    std::vector<QueuedTriangle> triangles_;
    // Three per queued triangle, in the order its planes take them.
    std::vector<ScreenVertex> corners_;
    // Per queued triangle: 0 planes not made, 1 being made, 2 made (read and
    // written through std::atomic_ref while the tiles are shaded).
    std::vector<std::uint8_t> planeState_;
    std::vector<ClearCommand> clears_;
    // Commands as filed: the tile, and the command (a triangle index, or a
    // clear index with the top bit set).
    struct Filing {
        std::uint32_t tile, command;
    };
    std::vector<Filing> filings_;
    // At Flush: the commands sorted by tile, filing order kept within each,
    // and where each tile's run of them starts (one more entry for the end).
    std::vector<std::uint32_t> sorted_;
    std::vector<std::uint32_t> tileStart_;
    // The order the threads take the tiles in: the busiest first, so that
    // no thread is left with a long tile at the end.
    std::vector<std::uint32_t> tileOrder_;
};

}  // namespace valmere::raster
