#include "bench/frame/SceneSize.h"

#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "app/Globals.h"

namespace valmere::bench {

bool ReadSceneSize(int argc, char** argv, int& index, SceneSize& size) {
    if (index >= argc || std::strcmp(argv[index], "--size") != 0) return true;
    int width = 0, height = 0;
    char end = 0;
    if (index + 1 >= argc || std::sscanf(argv[index + 1], "%dx%d%c", &width, &height, &end) != 2 || width < 16 ||
        height < 16 || width > 8192 || height > 8192)
        return false;
    size = {width, height};
    index += 2;
    return true;
}

bool ApplySceneSize(const SceneSize& size) {
    if (size.Default()) return true;
    D3DPRESENT_PARAMETERS& parameters = g_application.presentParameters;
    parameters.Windowed = TRUE;
    parameters.BackBufferWidth = static_cast<UINT>(size.width);
    parameters.BackBufferHeight = static_cast<UINT>(size.height);
    parameters.FullScreen_RefreshRateInHz = 0;
    parameters.FullScreen_PresentationInterval = 0;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    return g_application.device != nullptr && SUCCEEDED(g_application.device->Reset(&parameters)) &&
           g_application.InitScene();
}

}  // namespace valmere::bench
