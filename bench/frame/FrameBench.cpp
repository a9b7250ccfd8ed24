// framebench: renders the viewer's own frame headless — the world update,
// the controls, the terrain, ground quad and sky of app/FrameLoop.cpp on
// the device of a freshly started process (800x600 R5G6B5 with D16, the
// scene state of InitScene) — for a fixed number of frames of a user looking
// about, and reports the frame rate beside that of Mesa's llvmpipe drawing
// the same frames (llvmpipe-peer, run as a child process with one llvmpipe
// thread and with llvmpipe's default thread count).
//
// The textures: until the viewer loads its bitmaps itself, the bench puts
// 256x256 X8R8G8B8 textures with full mip chains in their place, so that
// every pixel is sampled as the viewer's will be.
//
// It runs in the folder of the generated data files, so the terrain has its
// heights, which are read before the clock starts. Three rounds, each ours
// then llvmpipe with one thread then llvmpipe with its default threads, so
// that the machine's drift hits all three alike; every run starts the
// process afresh and plays the same script from frame 0. The first round's
// last frames are compared (Agreement.h).
//
// Ours runs twice a round: on the device's default render threads (one per
// processor, or VALMERE_RENDER_THREADS) and on one thread.
//
// Usage: framebench [--check] [--size WIDTHxHEIGHT] [frames [last-frame.png]];
// --size draws the same scene at another size (SceneSize.h), in both
// programs. With a file name, the last round's frames are saved there and,
// for the peer, beside it with "-llvmpipe1" and "-llvmpipeN" before the
// extension. The last line reads "fps=<ours> llvmpipe1_fps=<n>
// llvmpipeN_fps=<n> ratio1=<ours on one thread / llvmpipe on one>
// ratioN=<ours / llvmpipe on its default threads> fps1=<ours on one thread>
// threads=<ours' default>"; without a peer, "fps=<n> ms_per_frame=<n>
// fps1=<n> threads=<n>" after a line saying why. --check runs one round and
// exits 1 when the frames disagree, 77 when there is no peer to compare
// with.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "bench/frame/Agreement.h"
#include "bench/frame/LookAbout.h"
#include "bench/frame/PeerRun.h"
#include "bench/frame/SceneSize.h"
#include "platform/d3d8/RenderThreads.h"
#include "tests/support/GameProcess.h"
#include "world/World.h"

namespace {

// A 256x256 texture with its full mip chain: a checker of two colours.
IDirect3DTexture8* MakeTexture(IDirect3DDevice8* device, std::uint32_t light, std::uint32_t dark) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(device->CreateTexture(256, 256, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture))) return nullptr;
    for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc{};
        D3DLOCKED_RECT locked{};
        texture->GetLevelDesc(level, &desc);
        if (FAILED(texture->LockRect(level, &locked, nullptr, 0))) continue;
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) row[x] = (((x >> 3) ^ (y >> 3)) & 1) != 0 ? light : dark;
        }
        texture->UnlockRect(level);
    }
    return texture;
}

void FillMissingTextures(FrameResources& resources) {
    IDirect3DDevice8* device = g_application.device;
    if (!resources.terrainTexture) resources.terrainTexture = MakeTexture(device, 0xFF40A040, 0xFF306030);
    if (!resources.quadTexture) resources.quadTexture = MakeTexture(device, 0xFFA0A0A0, 0xFF707070);
    if (!resources.skyTexture) resources.skyTexture = MakeTexture(device, 0xFF80A0FF, 0xFF6080E0);
}

struct OurRun {
    bool started = false;
    double seconds = 0.0;
    bool text = false;  // the viewer drew its overlay
    std::vector<valmere::bench::BoxMean> means;
};

// One run of the viewer's frame from a fresh process, its device drawing on
// `threads` render threads (0: its default); the boxes of its last frame
// are measured, and that frame is saved when `png` is given.
OurRun RunOurs(const valmere::bench::SceneSize& size, int frames, int threads, const char* png) {
    OurRun run;
    const char* inherited = std::getenv("VALMERE_RENDER_THREADS");
    const std::string saved = inherited != nullptr ? inherited : "";
    if (threads > 0) setenv("VALMERE_RENDER_THREADS", std::to_string(threads).c_str(), 1);
    valmere::host::HeadlessHost& host = valmere::test::StartProcess(
        [frames](valmere::host::HeadlessHost& h) { valmere::bench::ScriptLookAbout(h, frames); });
    if (threads > 0 && inherited != nullptr) setenv("VALMERE_RENDER_THREADS", saved.c_str(), 1);
    if (threads > 0 && inherited == nullptr) unsetenv("VALMERE_RENDER_THREADS");
    if (!g_running || !g_application.device || !valmere::bench::ApplySceneSize(size)) return run;
    run.started = true;
    FrameResources resources;
    SetUpFrame(resources);
    FillMissingTextures(resources);
    run.text = g_font != nullptr;
    UpdateTerrain();  // reads the height file, as the peer does before its clock

    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) DrawFrame(resources);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("frames=%d presented=%d terrain_triangles=%d centre_pixel=%06X\n", frames, host.PresentedFrames(),
                g_world.terrainTriangleCount, static_cast<unsigned>(host.LastFramePixel(400, 450)));
    const std::vector<std::uint32_t>& pixels = host.LastFrame();
    for (const valmere::bench::FrameBox& box :
         valmere::bench::ComparedBoxes(host.LastFrameWidth(), host.LastFrameHeight()))
        run.means.push_back({box.name, valmere::bench::MeanColour(pixels.data(), host.LastFrameWidth(),
                                                                  host.LastFrameHeight(), box.rect)});
    if (png && !host.SaveLastFrame(png)) std::fprintf(stderr, "framebench: cannot write %s\n", png);
    ReleaseFrameResources(resources);
    DestroyWindow(g_application.window);  // as at the viewer's exit, so its class unregisters
    return run;
}

// The peer's runs at one thread count, added up over the rounds.
struct PeerTotal {
    const char* label;
    const char* threads;  // LP_NUM_THREADS, null: llvmpipe's default
    int frames = 0;
    double seconds = 0.0;
    valmere::bench::PeerResult first;
    double Fps() const { return frames / seconds; }
};

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    int first = check ? 2 : 1;
    valmere::bench::SceneSize size;
    const bool sized = valmere::bench::ReadSceneSize(argc, argv, first, size);
    const int frames = argc > first ? std::atoi(argv[first]) : 300;
    // File names relative to where the program was started.
    const std::filesystem::path png = argc > first + 1 ? std::filesystem::absolute(argv[first + 1]) : "";
    if (!sized || frames <= 0) {
        std::fprintf(stderr, "usage: framebench [--check] [--size WIDTHxHEIGHT] [frames [last-frame.png]]\n");
        return 2;
    }
    const int threads = valmere::d3d8::RenderThreads();
    // The height file is read from the current directory, as by the viewer.
    std::error_code ignored;
    std::filesystem::current_path(VALMERE_DATA_DIR, ignored);
#ifdef VALMERE_LLVMPIPE_PEER
    const std::string peer = VALMERE_LLVMPIPE_PEER;
    std::string missing;
#else
    const std::string peer;
    std::string missing = "framebench was built without OSMesa (libosmesa6-dev), so without llvmpipe-peer";
#endif
    PeerTotal peers[2] = {{"llvmpipe1", "1"}, {"llvmpipeN", nullptr}};
    OurRun ours;
    double ourSeconds = 0.0, oneThreadSeconds = 0.0;
    const int rounds = check ? 1 : 3;
    for (int round = 0; round < rounds; ++round) {
        const bool save = round == rounds - 1 && !png.empty();
        const OurRun run = RunOurs(size, frames, 0, save ? png.c_str() : nullptr);
        const OurRun oneThread = check ? OurRun{true} : RunOurs(size, frames, 1, nullptr);
        if (!run.started || !oneThread.started) {
            std::fprintf(stderr, "framebench: the viewer did not start at %dx%d\n", size.width, size.height);
            return 1;
        }
        if (round == 0) ours = run;
        ourSeconds += run.seconds;
        oneThreadSeconds += oneThread.seconds;
        for (PeerTotal& total : peers) {
            if (!missing.empty()) break;
            std::filesystem::path peerPng = png;
            peerPng.replace_filename(png.stem().string() + "-" + total.label + png.extension().string());
            valmere::bench::PeerResult result =
                valmere::bench::RunPeer(peer, size, frames, total.threads, save ? peerPng.c_str() : nullptr);
            if (!result.why.empty()) {
                missing = result.why;
                if (check && result.exitCode != 77) {
                    std::fprintf(stderr, "framebench: %s\n", missing.c_str());
                    return 1;
                }
                break;
            }
            if (round == 0) {
                std::printf("%s: %s\n", total.label, result.renderer.c_str());
                total.first = result;
            }
            total.frames += result.frames;
            total.seconds += result.seconds;
        }
    }
    const double fps = rounds * frames / ourSeconds;
    // --check times no one-thread run: its fps1 is the default run's.
    const double fps1 = check ? fps : rounds * frames / oneThreadSeconds;
    if (!missing.empty()) {
        std::printf("framebench: no llvmpipe peer: %s\n", missing.c_str());
        std::printf("fps=%.1f ms_per_frame=%.3f fps1=%.1f threads=%d\n", fps, 1000.0 / fps, fps1, threads);
        return check ? 77 : 0;
    }
    if (!ours.text) std::printf("agreement: the viewer draws no overlay text yet, so its boxes are not compared\n");
    double largest = 0.0;
    for (const PeerTotal& total : peers) {
        const double difference = valmere::bench::CompareMeans(total.label, ours.means, total.first.means, ours.text);
        largest = std::max(largest, difference);
    }
    std::printf("agreement: largest difference of a box mean %.2f, allowed %.1f: %s\n", largest,
                valmere::bench::kMeanTolerance, largest <= valmere::bench::kMeanTolerance ? "agree" : "DISAGREE");
    std::printf("fps=%.1f llvmpipe1_fps=%.1f llvmpipeN_fps=%.1f ratio1=%.3f ratioN=%.3f fps1=%.1f threads=%d\n", fps,
                peers[0].Fps(), peers[1].Fps(), fps1 / peers[0].Fps(), fps / peers[1].Fps(), fps1, threads);
    return check && largest > valmere::bench::kMeanTolerance ? 1 : 0;
}
