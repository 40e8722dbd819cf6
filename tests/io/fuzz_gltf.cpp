// libFuzzer target: the glTF loader's whole read (parse, buffers, materials
// with image decoding, node walk, normalisation) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/ModelLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    Model model;
    // A folder that does not exist: URIs in the input resolve to nothing.
    ReadGltfModel(bytes, L"/nonexistent-tarsel-fuzz/", model);
    return 0;
}
