#include "audio/ffmpeg_library.h"

#include <dlfcn.h>

namespace {

// The library built against: its major version names the ABI.
constexpr char kFormatLibrary[] = "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR);

bool load(FfmpegLibrary &library)
{
    // libavformat depends on libavcodec, so one handle finds the functions of both.
    void *handle = dlopen(kFormatLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    bool complete = true;
#define HARVELO_FFMPEG_RESOLVE(name)                                                           \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, #name));             \
    complete = complete && library.name;
    HARVELO_FFMPEG_FUNCTIONS(HARVELO_FFMPEG_RESOLVE)
#undef HARVELO_FFMPEG_RESOLVE
    // The handle stays open: the codecs may be in use until the program ends.
    return complete;
}

} // namespace

const FfmpegLibrary *ffmpegLibrary()
{
    static FfmpegLibrary library;
    static const bool loaded = load(library);
    return loaded ? &library : nullptr;
}
