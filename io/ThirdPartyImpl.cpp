// The one translation unit that compiles the header-only libraries' code.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "io/StbImage.h"

// tinygltf's writer uses std::ofstream but includes <fstream> only with its
// file-system defaults, which we leave out.
#include <fstream>
#define TINYGLTF_IMPLEMENTATION
#include "io/TinyGltf.h"
