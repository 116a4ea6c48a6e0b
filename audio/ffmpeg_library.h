#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

// The functions of FFmpeg's format and codec libraries that the WMA reader and writer call.
#define HARVELO_FFMPEG_FUNCTIONS(F)                                                            \
    F(av_find_best_stream) F(av_find_input_format) F(av_interleaved_write_frame)              \
    F(av_packet_alloc) F(av_packet_free) F(av_packet_rescale_ts) F(av_packet_unref)           \
    F(av_read_frame) F(av_write_trailer) F(avcodec_alloc_context3) F(avcodec_find_encoder)    \
    F(avcodec_free_context) F(avcodec_open2) F(avcodec_parameters_from_context)               \
    F(avcodec_parameters_to_context) F(avcodec_receive_frame) F(avcodec_receive_packet)       \
    F(avcodec_send_frame) F(avcodec_send_packet) F(avformat_alloc_output_context2)            \
    F(avformat_close_input) F(avformat_find_stream_info) F(avformat_free_context)             \
    F(avformat_new_stream) F(avformat_open_input) F(avformat_write_header) F(avio_closep)     \
    F(avio_open)

// libavformat and libavcodec bring about a hundred more shared libraries with them; linking
// them would cost every run of the programs some 40 ms of start-up. They are loaded at the
// first WMA file instead, and called through this table.
struct FfmpegLibrary {
#define HARVELO_FFMPEG_MEMBER(name) decltype(&::name) name = nullptr;
    HARVELO_FFMPEG_FUNCTIONS(HARVELO_FFMPEG_MEMBER)
#undef HARVELO_FFMPEG_MEMBER
};

// Loads the libraries once; nullptr when they or one of the functions cannot be found.
const FfmpegLibrary *ffmpegLibrary();
