// Any bytes handed to the picture decoder, as a damaged or hostile TGA in the archive would be:
// it must refuse or decode without reading or writing out of bounds, and what it returns must be
// a picture of the size it claims.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> file(data, data + size);
    Image image;
    std::string error;
    if (DecodeTga(file, image, error)) {
        const bool sane = image.width >= 1 && image.height >= 1 && image.width <= kMaxImageSide &&
                          image.height <= kMaxImageSide &&
                          image.rgb.size() == std::size_t(image.width) * image.height * 3 && error.empty();
        if (!sane) std::abort();
    } else if (error.empty() || error.find('\n') != std::string::npos) {
        std::abort();  // a refusal must come with a one-line reason
    }
    return 0;
}
