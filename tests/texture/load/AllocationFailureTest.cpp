// Every allocation of a texture load and of a mip filter pass made to fail in
// turn: each run answers with a result the load path documents, writes no
// out-pointer, and leaves no allocation behind.
#include <gtest/gtest.h>

#include "tests/platform/d3d8/DeviceFixture.h"
#include "tests/support/AllocationInjection.h"
#include "tests/texture/load/LoadTestSupport.h"
#include "texture/D3DXTexture.h"

namespace valmere::test {
namespace {

class AllocationFailureTest : public d3d8::test::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateGameDevice();
    }

    // Runs `call` with allocation n failing, for n = 0, 1, ... until a run
    // passes without reaching the failure; `call` releases what it made.
    template <class Call>
    void EveryAllocationFails(Call call) {
        for (long n = 0;; ++n) {
            g_allocations = AllocationInjection{true, 0, n, 0, false};
            const HRESULT hr = call();
            const AllocationInjection seen = g_allocations;
            g_allocations.armed = false;
            EXPECT_EQ(seen.live, 0) << "allocation " << n << " result " << std::hex << hr;
            if (!seen.failed) {
                EXPECT_EQ(hr, S_OK);
                EXPECT_GT(n, 5) << "the load allocates";
                return;
            }
            EXPECT_TRUE(hr == S_OK || hr == E_OUTOFMEMORY || hr == E_FAIL || hr == D3DXERR_INVALIDDATA)
                << "allocation " << n << " result " << std::hex << hr;
        }
    }
};

TEST_F(AllocationFailureTest, TextureLoadsAndFilterPasses) {
    const Bytes truecolour = Bmp24(40, 24, [](UINT x, UINT y) { return x * 5 + y * 0x500; });
    std::vector<std::uint32_t> palette(256, 0x808080);
    const Bytes indexed = Bmp8(16, 16, palette, [](UINT x, UINT) { return x; });
    struct Load {
        const Bytes* file;
        D3DFORMAT format;
        UINT width;
        D3DCOLOR key;
        DWORD mipFilter;
    };
    const Load loads[] = {
        {&truecolour, D3DFMT_UNKNOWN, D3DX_DEFAULT, 0, D3DX_DEFAULT},
        {&truecolour, D3DFMT_DXT5, 64, 0xFF000000, D3DX_FILTER_TRIANGLE},
        {&indexed, D3DFMT_UNKNOWN, 20, 0xFF808080, D3DX_FILTER_LINEAR},
    };
    for (const Load& load : loads) {
        SCOPED_TRACE(load.format);
        EveryAllocationFails([&] {
            IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(0x8);
            const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
                device_.Get(), load.file->data(), static_cast<UINT>(load.file->size()), load.width, D3DX_DEFAULT,
                D3DX_DEFAULT, 0, load.format, D3DPOOL_MANAGED, D3DX_DEFAULT, load.mipFilter, load.key, nullptr,
                nullptr, &texture);
            if (SUCCEEDED(hr)) {
                texture->Release();
            } else {
                EXPECT_EQ(texture, reinterpret_cast<IDirect3DTexture8*>(0x8));
            }
            return hr;
        });
    }
    auto texture = MakeTexture(37, 19, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED);
    for (DWORD filter : {D3DX_FILTER_BOX, D3DX_FILTER_TRIANGLE, D3DX_FILTER_LINEAR | D3DX_FILTER_DITHER})
        EveryAllocationFails([&] { return D3DXFilterTexture(texture.Get(), nullptr, 0, filter); });
}

}  // namespace
}  // namespace valmere::test
