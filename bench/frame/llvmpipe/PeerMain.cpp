// llvmpipe-peer: the viewer's frame drawn by Mesa's llvmpipe through OSMesa,
// as framebench's peer. It starts the viewer's process as framebench does
// (the same look-about script, the viewer's own set-up, textures and world
// update), then draws every frame with OpenGL into an off-screen 800 x 600
// RGB565 colour buffer with a 16-bit depth buffer, and times the frame loop
// alone: the world update, the draw and glFinish.
//
// llvmpipe takes its thread count from LP_NUM_THREADS once, when the context
// is created, so framebench runs this program once per thread count.
//
// Usage: llvmpipe-peer [--size WIDTHxHEIGHT] frames [last-frame.png]
// (SceneSize.h). Prints the renderer, one
// "box" line per compared box of the last frame (see FrameBoxes.h) and, last,
// "frames=<n> seconds=<s> fps=<f>". Exit code 77 when OSMesa cannot make the
// context, 1 when the viewer does not start, 2 for bad arguments.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "bench/frame/FrameBoxes.h"
#include "bench/frame/LookAbout.h"
#include "bench/frame/SceneSize.h"
#include "bench/frame/llvmpipe/Gl.h"
#include "bench/frame/llvmpipe/GlScene.h"
#include "input/Controls.h"
#include "platform/host/PngWriter.h"
#include "tests/support/GameProcess.h"
#include "world/World.h"

namespace {

constexpr int kSkipped = 77;

// The off-screen target, current on this thread from construction: an
// RGB565 colour buffer in this program's memory and a 16-bit depth buffer.
class OsMesaTarget {
public:
    OsMesaTarget(int width, int height)
        : context_(OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr)),
          colour_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)), width_(width), height_(height) {
        current_ = context_ && OSMesaMakeCurrent(context_, colour_.data(), GL_UNSIGNED_SHORT_5_6_5, width, height);
    }
    OsMesaTarget(const OsMesaTarget&) = delete;
    OsMesaTarget& operator=(const OsMesaTarget&) = delete;
    ~OsMesaTarget() {
        if (context_) OSMesaDestroyContext(context_);
    }
    bool Current() const { return current_; }

    // The colour buffer as 0x00RRGGBB rows top-down, each channel widened
    // by repeating its top bits.
    std::vector<std::uint32_t> Pixels() const {
        GLint yUp = 1;  // OSMesa's default: the first row is the bottom one
        OSMesaGetIntegerv(OSMESA_Y_UP, &yUp);
        std::vector<std::uint32_t> pixels(colour_.size());
        for (int y = 0; y < height_; ++y) {
            const std::uint16_t* row = colour_.data() + static_cast<std::size_t>(yUp ? height_ - 1 - y : y) * width_;
            std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * width_;
            for (int x = 0; x < width_; ++x) {
                const std::uint32_t r = row[x] >> 11, g = (row[x] >> 5) & 0x3F, b = row[x] & 0x1F;
                out[x] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
            }
        }
        return pixels;
    }

private:
    OSMesaContext context_;
    std::vector<std::uint16_t> colour_;
    int width_, height_;
    bool current_ = false;
};

// Plays the script as DrawFrame does, the GL frame in place of the device's,
// and returns the seconds of the frame loop alone. Before the clock starts
// the height file is read and llvmpipe compiles its shaders for the scene's
// state, which it does at the first draw.
double DrawFrames(IDirect3DDevice8* device, valmere::host::HeadlessHost& host, const valmere::bench::GlScene& scene,
                  int frames) {
    UpdateTerrain();
    UpdateSky();
    scene.Draw(device);
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        UpdateTerrain();
        UpdateSky();
        UpdateControls();
        scene.Draw(device);
        host.Present({});  // counts the frame, so the script's next input arrives
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void PrintBoxes(const std::vector<std::uint32_t>& pixels, int width, int height) {
    for (const valmere::bench::FrameBox& box : valmere::bench::ComparedBoxes(width, height))
        valmere::bench::PrintBoxMean(stdout,
                                     {box.name, valmere::bench::MeanColour(pixels.data(), width, height, box.rect)});
}

}  // namespace

int main(int argc, char** argv) {
    int next = 1;
    valmere::bench::SceneSize size;
    const bool sized = valmere::bench::ReadSceneSize(argc, argv, next, size);
    const int frames = argc > next ? std::atoi(argv[next]) : 0;
    if (!sized || frames <= 0 || argc > next + 2) {
        std::fprintf(stderr, "usage: llvmpipe-peer [--size WIDTHxHEIGHT] frames [last-frame.png]\n");
        return 2;
    }
    // A png path relative to where the program was started.
    const std::string png = argc > next + 1 ? std::filesystem::absolute(argv[next + 1]).string() : std::string();
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    std::error_code ignored;
    std::filesystem::current_path(VALMERE_DATA_DIR, ignored);
    valmere::host::HeadlessHost& host = valmere::test::StartProcess(
        [frames](valmere::host::HeadlessHost& h) { valmere::bench::ScriptLookAbout(h, frames); });
    IDirect3DDevice8* device = g_application.device;
    if (!g_running || !device || !valmere::bench::ApplySceneSize(size)) {
        std::fprintf(stderr, "llvmpipe-peer: the viewer did not start at %dx%d\n", size.width, size.height);
        return 1;
    }
    D3DVIEWPORT8 viewport{};
    device->GetViewport(&viewport);
    const int width = static_cast<int>(viewport.Width), height = static_cast<int>(viewport.Height);
    OsMesaTarget target(width, height);
    if (!target.Current()) {
        std::fprintf(stderr, "llvmpipe-peer: OSMesa cannot make an RGB565 context with a 16-bit depth buffer\n");
        return kSkipped;
    }
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("renderer=\"%s\" depth_bits=%d LP_NUM_THREADS=%s\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), depthBits, threads ? threads : "default");

    FrameResources resources;
    SetUpFrame(resources);  // also makes the viewer's overlay font, whose description the text is drawn in
    std::vector<valmere::bench::OverlayCoverage> text;
    for (const valmere::bench::OverlayLine& line : valmere::bench::kOverlayLines)
        text.push_back(valmere::bench::RenderOverlayLine(line));
    bool drawn = false;
    double seconds = 0.0;
    {
        valmere::bench::GlScene scene;  // its textures go before the context does
        drawn = scene.Create(device, resources, text, width, height);
        if (drawn) seconds = DrawFrames(device, host, scene, frames);
    }
    if (drawn) {  // while the viewer's font still places the text boxes
        const std::vector<std::uint32_t> pixels = target.Pixels();
        PrintBoxes(pixels, width, height);
        if (!png.empty() && !valmere::host::WritePng(png, pixels.data(), width, height, width))
            std::fprintf(stderr, "llvmpipe-peer: cannot write %s\n", png.c_str());
    }
    ReleaseFrameResources(resources);
    DestroyWindow(g_application.window);  // as at the viewer's exit, so its class unregisters
    if (!drawn) {
        std::fprintf(stderr, "llvmpipe-peer: the scene cannot be set up in GL\n");
        return 1;
    }
    std::printf("frames=%d seconds=%.6f fps=%.1f\n", frames, seconds, frames / seconds);
    return 0;
}
