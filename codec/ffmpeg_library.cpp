#include "codec/ffmpeg_library.h"

#include <dlfcn.h>

namespace {

// The libraries built against: the major version names the ABI. Each one's dependencies
// (libavcodec and libavutil for libavformat) are found through its handle as well.
constexpr char kResample[] = "libswresample.so." AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR);
constexpr char kFormat[] = "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR);

#define HARVELO_FFMPEG_RESOLVE(name)                                                           \
    table.name = reinterpret_cast<decltype(table.name)>(dlsym(handle, #name));                 \
    complete = complete && table.name;

// The handles stay open: the libraries may be in use until the program ends.
bool load(ResampleLibrary &table)
{
    void *handle = dlopen(kResample, RTLD_NOW | RTLD_LOCAL);
    bool complete = handle != nullptr;
    if (complete) {
        HARVELO_RESAMPLE_FUNCTIONS(HARVELO_FFMPEG_RESOLVE)
    }
    if (complete)
        table.av_log_set_level(AV_LOG_QUIET);
    return complete;
}

bool load(FfmpegLibrary &table)
{
    void *handle = dlopen(kFormat, RTLD_NOW | RTLD_LOCAL);
    bool complete = handle != nullptr;
    if (complete) {
        HARVELO_FFMPEG_FUNCTIONS(HARVELO_FFMPEG_RESOLVE)
    }
    if (complete)
        table.av_log_set_level(AV_LOG_QUIET);
    return complete;
}

#undef HARVELO_FFMPEG_RESOLVE

template <class Table>
const Table *loaded()
{
    static Table table;
    static const bool complete = load(table);
    return complete ? &table : nullptr;
}

} // namespace

const ResampleLibrary *resampleLibrary()
{
    return loaded<ResampleLibrary>();
}

const FfmpegLibrary *ffmpegLibrary()
{
    return loaded<FfmpegLibrary>();
}
