// The stb_dxt implementation, compiled once for the benchmark.
#include <string.h>  // stb_dxt uses memcpy without including it

#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>
