#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

// FFmpeg's libraries bring about a hundred more shared libraries with them (libavutil alone
// some twenty, X11 among them); linking them would cost every run of the programs tens of
// milliseconds of start-up. They are loaded when first needed instead, and called through
// these tables: the resampler for the formats that convert samples, the rest for WMA.

// The functions of libswresample and libavutil that PcmConverter calls.
#define HARVELO_RESAMPLE_FUNCTIONS(F)                                                          \
    F(swr_alloc_set_opts2) F(swr_build_matrix2) F(swr_convert) F(swr_free)                    \
    F(swr_get_out_samples) F(swr_init) F(swr_set_matrix)                                      \
    F(av_channel_layout_default) F(av_channel_layout_uninit) F(av_log_set_level)              \
    F(av_opt_set_int) F(av_opt_set_double)

// The functions of libavformat, libavcodec and libavutil that the WMA reader and writer call.
#define HARVELO_FFMPEG_FUNCTIONS(F)                                                            \
    F(av_find_best_stream) F(av_find_input_format) F(av_interleaved_write_frame)              \
    F(av_packet_alloc) F(av_packet_free) F(av_packet_rescale_ts) F(av_packet_unref)           \
    F(av_read_frame) F(av_write_trailer) F(avcodec_alloc_context3) F(avcodec_find_encoder)    \
    F(avcodec_free_context) F(avcodec_open2) F(avcodec_parameters_from_context)               \
    F(avcodec_parameters_to_context) F(avcodec_receive_frame) F(avcodec_receive_packet)       \
    F(avcodec_send_frame) F(avcodec_send_packet) F(avformat_alloc_output_context2)            \
    F(avformat_close_input) F(avformat_find_stream_info) F(avformat_free_context)             \
    F(avformat_new_stream) F(avformat_open_input) F(avformat_write_header) F(avio_closep)     \
    F(avio_open) F(av_audio_fifo_alloc) F(av_audio_fifo_free) F(av_audio_fifo_read)           \
    F(av_audio_fifo_size) F(av_audio_fifo_write) F(av_channel_layout_copy)                    \
    F(av_channel_layout_default) F(av_frame_alloc) F(av_frame_free) F(av_frame_get_buffer)    \
    F(av_frame_make_writable) F(av_frame_unref) F(av_log_set_level) F(av_rescale_q)           \
    F(av_samples_set_silence)

#define HARVELO_FFMPEG_MEMBER(name) decltype(&::name) name = nullptr;
struct ResampleLibrary {
    HARVELO_RESAMPLE_FUNCTIONS(HARVELO_FFMPEG_MEMBER)
};
struct FfmpegLibrary {
    HARVELO_FFMPEG_FUNCTIONS(HARVELO_FFMPEG_MEMBER)
};
#undef HARVELO_FFMPEG_MEMBER

// Load the libraries once, with FFmpeg's logging off (the components report through their
// error codes); nullptr when a library or one of the functions cannot be found.
const ResampleLibrary *resampleLibrary();
const FfmpegLibrary *ffmpegLibrary();
