// tinygltf with the settings this program uses. Include this instead of
// tiny_gltf.h: images are decoded by our own code, and every file access goes
// through our own wide-path callbacks, so the library's defaults are left out.
#pragma once

#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS

#include <tiny_gltf.h>
