// The stb_image decoder and writer, compiled once for the benchmark (as
// third-party code, without the project's warnings).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
